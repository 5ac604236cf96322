#include "xdesktop.h"

#include "app/x11desktop.h"

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr int EmptyPanelWidth = 8;
constexpr int PollMs = 100;

QString run(const QStringList& arguments, int timeoutMs = 5000)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

QRect panelGeometry()
{
    const QString window =
        run({QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^panel$")})
            .section(QLatin1Char('\n'), 0, 0)
            .trimmed();
    if (window.isEmpty())
        return {};
    const QString shell =
        run({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    int x = 0, y = 0, width = 0, height = 0;
    for (const QString& line : shell.split(QLatin1Char('\n'))) {
        const QString value = line.section(QLatin1Char('='), 1);
        if (line.startsWith(QLatin1String("X=")))
            x = value.toInt();
        else if (line.startsWith(QLatin1String("Y=")))
            y = value.toInt();
        else if (line.startsWith(QLatin1String("WIDTH=")))
            width = value.toInt();
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            height = value.toInt();
    }
    return {x, y, width, height};
}

} // namespace

XDesktop::~XDesktop()
{
    if (trayer.state() != QProcess::NotRunning) {
        trayer.kill();
        trayer.waitForFinished(5000);
    }
}

bool XDesktop::available()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY")
        && !QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
}

bool XDesktop::startTrayHost()
{
    trayer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    trayer.start(QStringLiteral("trayer"),
                 {QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--align"),
                  QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                  QStringLiteral("--height"), QStringLiteral("32"), QStringLiteral("--SetDockType"),
                  QStringLiteral("true"), QStringLiteral("--transparent"),
                  QStringLiteral("false")});
    if (!trayer.waitForStarted(5000))
        return false;
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (panelGeometry().height() > 0)
            return true;
        QThread::msleep(PollMs);
    }
    return false;
}

QRect XDesktop::dockedIcons(int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const QRect panel = panelGeometry();
        if (panel.width() > EmptyPanelWidth || deadline.hasExpired())
            return panel.width() > EmptyPanelWidth ? panel : QRect();
        QThread::msleep(PollMs);
    }
}

bool XDesktop::click(const QPoint& physical, int button)
{
    return X11Desktop::xdotool({QStringLiteral("mousemove"), QString::number(physical.x()),
                                QString::number(physical.y()), QStringLiteral("click"),
                                QString::number(button)});
}
