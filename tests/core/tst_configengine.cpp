#include "core/configengine.h"
#include "core/constants.h"
#include "core/jsonfile.h"
#include "support/killedwriter.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

class TestConfigEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstRunCreatesFileAndCopiesDefault();
    void keyInNeitherFile();
    void userFileThatIsNoObject_data();
    void userFileThatIsNoObject();
    void brokenUserFileIsKeptAside();
    void cacheSurvivesDeletionOfTheFile();
    void numbersStayNumbersAndBooleansAreText();
    void missingDefaultFile();
    void unwritableDirectoryKeepsValuesInMemory();
    void killDuringWriteLeavesValidFile();

private:
    std::unique_ptr<ConfigEngine> makeEngine();
    QJsonDocument userFile() const;
    QByteArray userFileBytes() const;
    QString userFilePath() const;

    std::unique_ptr<TestEnvironment> env;
    QString defaultsPath;
};

void TestConfigEngine::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
    defaultsPath = env->writeFile(QStringLiteral("app/default/config.json"),
                                  R"({"StartUpAuto": "false", "SkinMode": "0", "Level": 3})");
}

void TestConfigEngine::cleanup()
{
    env.reset();
}

std::unique_ptr<ConfigEngine> TestConfigEngine::makeEngine()
{
    auto engine = std::make_unique<ConfigEngine>();
    engine->initialize({{QStringLiteral("AppVer3ConfigPath"), CONFIGS_DIR_NAME}});
    engine->setDefaultConfigPath(defaultsPath);
    return engine;
}

QString TestConfigEngine::userFilePath() const
{
    return env->configHome() + QLatin1Char('/') + QCoreApplication::applicationName()
        + QStringLiteral("/configs/config.json");
}

QByteArray TestConfigEngine::userFileBytes() const
{
    QFile file(userFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonDocument TestConfigEngine::userFile() const
{
    return QJsonDocument::fromJson(userFileBytes());
}

void TestConfigEngine::firstRunCreatesFileAndCopiesDefault()
{
    QVERIFY(!QFile::exists(userFilePath()));
    auto engine = makeEngine();
    QCOMPARE(engine->userConfigPath(), userFilePath());
    QCOMPARE(userFileBytes(), QByteArray("{}"));

    QJsonDocument work;
    const QJsonValue value = engine->getValue(QStringLiteral("StartUpAuto"), true, work);
    QCOMPARE(value, QJsonValue(QStringLiteral("false")));
    QCOMPARE(userFile().object().value(QStringLiteral("StartUpAuto")).toString(),
             QStringLiteral("false"));
    // The file is written in the indented form.
    QVERIFY(userFileBytes().contains("\n    \"StartUpAuto\": \"false\""));
}

void TestConfigEngine::keyInNeitherFile()
{
    auto engine = makeEngine();
    QJsonDocument work;
    engine->setValue(QStringLiteral("SkinMode"), QStringLiteral("1"), work);
    const QByteArray before = userFileBytes();

    const QJsonValue value = engine->getValue(QStringLiteral("Nowhere"), true, work);
    QVERIFY(value.isUndefined());
    QCOMPARE(value.toString(), QString());
    QCOMPARE(userFileBytes(), before);
    QVERIFY(engine->getValue(QStringLiteral("Nowhere"), false, work).isUndefined());
}

void TestConfigEngine::userFileThatIsNoObject_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("keptAside"); // an empty file holds nothing worth a copy
    QTest::newRow("array") << QByteArray(R"(["StartUpAuto", "true"])") << true;
    QTest::newRow("broken") << QByteArray(R"({"StartUpAuto": "tr)") << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("string") << QByteArray(R"("true")") << true;
    QTest::newRow("number") << QByteArray("1.25") << true;
}

void TestConfigEngine::userFileThatIsNoObject()
{
    QFETCH(QByteArray, content);
    env->writeFile(QStringLiteral("config/") + QCoreApplication::applicationName()
                       + QStringLiteral("/configs/config.json"),
                   content);
    auto engine = makeEngine();
    QJsonDocument work;
    QCOMPARE(engine->getValue(QStringLiteral("StartUpAuto"), true, work), QJsonValue(QString()));
    // The file starts again as an object holding the default of that key, as text.
    QJsonObject expected {{QStringLiteral("StartUpAuto"), QStringLiteral("false")}};
    QCOMPARE(userFile().object(), expected);
    // What was there before is kept aside, valid JSON or not, never silently replaced.
    QFETCH(bool, keptAside);
    const QDir dir(QFileInfo(userFilePath()).absolutePath());
    const QStringList kept = dir.entryList({QStringLiteral("config.broken-*.json")});
    QCOMPARE(kept.size(), keptAside ? 1 : 0);
    if (keptAside) {
        QFile copy(dir.filePath(kept.first()));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), content);
    }
}

