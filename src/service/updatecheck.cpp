#include "service/updatecheck.h"

#include "core/logging.h"

#include <QDebug>
#include <QTimer>
#include <QXmlStreamReader>

namespace {

const QByteArray QuietTexts[] = {"no updates available", "Network error",
                                 "Cannot retrieve remote tree"};

// Log lines may come before the report; the XML starts at its first tag.
QString updateVersion(const QByteArray& output)
{
    const int start = output.indexOf('<');
    if (start < 0)
        return {};
    QXmlStreamReader reader(output.mid(start));
    while (!reader.atEnd() && !reader.hasError()) {
        if (reader.readNext() == QXmlStreamReader::StartElement
            && reader.name() == QLatin1String("update"))
            return reader.attributes().value(QLatin1String("version")).toString();
    }
    return {};
}

} // namespace

UpdateCheck::UpdateCheck(const QString& program, int limitMs, QObject* parent)
    : QObject(parent)
    , limit(new QTimer(this))
    , program(program)
{
    limit->setSingleShot(true);
    limit->setInterval(limitMs);
    connect(limit, &QTimer::timeout, this, &UpdateCheck::onTimeout);
    connect(&process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            &UpdateCheck::onFinished);
    connect(&process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish({});
    });
}

// A tool still running when the check goes is killed, not left behind.
UpdateCheck::~UpdateCheck()
{
    process.disconnect(this);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
    }
}

void UpdateCheck::start()
{
    if (running)
        return;
    running = true;
    limit->start();
    process.start(program, {QStringLiteral("--checkupdates")}, QIODevice::ReadWrite);
}

bool UpdateCheck::isRunning() const
{
    return running;
}

UpdateCheck::Result UpdateCheck::interpret(const QByteArray& output)
{
    for (const QByteArray& text : QuietTexts) {
        if (output.contains(text))
            return {Outcome::Quiet, {}};
    }
    const QString version = updateVersion(output);
    return {version.isEmpty() ? Outcome::NoUpdate : Outcome::Update, version};
}

void UpdateCheck::onFinished()
{
    finish(interpret(process.readAllStandardOutput()));
}

void UpdateCheck::onTimeout()
{
    qCWarning(lcService) << "The maintenance tool did not answer within" << limit->interval()
                         << "ms";
    process.disconnect(this);
    process.kill();
    process.waitForFinished(1000);
    finish({});
}

void UpdateCheck::finish(const Result& result)
{
    if (!running)
        return;
    running = false;
    limit->stop();
    emit finished(result);
}
