#include "platform/autostart.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString RunKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");

QString valueName(const QString& program)
{
    return QFileInfo(program).baseName();
}

// Quoted, so that a path with spaces ("C:\Program Files\...") starts the program rather than
// "C:\Program" with arguments.
QString command(const QString& program)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(program) + QLatin1Char('"');
}

} // namespace

bool AutoStart::apply(bool on, const QString& program)
{
    QSettings run(RunKey, QSettings::NativeFormat);
    const QString name = valueName(program);
    if (!on) {
        run.remove(name);
    } else if (run.value(name).toString() != command(program)) {
        run.setValue(name, command(program));
    }
    run.sync();
    return run.status() == QSettings::NoError;
}

bool AutoStart::isRegistered(const QString& program)
{
    const QSettings run(RunKey, QSettings::NativeFormat);
    return run.value(valueName(program)).toString() == command(program);
}

QString AutoStart::location()
{
    return RunKey;
}