void TestConfigEngine::brokenUserFileIsKeptAside()
{
    const QByteArray broken(R"({"Language": "zh_CN", "StartUpAuto": "tr)");
    env->writeFile(QStringLiteral("config/") + QCoreApplication::applicationName()
                       + QStringLiteral("/configs/config.json"),
                   broken);
    auto engine = makeEngine();
    QJsonDocument work;
    engine->setValue(QStringLiteral("SkinMode"), QStringLiteral("1"), work);
    QCOMPARE(userFile().object().value(QStringLiteral("SkinMode")).toString(), QStringLiteral("1"));

    const QDir dir(QFileInfo(userFilePath()).absolutePath());
    const QStringList kept = dir.entryList({QStringLiteral("config.broken-*.json")});
    QCOMPARE(kept.size(), 1);
    QFile copy(dir.filePath(kept.first()));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), broken);

    // Later writes find a valid file and keep nothing more.
    engine->setValue(QStringLiteral("SkinMode"), QStringLiteral("2"), work);
    QCOMPARE(dir.entryList({QStringLiteral("config.broken-*.json")}).size(), 1);
}

void TestConfigEngine::cacheSurvivesDeletionOfTheFile()
{
    auto engine = makeEngine();
    QJsonDocument work;
    engine->setValue(QStringLiteral("StartUpAuto"), QStringLiteral("true"), work);
    QVERIFY(QFile::remove(userFilePath()));
    QCOMPARE(engine->getValue(QStringLiteral("StartUpAuto"), false, work),
             QJsonValue(QStringLiteral("true")));

    // A second engine reads the file, not the first one's memory.
    auto other = makeEngine();
    QCOMPARE(other->getValue(QStringLiteral("StartUpAuto"), false, work).toString(), QString());
}

void TestConfigEngine::numbersStayNumbersAndBooleansAreText()
{
    auto engine = makeEngine();
    QJsonDocument work;
    engine->setValue(QStringLiteral("Scale"), 1.25, work);
    engine->setValue(QStringLiteral("StartUpAuto"), QVariant(true).toString(), work);

    auto fresh = makeEngine();
    const QJsonValue scale = fresh->getValue(QStringLiteral("Scale"), true, work);
    QVERIFY(scale.isDouble());
    QCOMPARE(scale.toDouble(), 1.25);
    const QJsonValue start = fresh->getValue(QStringLiteral("StartUpAuto"), true, work);
    QVERIFY(start.isString());
    QCOMPARE(start.toString(), QStringLiteral("true"));

    // A JSON boolean is not the text "true": its text form is empty.
    fresh->setValue(QStringLiteral("StartUpAuto"), true, work);
    QVERIFY(fresh->getValue(QStringLiteral("StartUpAuto"), true, work).toString()
            != QStringLiteral("true"));
}

void TestConfigEngine::missingDefaultFile()
{
    auto engine = makeEngine();
    engine->setDefaultConfigPath(env->path(QStringLiteral("nowhere/config.json")));
    QJsonDocument work;
    QCOMPARE(engine->getValue(QStringLiteral("StartUpAuto"), true, work), QJsonValue(QString()));
    QVERIFY(engine->getValue(QStringLiteral("StartUpAuto"), false, work).isUndefined());
    QCOMPARE(userFileBytes(), QByteArray("{}"));
}

void TestConfigEngine::unwritableDirectoryKeepsValuesInMemory()
{
    // A regular file where the app's folder belongs: nothing can be created below it, even
    // for root, which ignores permission bits.
    env->writeFile(QStringLiteral("config/") + QCoreApplication::applicationName(), "not a dir");

    QTest::ignoreMessage(QtCriticalMsg,
                         QRegularExpression(QStringLiteral("^Create User Config Error")));
    auto engine = makeEngine();

    QTest::ignoreMessage(QtCriticalMsg,
                         QRegularExpression(QStringLiteral("^config is not created")));
    QJsonDocument work;
    engine->setValue(QStringLiteral("SkinMode"), QStringLiteral("2"), work);
    QCOMPARE(engine->getValue(QStringLiteral("SkinMode"), true, work),
             QJsonValue(QStringLiteral("2")));
}

void TestConfigEngine::killDuringWriteLeavesValidFile()
{
    for (int delayMs : {1, 7, 23, 61}) {
        const QString failure = KilledWriter::run(QStringLiteral(CONFIGWRITER_PATH), {}, delayMs);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));

        const JsonFile::Content content =
            JsonFile::read(env->configHome() + QStringLiteral("/configwriter/configs/config.json"));
        QCOMPARE(int(content.status), int(JsonFile::Status::Loaded));
        QVERIFY(content.document.object().value(QStringLiteral("Round")).isString());
    }
}

QTEST_GUILESS_MAIN(TestConfigEngine)
#include "tst_configengine.moc"
