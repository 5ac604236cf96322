#include "core/logging.h"
#include "core/logredaction.h"

#include <QtTest>

class TestLogRedaction : public QObject
{
    Q_OBJECT

private slots:
    void serial_data();
    void serial();
    void secret_data();
    void secret();
    void recordKeepsAllButTheKey();
    void debugFollowsTheRules();
};

void TestLogRedaction::serial_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("shown");
    QTest::newRow("usual") << QStringLiteral("DEMO-0001") << QStringLiteral("…0001");
    QTest::newRow("short") << QStringLiteral("AB12") << QStringLiteral("…12");
    QTest::newRow("one") << QStringLiteral("A") << QStringLiteral("…");
    QTest::newRow("empty") << QString() << QString();
}

void TestLogRedaction::serial()
{
    QFETCH(QString, serial);
    QFETCH(QString, shown);
    QCOMPARE(LogRedaction::serial(serial), shown);
}

void TestLogRedaction::secret_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("key") << QStringLiteral("lumora-dev-mode-0") << QStringLiteral("lumo…(17)");
    QTest::newRow("signature") << QStringLiteral("2CC1550AF7D94D0C9F2B5F0A3C1E7B21")
                               << QStringLiteral("2CC1…(32)");
    QTest::newRow("short") << QStringLiteral("abc") << QStringLiteral("…(3)");
    QTest::newRow("empty") << QString() << QString();
}

void TestLogRedaction::secret()
{
    QFETCH(QString, value);
    QFETCH(QString, shown);
    QCOMPARE(LogRedaction::secret(value), shown);
}

void TestLogRedaction::recordKeepsAllButTheKey()
{
    const QVariantMap record {{QStringLiteral("platform"), QStringLiteral("tencent")},
                              {QStringLiteral("apiKey"), QStringLiteral("secret-key-123456")},
                              {QStringLiteral("free"), true}};
    QVariantMap expected = record;
    expected.insert(QStringLiteral("apiKey"), QStringLiteral("secr…(17)"));
    QCOMPARE(LogRedaction::record(record), expected);
    QCOMPARE(LogRedaction::record({}), QVariantMap());
}

// Debug lines are off in release builds unless the rules switch them on; the tests run with
// QT_LOGGING_RULES="lumora.*.debug=true", which wins over any rule set in the program.
void TestLogRedaction::debugFollowsTheRules()
{
    QCOMPARE(QString::fromLatin1(lcDevice().categoryName()), QStringLiteral("lumora.device"));
    QVERIFY(lcChat().isInfoEnabled());
    QCOMPARE(qgetenv("QT_LOGGING_RULES"), QByteArray("lumora.*.debug=true"));
    QVERIFY(lcChat().isDebugEnabled());
    QVERIFY(lcService().isDebugEnabled());
    QVERIFY(lcApp().isWarningEnabled());
}

QTEST_GUILESS_MAIN(TestLogRedaction)
#include "tst_logredaction.moc"
