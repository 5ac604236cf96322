#include "core/configengine.h"
#include "core/constants.h"
#include "core/jsonfile.h"
#include "core/languagehandler.h"
#include "core/languagemanager.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QString Placeholder = QStringLiteral("Please enter your content");
const QString PlaceholderZh = QStringLiteral("请输入您的内容");

// A text of each kind: an English source of a view, a Chinese source of the tray menu.
QString placeholder()
{
    return QCoreApplication::translate("InputBar", "Please enter your content");
}

QString traySettings()
{
    return QCoreApplication::translate("TrayIconMenu", "设置");
}

QString shippedFile(const QString& locale)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/translations/lumora_") + locale
        + QStringLiteral(".qm");
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void shippedFilesBesideTheExecutable();
    void storedLanguageIsApplied_data();
    void storedLanguageIsApplied();
    void storedTraditionalChineseChecksNoRow();
    void firstStartStoresASupportedLanguage();
    void chosenIndexSwitchesLanguage();
    void indexOutsideTheListChangesNothing_data();
    void indexOutsideTheListChangesNothing();
    void handlerIgnoresNamesThatAreNoLocale_data();
    void handlerIgnoresNamesThatAreNoLocale();
    void failingFileKeepsTheLoadedOnes();
    void missingFolderLoadsNothing();
    void replacedModelIsAnnounced();

private:
    std::unique_ptr<ConfigEngine> makeConfig(const QByteArray& content = QByteArray("{}"));
    QJsonObject storedConfig() const;

    std::unique_ptr<TestEnvironment> env;
    QString savedCurrent;
};

void TestLanguage::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
    savedCurrent = QDir::currentPath();
}

void TestLanguage::cleanup()
{
    QDir::setCurrent(savedCurrent);
    env.reset();
}

std::unique_ptr<ConfigEngine> TestLanguage::makeConfig(const QByteArray& content)
{
    env->writeFile(QStringLiteral("config/") + QCoreApplication::applicationName()
                       + QStringLiteral("/configs/config.json"),
                   content);
    auto config = std::make_unique<ConfigEngine>();
    config->initialize({{QStringLiteral("AppVer3ConfigPath"), CONFIGS_DIR_NAME}});
    config->setDefaultConfigPath(env->writeFile(QStringLiteral("app/default/config.json"), "{}"));
    return config;
}

QJsonObject TestLanguage::storedConfig() const
{
    return JsonFile::read(env->configHome() + QLatin1Char('/') + QCoreApplication::applicationName()
                          + QStringLiteral("/configs/config.json"))
        .document.object();
}

void TestLanguage::shippedFilesBesideTheExecutable()
{
    for (const QString& locale : {QStringLiteral("zh_CN"), QStringLiteral("en_US")}) {
        QTranslator translator;
        QVERIFY2(translator.load(shippedFile(locale)), qPrintable(shippedFile(locale)));
        QVERIFY(!translator.isEmpty());
    }
}

void TestLanguage::storedLanguageIsApplied_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("placeholderText");
    QTest::addColumn<QString>("settingsText");

    QTest::newRow("zh_CN") << QStringLiteral("zh_CN") << 0 << QStringLiteral("中文(简体)")
                           << PlaceholderZh << QStringLiteral("设置");
    QTest::newRow("en_US") << QStringLiteral("en_US") << 1
                           << QStringLiteral("English(United States)") << Placeholder
                           << QStringLiteral("Settings");
}

void TestLanguage::storedLanguageIsApplied()
{
    QFETCH(QString, language);
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(QString, placeholderText);
    QFETCH(QString, settingsText);
    const auto config = makeConfig(QStringLiteral(R"({"Language": "%1"})").arg(language).toUtf8());
    LanguageManager manager(nullptr, config.get());

    QCOMPARE(manager.optLanguageIndex(), index);
    QCOMPARE(manager.optLanguageName(), name);
    QCOMPARE(manager.langModel()->item(index).checked, true);
    QCOMPARE(manager.langModel()->item(1 - index).checked, false);
    QCOMPARE(manager.languageHandler()->loadedFiles(), QStringList {shippedFile(language)});
    QCOMPARE(QLocale().name(), language);
    QCOMPARE(placeholder(), placeholderText);
    QCOMPARE(traySettings(), settingsText);
    QCOMPARE(storedConfig().value(QStringLiteral("Language")).toString(), language);
}

void TestLanguage::storedTraditionalChineseChecksNoRow()
{
    const auto config = makeConfig(R"({"Language": "zh_TW"})");
    LanguageManager manager(nullptr, config.get());
    QCOMPARE(manager.optLanguageName(), QString());
    QCOMPARE(manager.optLanguageIndex(), 0);
    QVERIFY(manager.languageHandler()->loadedFiles().isEmpty()); // none shipped
    QCOMPARE(placeholder(), Placeholder);
    QCOMPARE(traySettings(), QStringLiteral("设置"));
}

// The tests run under the C locale (see tests/CMakeLists.txt): not Chinese, so English.
void TestLanguage::firstStartStoresASupportedLanguage()
{
    const auto config = makeConfig();
    LanguageHandler handler(config.get());
    QCOMPARE(handler.currentLanguage(), QStringLiteral("en_US"));
    QCOMPARE(traySettings(), QStringLiteral("Settings"));
}

