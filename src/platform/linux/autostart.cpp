#include "platform/autostart.h"

#include "core/atomicfile.h"
#include "core/constants.h"
#include "core/logging.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// One Exec argument by the freedesktop.org desktop entry rules: always quoted, with the
// characters ", `, $ and backslash escaped inside the quotes and % doubled (a single % starts
// a field code). The string-value
// escaping of the key file then doubles every backslash once more and writes line breaks as
// escapes, so that no path can end the line.
QString execArgument(const QString& argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$')
            || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    quoted.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return quoted;
}

QByteArray entry(const QString& program)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Exec=%2\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(APP_NAME, execArgument(program));
    return text.toUtf8();
}

QByteArray currentEntry()
{
    QFile file(AutoStart::location());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Written through a temporary file that replaces the entry only when complete: a session
// manager reading the folder never sees half an entry.
bool writeEntry(const QByteArray& content)
{
    const QString path = AutoStart::location();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    return AtomicFile::replace(path, content);
}

} // namespace

bool AutoStart::apply(bool on, const QString& program)
{
    const QString path = location();
    if (!on)
        return !QFile::exists(path) || QFile::remove(path);
    const QByteArray wanted = entry(program);
    if (currentEntry() == wanted)
        return true;
    const bool written = writeEntry(wanted);
    if (!written)
        qCWarning(lcPlatform) << "Could not write the autostart entry" << path;
    return written;
}

bool AutoStart::isRegistered(const QString& program)
{
    return currentEntry() == entry(program);
}

QString AutoStart::location()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/lumora.desktop");
}
