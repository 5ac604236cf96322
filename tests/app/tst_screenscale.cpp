#include "app/screenscale.h"
#include "app/startupenvironment.h"
#include "core/configengine.h"
#include "core/constants.h"
#include "support/testenvironment.h"

#include <QFile>
#include <QJsonObject>
#include <QtTest>

#include <memory>

// Runs without a GUI application object, like the start-up code before it creates one: the
// screen cannot be read here.
class TestScreenScale : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startupPathIsTheEnginesFile_data();
    void startupPathIsTheEnginesFile();
    void storedScale_data();
    void storedScale();
    void keyAbsentWithoutScreenStoresNothing();
    void computeWithoutScreenStoresNothing();
    void storeLandsInTheNamedFile();
    void applyStartupEnvironment_data();
    void applyStartupEnvironment();

private:
    QString programPath() const;
    QString configFile() const;
    QByteArray configBytes() const;
    void writeConfig(const QByteArray& content) const;

    std::unique_ptr<TestEnvironment> env;
};

void TestScreenScale::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
}

void TestScreenScale::cleanup()
{
    env.reset();
}

QString TestScreenScale::programPath() const
{
    return QStringLiteral("/opt/somewhere/") + QCoreApplication::applicationName();
}

QString TestScreenScale::configFile() const
{
    return env->configHome() + QLatin1Char('/') + QCoreApplication::applicationName()
        + QStringLiteral("/configs/config.json");
}

QByteArray TestScreenScale::configBytes() const
{
    QFile file(configFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestScreenScale::writeConfig(const QByteArray& content) const
{
    QVERIFY(!env->writeFile(QStringLiteral("config/") + QCoreApplication::applicationName()
                                + QStringLiteral("/configs/config.json"),
                            content)
                 .isEmpty());
}

void TestScreenScale::startupPathIsTheEnginesFile_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("plain") << QString();
    QTest::newRow("windows executable") << QStringLiteral(".exe");
}

void TestScreenScale::startupPathIsTheEnginesFile()
{
    QFETCH(QString, suffix);
    ConfigEngine engine;
    engine.initialize({{QStringLiteral("AppVer3ConfigPath"), CONFIGS_DIR_NAME}});
    QCOMPARE(ScreenScale::startupConfigPath(programPath() + suffix), engine.userConfigPath());
    QCOMPARE(engine.userConfigPath(), configFile());
}

void TestScreenScale::storedScale_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::addColumn<double>("expected");

    QTest::newRow("no file") << QByteArray() << 1.0;
    QTest::newRow("broken file") << QByteArray("{\"Scale\": 1.") << 1.0;
    QTest::newRow("number") << QByteArray(R"({"Scale": 1.08})") << 1.08;
    QTest::newRow("computed value")
        << QByteArray(R"({"Scale": 0.5194805194805194})") << 800 / 1540.0;
    QTest::newRow("string") << QByteArray(R"({"Scale": "1.5"})") << 0.0;
    QTest::newRow("boolean") << QByteArray(R"({"Scale": true})") << 0.0;
    QTest::newRow("key absent") << QByteArray(R"({"SkinMode": "0"})") << 1.0;
    QTest::newRow("array document") << QByteArray("[1.5]") << 1.0;
}

void TestScreenScale::storedScale()
{
    QFETCH(QByteArray, content);
    QFETCH(double, expected);
    if (!content.isEmpty())
        writeConfig(content);
    QCOMPARE(ScreenScale::storedScale(programPath()), expected);
}

void TestScreenScale::keyAbsentWithoutScreenStoresNothing()
{
    const QByteArray content = R"({"SkinMode": "1"})";
    writeConfig(content);
    QCOMPARE(ScreenScale::storedScale(programPath()), 1.0);
    QCOMPARE(configBytes(), content);
}

void TestScreenScale::computeWithoutScreenStoresNothing()
{
    QVERIFY(!ScreenScale::computeScreenScale(configFile()).has_value());
    QVERIFY(!QFile::exists(configFile()));
}

// Before the application object exists the engine's own location lacks the application
// name; the store must still land in the file that later starts read.
void TestScreenScale::storeLandsInTheNamedFile()
{
    writeConfig(R"({"SkinMode": "1"})");
    ScreenScale::storeScale(1.08, ScreenScale::startupConfigPath(programPath()));
    const QJsonObject stored = QJsonDocument::fromJson(configBytes()).object();
    QCOMPARE(stored.value(QStringLiteral("Scale")).toDouble(), 1.08);
    QCOMPARE(stored.value(QStringLiteral("SkinMode")).toString(), QStringLiteral("1"));
    QCOMPARE(ScreenScale::storedScale(programPath()), 1.08);
    QVERIFY(!QFile::exists(env->configHome() + QStringLiteral("/configs/config.json")));
}

void TestScreenScale::applyStartupEnvironment_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("factor");
    QTest::addColumn<double>("expected");

    QTest::newRow("no file") << QByteArray() << QByteArray("1") << 1.0;
    QTest::newRow("two places") << QByteArray(R"({"Scale": 1.08})") << QByteArray("1.08") << 1.08;
    QTest::newRow("six digits") << QByteArray(R"({"Scale": 1.2467532467532467})")
                                << QByteArray("1.24675") << 1.2467532467532467;
    QTest::newRow("string") << QByteArray(R"({"Scale": "big"})") << QByteArray("0") << 0.0;
}

void TestScreenScale::applyStartupEnvironment()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, factor);
    QFETCH(double, expected);
    if (!content.isEmpty())
        writeConfig(content);
    qunsetenv("QSG_RENDER_LOOP");
    const QByteArray oldFactor = qgetenv("QT_SCALE_FACTOR");

    QCOMPARE(StartupEnvironment::applyStartupEnvironment(programPath()), expected);
    QCOMPARE(qgetenv("QT_SCALE_FACTOR"), factor);
    QCOMPARE(qgetenv("QSG_RENDER_LOOP"), QByteArray("basic"));

    qputenv("QSG_RENDER_LOOP", "basic");
    if (oldFactor.isEmpty())
        qunsetenv("QT_SCALE_FACTOR");
    else
        qputenv("QT_SCALE_FACTOR", oldFactor);
}

QTEST_GUILESS_MAIN(TestScreenScale)
#include "tst_screenscale.moc"