void TestLanguage::chosenIndexSwitchesLanguage()
{
    const auto config = makeConfig(R"({"Language": "en_US"})");
    LanguageManager manager(nullptr, config.get());
    QSignalSpy changed(&manager, &LanguageManager::languageChange);
    QSignalSpy nameChanged(&manager, &LanguageManager::optLanguageNameChanged);

    manager.setOptLanguageIndex(0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(nameChanged.count(), 1);
    QCOMPARE(manager.optLanguageIndex(), 0);
    QCOMPARE(manager.optLanguageName(), QStringLiteral("中文(简体)"));
    QVERIFY(!manager.langModel()->item(1).checked);
    QCOMPARE(storedConfig().value(QStringLiteral("Language")).toString(), QStringLiteral("zh_CN"));
    QCOMPARE(placeholder(), PlaceholderZh);
    QCOMPARE(
        QCoreApplication::translate("DialogManager", "The server is busy, please try again later."),
        QStringLiteral("服务器繁忙，请稍后再试。"));

    manager.setOptLanguageIndex(1);
    QCOMPARE(placeholder(), Placeholder);
    QCOMPARE(traySettings(), QStringLiteral("Settings"));
}

void TestLanguage::indexOutsideTheListChangesNothing_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("2") << 2;
    QTest::newRow("5") << 5;
}

void TestLanguage::indexOutsideTheListChangesNothing()
{
    QFETCH(int, index);
    const auto config = makeConfig(R"({"Language": "zh_CN"})");
    LanguageManager manager(nullptr, config.get());
    QSignalSpy changed(&manager, &LanguageManager::languageChange);
    QSignalSpy nameChanged(&manager, &LanguageManager::optLanguageNameChanged);
    QSignalSpy rows(manager.langModel(), &QAbstractItemModel::rowsRemoved);

    manager.setOptLanguageIndex(index);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(nameChanged.count(), 0);
    QCOMPARE(rows.count(), 0);
    QCOMPARE(manager.optLanguageIndex(), 0);
    QCOMPARE(storedConfig().value(QStringLiteral("Language")).toString(), QStringLiteral("zh_CN"));
    QCOMPARE(placeholder(), PlaceholderZh);
}

void TestLanguage::handlerIgnoresNamesThatAreNoLocale_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("wildcard") << QStringLiteral("*");
    QTest::newRow("path") << QStringLiteral("../zh_CN");
    QTest::newRow("pattern") << QStringLiteral("zh_[CT]?");
}

void TestLanguage::handlerIgnoresNamesThatAreNoLocale()
{
    QFETCH(QString, name);
    const auto config = makeConfig(R"({"Language": "zh_CN"})");
    LanguageHandler handler(config.get());
    handler.setLanguage(QStringLiteral("zh_CN"));
    QSignalSpy changed(&handler, &LanguageHandler::languageChange);

    handler.setLanguage(name);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(handler.currentLanguage(), QStringLiteral("zh_CN"));
    QCOMPARE(handler.loadedFiles(), QStringList {shippedFile(QStringLiteral("zh_CN"))});
    QCOMPARE(placeholder(), PlaceholderZh);
}

// Files load in name order, each into a translator of its own: the broken file between two
// good ones drops neither.
void TestLanguage::failingFileKeepsTheLoadedOnes()
{
    const QString dir = env->path(QStringLiteral("translations"));
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(QFile::copy(shippedFile(QStringLiteral("zh_CN")), dir + QStringLiteral("/a_zh_CN.qm")));
    env->writeFile(QStringLiteral("translations/b_zh_CN.qm"), "not a translation file");
    QVERIFY(QFile::copy(shippedFile(QStringLiteral("en_US")), dir + QStringLiteral("/c_en_US.qm")));

    const auto config = makeConfig(R"({"Language": "en_US"})");
    LanguageHandler handler(config.get());
    handler.setTranslationsDir(dir);
    handler.setLanguage(QStringLiteral("zh_CN"));
    QCOMPARE(handler.loadedFiles(), QStringList {dir + QStringLiteral("/a_zh_CN.qm")});
    QCOMPARE(placeholder(), PlaceholderZh);
    QCOMPARE(traySettings(), QStringLiteral("设置"));
}

// A .qm lying in the working folder is never taken, whichever folder the translations lack.
void TestLanguage::missingFolderLoadsNothing()
{
    const QString stray = env->path(QStringLiteral("work"));
    QVERIFY(QDir().mkpath(stray));
    QVERIFY(QFile::copy(shippedFile(QStringLiteral("zh_CN")),
                        stray + QStringLiteral("/lumora_zh_CN.qm")));
    QVERIFY(QDir::setCurrent(stray));

    const auto config = makeConfig(R"({"Language": "en_US"})");
    LanguageHandler handler(config.get());
    handler.setTranslationsDir(env->path(QStringLiteral("no-such-folder")));
    QSignalSpy changed(&handler, &LanguageHandler::languageChange);
    handler.setLanguage(QStringLiteral("zh_CN"));
    QCOMPARE(changed.count(), 1); // the language is still chosen and stored
    QCOMPARE(handler.currentLanguage(), QStringLiteral("zh_CN"));
    QVERIFY(handler.loadedFiles().isEmpty());
    QCOMPARE(placeholder(), Placeholder);
    QCOMPARE(traySettings(), QStringLiteral("设置"));
}

void TestLanguage::replacedModelIsAnnounced()
{
    const auto config = makeConfig(R"({"Language": "en_US"})");
    LanguageManager manager(nullptr, config.get());
    QPointer<LanguageModel> own = manager.langModel();
    QSignalSpy changed(&manager, &LanguageManager::langModelChanged);
    LanguageModel other;
    manager.setLangModel(&other);
    manager.setLangModel(&other);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(manager.langModel(), &other);
    QCOMPARE(manager.optLanguageName(), QString()); // the new list has no rows
    QTRY_VERIFY(own.isNull());
    manager.setLangModel(nullptr);
}

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
