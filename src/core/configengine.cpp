#include "core/configengine.h"

#include "core/installlayout.h"
#include "core/jsonfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTranslator>

namespace {

const QString ConfigDirKey = QStringLiteral("AppVer3ConfigPath");

// The path settings the engine holds, in the order of its record.
const QStringList PathKeys = {
    QStringLiteral("AppVersion"),
    QStringLiteral("AppVersionType"),
    QStringLiteral("AppVer2ConfigPath"),
    ConfigDirKey,
    QStringLiteral("AppLanguagePath"),
    QStringLiteral("AppExtendPath"),
    QStringLiteral("AppUpdateFilePath"),
    QStringLiteral("AppOutsideFilePath"),
    QStringLiteral("OrvikDriverVersionsFilePath"),
    QStringLiteral("OrvikDriverVersionsURLFilePath"),
    QStringLiteral("FirmwareVersionsFilePath"),
    QStringLiteral("FirmwareVersionsURLFilePath"),
};

QJsonDocument readDocument(const QString& path)
{
    return JsonFile::read(path).document;
}

} // namespace

struct ConfigEngine::Private
{
    QTranslator* translator = nullptr;
    QHash<QString, QString> paths;
    QString userFile;
    QString fixedUserFile; // set by setUserConfigPath
    QString defaultFile;
    QJsonDocument cache; // null until the first write
};

ConfigEngine::ConfigEngine(QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    d->translator = new QTranslator;
    for (const QString& key : PathKeys)
        d->paths.insert(key, QString());
}

ConfigEngine::~ConfigEngine()
{
    delete d->translator;
}

void ConfigEngine::initialize(const QHash<QString, QString>& paths)
{
    for (const QString& key : PathKeys)
        d->paths.insert(key, paths.value(key));
    d->userFile = d->fixedUserFile;
    if (d->userFile.isEmpty())
        d->userFile = configLocation() + QLatin1Char('/') + d->paths.value(ConfigDirKey)
            + QStringLiteral("/config.json");
    d->defaultFile = InstallLayout::dataDir() + QStringLiteral("/default/config.json");
    if (!ensureUserFile())
        qErrnoWarning("Create User Config Error");
}

QJsonValue ConfigEngine::getValue(const QString& key, bool useDefault, QJsonDocument& work)
{
    bool broken = false;
    work = currentDocument(&broken);
    if (work.isObject()) {
        const QJsonValue value = work.object().value(key);
        if (!value.isUndefined() || !useDefault)
            return value;
        const QJsonDocument defaults = readDocument(d->defaultFile);
        if (!defaults.isObject())
            return QJsonValue(QString());
        const QJsonValue fallback = defaults.object().value(key);
        setValue(key, fallback, work);
        return fallback;
    }
    // A missing, empty or broken user file: start it again from the default of this key.
    if (useDefault) {
        const QJsonDocument defaults = readDocument(d->defaultFile);
        if (defaults.isObject())
            setValue(key, defaults.object().value(key).toString(), work);
    }
    return QJsonValue(QString());
}

bool ConfigEngine::setValue(const QString& key, const QJsonValue& value, QJsonDocument& work)
{
    bool broken = false;
    work = currentDocument(&broken);
    QJsonObject object = work.isObject() ? work.object() : QJsonObject();
    object.insert(key, value); // an undefined value removes the key
    work.setObject(object);
    return save(work, broken);
}

QTranslator* ConfigEngine::translator() const
{
    return d->translator;
}

QString ConfigEngine::pathSetting(const QString& key) const
{
    return d->paths.value(key);
}

QString ConfigEngine::appDirPath() const
{
    return QCoreApplication::applicationDirPath();
}

QString ConfigEngine::dataLocation() const
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString ConfigEngine::configLocation() const
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

QString ConfigEngine::userConfigPath() const
{
    return d->userFile;
}

QString ConfigEngine::defaultConfigPath() const
{
    return d->defaultFile;
}

void ConfigEngine::setDefaultConfigPath(const QString& path)
{
    d->defaultFile = path;
}

void ConfigEngine::setUserConfigPath(const QString& path)
{
    d->fixedUserFile = path;
}

bool ConfigEngine::ensureUserFile()
{
    if (QFileInfo(d->userFile).isFile())
        return true;
    const QString dir = QFileInfo(d->userFile).absolutePath();
    if (!QDir().mkpath(dir))
        return false;
    if (QFileInfo::exists(d->userFile))
        return true;
    if (!JsonFile::write(d->userFile, QByteArrayLiteral("{}"))) {
        qErrnoWarning("config is not created");
        return false;
    }
    return true;
}

QJsonDocument ConfigEngine::currentDocument(bool* brokenOnDisk) const
{
    if (!d->cache.isNull())
        return d->cache;
    const JsonFile::Content content = JsonFile::read(d->userFile);
    // Valid JSON that is not an object (an array, a number) is as unusable as a broken file,
    // and is kept aside the same way before the first write replaces it.
    *brokenOnDisk = content.status == JsonFile::Status::Broken
        || (content.status == JsonFile::Status::Loaded && !content.document.isObject());
    return content.document;
}

bool ConfigEngine::save(const QJsonDocument& work, bool brokenOnDisk)
{
    d->cache = work;
    const auto previous = brokenOnDisk ? JsonFile::Status::Broken : JsonFile::Status::Loaded;
    // The directory may have gone since start-up; writes retry it.
    QDir().mkpath(QFileInfo(d->userFile).absolutePath());
    if (JsonFile::write(d->userFile, work.toJson(), previous))
        return true;
    qErrnoWarning("config is not created");
    return false;
}
