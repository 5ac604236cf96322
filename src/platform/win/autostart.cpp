#include "platform/autostart.h"

#include "platform/win/runkeyvalue.h"

#include <QFileInfo>

namespace {

std::wstring valueName(const QString& program)
{
    return QFileInfo(program).baseName().toStdWString();
}

std::wstring command(const QString& program)
{
    return RunKeyValue::command(program.toStdWString());
}

} // namespace

bool AutoStart::apply(bool on, const QString& program)
{
    const std::wstring name = valueName(program);
    if (!on)
        return RunKeyValue::remove(name);
    std::wstring present;
    if (RunKeyValue::read(name, &present) && present == command(program))
        return true;
    return RunKeyValue::write(name, command(program));
}

bool AutoStart::isRegistered(const QString& program)
{
    std::wstring present;
    return RunKeyValue::read(valueName(program), &present) && present == command(program);
}

QString AutoStart::location()
{
    return QStringLiteral("HKEY_CURRENT_USER\\") + QString::fromWCharArray(RunKeyValue::KeyPath);
}
