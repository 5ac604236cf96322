#include "lumoraprocess.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QtTest>

#include <memory>

namespace {

const QString Ready = QStringLiteral("Chat window visible after start-up: false");
const QString Woken = QStringLiteral("Chat window woken by a later start, visible: true");
const QString ScaleChanged = QStringLiteral("fileScale:");

} // namespace

class TestStartupProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstStartStoresTheScale();
    void outdatedScaleEndsAtOnce_data();
    void outdatedScaleEndsAtOnce();
    void startsHiddenAndLaterStartWakesIt();
    void crashedInstanceDoesNotBlockTheNext();
    void unwritableConfigStillStarts();

private:
    QString configFile() const;
    QJsonObject storedConfig() const;
    void writeConfig(const QByteArray& content) const;
    // Leaves the scale the screen wants in the configuration, so the next start runs.
    void prepareScale();

    std::unique_ptr<TestEnvironment> env;
};

// The chat window asks the maker's service for its provider list at start; here that request
// goes to a loopback port nothing listens on, never out to the network.
void TestStartupProcess::initTestCase()
{
    qputenv("LUMORA_SERVICE_URL", "http://127.0.0.1:9");
    qputenv("LUMORA_ENGINE_URL", "http://127.0.0.1:9");
}

void TestStartupProcess::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
}

void TestStartupProcess::cleanup()
{
    env.reset();
}

QString TestStartupProcess::configFile() const
{
    return env->configHome() + QStringLiteral("/lumora/configs/config.json");
}

QJsonObject TestStartupProcess::storedConfig() const
{
    QFile file(configFile());
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

void TestStartupProcess::writeConfig(const QByteArray& content) const
{
    QVERIFY(
        !env->writeFile(QStringLiteral("config/lumora/configs/config.json"), content).isEmpty());
}

void TestStartupProcess::prepareScale()
{
    LumoraProcess once;
    QVERIFY(once.start());
    QVERIFY(once.waitForOutput(ScaleChanged) || once.waitForOutput(Ready));
    QVERIFY(storedConfig().value(QStringLiteral("Scale")).isDouble());
}

// Without a configuration the stored scale counts as 1.0: a screen that wants another factor
// makes the first start store it and end, and the second start run with it.
void TestStartupProcess::firstStartStoresTheScale()
{
    LumoraProcess first;
    QVERIFY(first.start());
    QVERIFY2(first.waitForOutput(ScaleChanged) || first.waitForOutput(Ready),
             qPrintable(first.output()));
    const double computed = storedConfig().value(QStringLiteral("Scale")).toDouble(-1);
    QVERIFY(computed > 0);
    if (computed != 1.0) {
        QCOMPARE(first.waitForExit(), 0);
        QVERIFY(!first.output().contains(Ready)); // no window was ever created
        LumoraProcess second;
        QVERIFY(second.start());
        QVERIFY2(second.waitForOutput(Ready), qPrintable(second.output()));
        QVERIFY(!second.output().contains(ScaleChanged));
    }
    QCOMPARE(storedConfig().value(QStringLiteral("Scale")).toDouble(), computed);
    // The value is read and written in the one user file, not beside it.
    QVERIFY(!QFile::exists(env->configHome() + QStringLiteral("/configs/config.json")));
}

void TestStartupProcess::outdatedScaleEndsAtOnce_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("logged");
    // The offscreen screen is 800 pixels wide: no factor above 0.52 fits it.
    QTest::newRow("stored 2.0") << QByteArray(R"({"Scale": 2.0, "SkinMode": "1"})")
                                << QStringLiteral("fileScale: 2");
    QTest::newRow("stored string")
        << QByteArray(R"({"Scale": "1.5", "SkinMode": "1"})") << QStringLiteral("fileScale: 0");
}

void TestStartupProcess::outdatedScaleEndsAtOnce()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, logged);
    writeConfig(content);
    LumoraProcess start;
    QVERIFY(start.start());
    QCOMPARE(start.waitForExit(), 0);
    QVERIFY2(start.output().contains(logged), qPrintable(start.output()));
    QVERIFY(!start.output().contains(Ready));
    const QJsonObject stored = storedConfig();
    QVERIFY(stored.value(QStringLiteral("Scale")).isDouble());
    QVERIFY(stored.value(QStringLiteral("Scale")).toDouble() < 1.0);
    QCOMPARE(stored.value(QStringLiteral("SkinMode")).toString(), QStringLiteral("1"));
}

void TestStartupProcess::startsHiddenAndLaterStartWakesIt()
{
    prepareScale();
    LumoraProcess first;
    QVERIFY(first.start());
    QVERIFY2(first.waitForOutput(Ready), qPrintable(first.output()));

    LumoraProcess later;
    QVERIFY(later.start());
    QCOMPARE(later.waitForExit(), 0);
    QVERIFY(!later.output().contains(Ready)); // the later start never builds a window
    QVERIFY2(first.waitForOutput(Woken, 5000), qPrintable(first.output()));
}

void TestStartupProcess::crashedInstanceDoesNotBlockTheNext()
{
    prepareScale();
    LumoraProcess crashing;
    QVERIFY(crashing.start());
    QVERIFY(crashing.waitForOutput(Ready));
    crashing.crash();

    LumoraProcess next;
    QVERIFY(next.start());
    QVERIFY2(next.waitForOutput(Ready), qPrintable(next.output()));

    LumoraProcess later;
    QVERIFY(later.start());
    QCOMPARE(later.waitForExit(), 0);
    QVERIFY(next.waitForOutput(Woken, 5000));
}

// A configuration that cannot be written (here a link to a folder that does not exist, which
// stops root too) must not make every start store the scale and end.
void TestStartupProcess::unwritableConfigStillStarts()
{
    QVERIFY(QDir().mkpath(QFileInfo(configFile()).absolutePath()));
    QVERIFY(QFile::link(env->path(QStringLiteral("gone/config.json")), configFile()));
    LumoraProcess start;
    QVERIFY(start.start());
    QVERIFY2(start.waitForOutput(Ready), qPrintable(start.output()));
    if (start.output().contains(ScaleChanged))
        QVERIFY(start.output().contains(QStringLiteral("The scale could not be stored")));
}

QTEST_GUILESS_MAIN(TestStartupProcess)
#include "tst_startupprocess.moc"
