#pragma once

#include <QHash>
#include <QJsonDocument>
#include <QJsonValue>
#include <QObject>
#include <QString>

#include <memory>

class QTranslator;

// The one store of user settings: a flat JSON object in "config.json" under the user
// configuration directory, with a read-only file of the same name among the installed data
// (core/installlayout.h) supplying defaults. Booleans are stored as the texts "true" and
// "false".
//
// After its first write an engine keeps the document in memory and no longer sees changes
// that others make to the file.
class ConfigEngine : public QObject
{
    Q_OBJECT

public:
    explicit ConfigEngine(QObject* parent = nullptr);
    ~ConfigEngine() override;

    // Takes the path settings and makes sure the user file exists ("{}" when new).
    void initialize(const QHash<QString, QString>& paths);

    // The value of key. With useDefault, a key the user file lacks is taken from the default
    // file and copied into the user file. work is the caller's scratch document.
    QJsonValue getValue(const QString& key, bool useDefault, QJsonDocument& work);
    // Sets key (an undefined value removes it) and rewrites the whole user file. Returns false
    // when the file could not be written; the value stays in memory for this run all the same.
    bool setValue(const QString& key, const QJsonValue& value, QJsonDocument& work);

    QTranslator* translator() const;
    QString pathSetting(const QString& key) const;

    QString appDirPath() const;
    QString dataLocation() const;
    QString configLocation() const;

    QString userConfigPath() const;
    QString defaultConfigPath() const;
    // Test seam: read defaults from another file than the one beside the executable.
    void setDefaultConfigPath(const QString& path);
    // Names the user file directly; call before initialize. Before the application object
    // exists the user configuration directory lacks the application name, so start-up names
    // the file itself.
    void setUserConfigPath(const QString& path);

private:
    struct Private;

    bool ensureUserFile();
    QJsonDocument currentDocument(bool* brokenOnDisk) const;
    bool save(const QJsonDocument& work, bool brokenOnDisk);

    std::unique_ptr<Private> d;
};
