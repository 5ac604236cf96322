#include "lumoraprocess.h"
#include "support/testenvironment.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>

namespace {

const QString Ready = QStringLiteral("Chat window visible after start-up: false");
const QString ScaleChanged = QStringLiteral("fileScale:");

} // namespace

// The language the program stores on its first start, decided by the system's locale.
class TestStartupLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstStartStoresTheLanguage_data();
    void firstStartStoresTheLanguage();

private:
    QString storedLanguage() const;

    std::unique_ptr<TestEnvironment> env;
};

void TestStartupLanguage::initTestCase()
{
    qputenv("LUMORA_SERVICE_URL", "http://127.0.0.1:9");
    qputenv("LUMORA_ENGINE_URL", "http://127.0.0.1:9");
    // Only LANG speaks for the system here.
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LC_NUMERIC", "LANGUAGE"})
        qunsetenv(variable);
}

void TestStartupLanguage::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
}

void TestStartupLanguage::cleanup()
{
    env.reset();
}

QString TestStartupLanguage::storedLanguage() const
{
    QFile file(env->configHome() + QStringLiteral("/lumora/configs/config.json"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("(no config)");
    return QJsonDocument::fromJson(file.readAll())
        .object()
        .value(QStringLiteral("Language"))
        .toString(QStringLiteral("(absent)"));
}

void TestStartupLanguage::firstStartStoresTheLanguage_data()
{
    QTest::addColumn<QByteArray>("lang");
    QTest::addColumn<QString>("stored");
    QTest::newRow("en_US") << QByteArray("en_US.UTF-8") << QStringLiteral("en_US");
    QTest::newRow("zh_CN") << QByteArray("zh_CN.UTF-8") << QStringLiteral("zh_CN");
    QTest::newRow("de_DE: not offered, English")
        << QByteArray("de_DE.UTF-8") << QStringLiteral("en_US");
}

void TestStartupLanguage::firstStartStoresTheLanguage()
{
    QFETCH(QByteArray, lang);
    QFETCH(QString, stored);
    qputenv("LANG", lang);

    // A screen that wants another scale makes the very first start store it and end before
    // any window exists; the next start then runs.
    auto lumora = std::make_unique<LumoraProcess>();
    QVERIFY(lumora->start());
    QVERIFY2(lumora->waitForOutput(ScaleChanged) || lumora->waitForOutput(Ready),
             qPrintable(lumora->output()));
    if (!lumora->output().contains(Ready)) {
        QCOMPARE(lumora->waitForExit(), 0);
        QCOMPARE(storedLanguage(), QStringLiteral("(absent)"));
        lumora = std::make_unique<LumoraProcess>();
        QVERIFY(lumora->start());
        QVERIFY2(lumora->waitForOutput(Ready), qPrintable(lumora->output()));
    }
    QCOMPARE(storedLanguage(), stored);
}

QTEST_GUILESS_MAIN(TestStartupLanguage)
#include "tst_startuplanguage.moc"
