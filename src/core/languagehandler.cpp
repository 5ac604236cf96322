#include "core/languagehandler.h"

#include "core/configengine.h"
#include "core/constants.h"
#include "core/installlayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

namespace {

const QString LanguageKey = QStringLiteral("Language");

QString systemLanguageName()
{
    return QLocale(QLocale::system().language(), QLocale::AnyCountry).name();
}

// The name ends up in a file name pattern: wildcards or separators would let it match files of
// other languages (or every file).
bool isLocaleName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z]{1,8}(_[A-Za-z0-9]{1,8})*$"));
    return pattern.match(name).hasMatch();
}

} // namespace

LanguageHandler::LanguageHandler(ConfigEngine* config, QObject* parent)
    : QObject(parent)
    , config(config)
{
    initLanguage();
}

LanguageHandler::~LanguageHandler()
{
    unloadTranslations();
}

void LanguageHandler::initLanguage()
{
    QJsonDocument work;
    const QString stored = config->getValue(LanguageKey, true, work).toString();
    if (!stored.isEmpty())
        return; // the manager applies it
    QString name = systemLanguageName();
    if (!name.contains(QLatin1String("zh_CN")) && !name.contains(QLatin1String("zh_TW")))
        name = QStringLiteral("en_US");
    setLanguage(name);
}

QString LanguageHandler::currentLanguage() const
{
    QJsonDocument work;
    return config->getValue(LanguageKey, false, work).toString();
}

void LanguageHandler::setLanguage(const QString& name)
{
    if (!isLocaleName(name))
        return;
    QJsonDocument work;
    config->setValue(LanguageKey, name, work);
    unloadTranslations();
    loadTranslations(name);
    QLocale::setDefault(QLocale(name));
    emit languageChange(name);
}

void LanguageHandler::unloadTranslations()
{
    QCoreApplication::removeTranslator(config->translator());
    for (const auto& translator : translators)
        QCoreApplication::removeTranslator(translator.get());
    translators.clear();
    loaded.clear();
}

void LanguageHandler::loadTranslations(const QString& name)
{
    const QDir dir(translationsDir());
    if (!dir.exists())
        return;
    const QStringList files =
        dir.entryList({QLatin1Char('*') + name + QStringLiteral(".qm")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        auto translator = std::make_unique<QTranslator>();
        const QString path = dir.filePath(file);
        if (!translator->load(path))
            continue;
        QCoreApplication::installTranslator(translator.get());
        translators.push_back(std::move(translator));
        loaded.append(path);
    }
}

QStringList LanguageHandler::loadedFiles() const
{
    return loaded;
}

QString LanguageHandler::translationsDir() const
{
    if (!dirOverride.isEmpty())
        return dirOverride;
    return InstallLayout::dataDir() + QLatin1Char('/') + TRANSLATIONS_DIR_NAME;
}

void LanguageHandler::setTranslationsDir(const QString& dir)
{
    dirOverride = dir;
}
