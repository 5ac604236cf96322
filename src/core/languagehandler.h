#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class ConfigEngine;
class QTranslator;

// Decides the interface language, stores it under "Language", loads its translation files and
// announces the change. The files are those of the "translations" folder beside the executable
// whose names end in the locale name and ".qm" ("lumora_zh_CN.qm" for zh_CN).
//
// Each file that loads gets a translator of its own, taken in name order, so a file that fails
// to load cannot drop the texts of those loaded before it. Without the folder nothing loads:
// the interface then shows its source texts.
class LanguageHandler : public QObject
{
    Q_OBJECT

public:
    // Stores the system's language on the first start (zh_CN and zh_TW as they are, every
    // other language as en_US).
    explicit LanguageHandler(ConfigEngine* config, QObject* parent = nullptr);
    ~LanguageHandler() override;

    // "Language" as stored, "" when absent.
    QString currentLanguage() const;
    // Stores name, swaps the installed translators for those of name and sets the default
    // locale. An empty name or one that is no locale name changes nothing.
    void setLanguage(const QString& name);

    // The files loaded by the last change, in the order they were installed.
    QStringList loadedFiles() const;
    QString translationsDir() const;
    // Test seam: take the files from another folder.
    void setTranslationsDir(const QString& dir);

signals:
    void languageChange(QString langName);

private:
    void initLanguage();
    void unloadTranslations();
    void loadTranslations(const QString& name);

    ConfigEngine* config;
    QString dirOverride;
    std::vector<std::unique_ptr<QTranslator>> translators;
    QStringList loaded;
};
