#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestEnvironment::TestEnvironment()
{
    setVariable("HOME", dir.path() + QStringLiteral("/home"));
    setVariable("XDG_CONFIG_HOME", dir.path() + QStringLiteral("/config"));
    setVariable("XDG_DATA_HOME", dir.path() + QStringLiteral("/data"));
    setVariable("XDG_CACHE_HOME", dir.path() + QStringLiteral("/cache"));
    setVariable("XDG_RUNTIME_DIR", dir.path() + QStringLiteral("/runtime"));
    for (const char* sub : {"home", "config", "data", "cache", "runtime"})
        QDir(dir.path()).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(dir.path() + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TestEnvironment::~TestEnvironment()
{
    for (auto it = wasSet.cbegin(); it != wasSet.cend(); ++it) {
        if (it.value())
            qputenv(it.key().constData(), saved.value(it.key()));
        else
            qunsetenv(it.key().constData());
    }
}

bool TestEnvironment::isValid() const
{
    return dir.isValid();
}

QString TestEnvironment::root() const
{
    return dir.path();
}

QString TestEnvironment::configHome() const
{
    return dir.path() + QStringLiteral("/config");
}

QString TestEnvironment::dataHome() const
{
    return dir.path() + QStringLiteral("/data");
}

QString TestEnvironment::path(const QString& relative) const
{
    return dir.path() + QLatin1Char('/') + relative;
}

QString TestEnvironment::writeFile(const QString& relative, const QByteArray& content) const
{
    const QString target = path(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(content);
    return target;
}

void TestEnvironment::setVariable(const char* name, const QString& value)
{
    if (!wasSet.contains(name)) {
        wasSet.insert(name, qEnvironmentVariableIsSet(name));
        saved.insert(name, qgetenv(name));
    }
    qputenv(name, value.toLocal8Bit());
}
