#include "lumoraprocess.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString AppId = QStringLiteral("com.orvik.lumora");
const QString Ready = QStringLiteral("Chat window visible after start-up: false");

} // namespace

// "cmake --install" into a fresh prefix, and the installed program run from there: it must find
// its translations and first-run defaults in share/lumora, not beside itself.
class TestInstallTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installsTheLayout_data();
    void installsTheLayout();
    void installsNothingElseInBin();
    void iconSizes_data();
    void iconSizes();
    void validatorsAccept_data();
    void validatorsAccept();
    void installedProgramAnswersItsVersion();
    void installedProgramFindsItsTranslations();
    void installedProgramFindsItsDefaults();

private:
    QString installed(const QString& relative) const;
    QString run(const QString& program, const QStringList& arguments, int* exitCode,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

    QTemporaryDir prefix;
};

QString TestInstallTree::installed(const QString& relative) const
{
    return prefix.path() + QLatin1Char('/') + relative;
}

QString TestInstallTree::run(const QString& program, const QStringList& arguments, int* exitCode,
                             const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        *exitCode = -1;
    } else {
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    }
    return QString::fromLocal8Bit(process.readAll());
}

void TestInstallTree::initTestCase()
{
    QVERIFY(prefix.isValid());
    int code = 0;
    const QString output = run(QStringLiteral(LUMORA_CMAKE),
                               {QStringLiteral("--install"), QStringLiteral(LUMORA_BUILD_DIR),
                                QStringLiteral("--prefix"), prefix.path()},
                               &code);
    QVERIFY2(code == 0, qPrintable(output));
}

void TestInstallTree::installsTheLayout_data()
{
    QTest::addColumn<QString>("path");
    const QStringList files = {
        QStringLiteral("bin/lumora"),
        QStringLiteral("share/applications/%1.desktop").arg(AppId),
        QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId),
        QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(AppId),
        QStringLiteral("share/lumora/default/config.json"),
        QStringLiteral("share/lumora/translations/lumora_zh_CN.qm"),
        QStringLiteral("share/lumora/translations/lumora_en_US.qm"),
    };
    for (const QString& file : files)
        QTest::newRow(qPrintable(file)) << file;
}

void TestInstallTree::installsTheLayout()
{
    QFETCH(QString, path);
    const QFileInfo info(installed(path));
    QVERIFY2(info.isFile(), qPrintable(info.filePath()));
    QVERIFY(info.size() > 0);
    if (path.startsWith(QStringLiteral("bin/")))
        QVERIFY(info.isExecutable());
}

// Test programs, stand-ins and the simulator's control tool stay out of an installation.
void TestInstallTree::installsNothingElseInBin()
{
    QCOMPARE(QDir(installed(QStringLiteral("bin"))).entryList(QDir::Files | QDir::NoDotAndDotDot),
             QStringList {QStringLiteral("lumora")});
}

void TestInstallTree::iconSizes_data()
{
    QTest::addColumn<int>("size");
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        QTest::newRow(qPrintable(QString::number(size))) << size;
}

void TestInstallTree::iconSizes()
{
    QFETCH(int, size);
    const QImage icon(
        installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(AppId)));
    QCOMPARE(icon.size(), QSize(size, size));
    QVERIFY(icon.hasAlphaChannel());
    // The mark is a disc: the corners are clear, the centre is not.
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255);
}

void TestInstallTree::validatorsAccept_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("desktop entry")
        << QStringLiteral("desktop-file-validate")
        << QStringList {installed(QStringLiteral("share/applications/%1.desktop").arg(AppId))};
    QTest::newRow("AppStream")
        << QStringLiteral("appstreamcli")
        << QStringList {QStringLiteral("validate"), QStringLiteral("--no-net"),
                        QStringLiteral("--pedantic"),
                        installed(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId))};
}

void TestInstallTree::validatorsAccept()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    if (QStandardPaths::findExecutable(program).isEmpty())
        QFAIL(qPrintable(program + QStringLiteral(" is missing; run scripts/setup")));
    int code = 0;
    const QString output = run(program, arguments, &code);
    QVERIFY2(code == 0, qPrintable(output));
    // Both print nothing but success: a warning or a hint counts as a fault too.
    QVERIFY2(output.trimmed().isEmpty() || output.contains(QStringLiteral("successful")),
             qPrintable(output));
    QVERIFY2(!output.contains(QStringLiteral("W:")) && !output.contains(QStringLiteral("I:"))
                 && !output.contains(QStringLiteral("P:")),
             qPrintable(output));
}

void TestInstallTree::installedProgramAnswersItsVersion()
{
    int code = 0;
    const QString output =
        run(installed(QStringLiteral("bin/lumora")), {QStringLiteral("--version")}, &code);
    QCOMPARE(code, 0);
    QCOMPARE(output, QStringLiteral("Lumora 1.0.0\n"));
}

void TestInstallTree::installedProgramFindsItsTranslations()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("zh_CN.UTF-8"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("zh_CN.UTF-8"));
    int code = 0;
    const QString output = run(installed(QStringLiteral("bin/lumora")), {QStringLiteral("--help")},
                               &code, environment);
    QCOMPARE(code, 0);
    QVERIFY2(output.contains(QStringLiteral("显示版本号并退出")), qPrintable(output));
}

// A first start reads the first-run defaults: the settings the app asks for at start come from
// share/lumora/default/config.json into the user's file.
void TestInstallTree::installedProgramFindsItsDefaults()
{
    TestEnvironment env;
    QVERIFY(env.isValid());
    const QString program = installed(QStringLiteral("bin/lumora"));
    for (int start = 0; start < 2; ++start) {
        LumoraProcess lumora;
        lumora.setProgram(program);
        lumora.setVariable(QStringLiteral("LUMORA_SERVICE_URL"),
                           QStringLiteral("http://127.0.0.1:9"));
        QVERIFY(lumora.start());
        // The first start may only store the scale the offscreen screen wants and end.
        if (lumora.waitForOutput(Ready))
            break;
        QVERIFY2(start == 0 && lumora.output().contains(QStringLiteral("fileScale:")),
                 qPrintable(lumora.output()));
    }
    QFile file(env.configHome() + QStringLiteral("/lumora/configs/config.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject stored = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(stored.value(QStringLiteral("SkinMode")).toString(), QStringLiteral("0"));
    QCOMPARE(stored.value(QStringLiteral("StartUpAuto")).toString(), QStringLiteral("false"));
}

QTEST_GUILESS_MAIN(TestInstallTree)
#include "tst_installtree.moc"
