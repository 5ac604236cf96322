#include "core/constants.h"
#include "core/endpoints.h"
#include "support/testenvironment.h"

#include <QtTest>

class TestConstants : public QObject
{
    Q_OBJECT

private slots:
    void downloadLocationsKeepTheirPaths();
    void endpointsFollowTheEnvironment();
};

void TestConstants::downloadLocationsKeepTheirPaths()
{
    QVERIFY(SOFTWARE_REPOSITORY_URL.startsWith(QStringLiteral("http://")));
    QVERIFY(
        SOFTWARE_REPOSITORY_URL.endsWith(QStringLiteral("/OrvikDriver/Software/repositoryWin/")));
    QVERIFY(FIRMWARE_URL.endsWith(QStringLiteral("/OrvikDriver/Firmware/")));
    QVERIFY(!APP_VERSION_TYPE.isNull());
    QVERIFY(APP_VERSION_TYPE.isEmpty());
}

void TestConstants::endpointsFollowTheEnvironment()
{
    TestEnvironment env;
    qputenv("LUMORA_SERVICE_URL", "http://127.0.0.1:4321/");
    qunsetenv("LUMORA_ENGINE_URL");
    QCOMPARE(Endpoints::serviceBaseUrl(), QStringLiteral("http://127.0.0.1:4321"));
    QVERIFY(Endpoints::engineBaseUrl().startsWith(QStringLiteral("https://")));
    qunsetenv("LUMORA_SERVICE_URL");
    QVERIFY(Endpoints::serviceBaseUrl().startsWith(QStringLiteral("https://")));
}

QTEST_GUILESS_MAIN(TestConstants)
#include "tst_constants.moc"
