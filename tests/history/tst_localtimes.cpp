#include "chat/localtimes.h"

#include <QtTest>

#include <ctime>

// Stored times are read back as the same instants whatever hour they share, also around the
// changes to and from summer time.
class TestLocalTimes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameInstantsAsQDateTime_data();
    void sameInstantsAsQDateTime();
};

void TestLocalTimes::initTestCase()
{
    // A zone with summer time, whatever the machine's is.
    qputenv("TZ", "Europe/Berlin");
    tzset();
}

void TestLocalTimes::sameInstantsAsQDateTime_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QVector<QTime>>("times"); // read in this order, sharing one LocalTimes
    const QVector<QTime> hour {QTime(1, 0),  QTime(1, 59, 59), QTime(3, 0),     QTime(3, 30),
                               QTime(1, 30), QTime(12, 0),     QTime(12, 0, 1), QTime(23, 59, 59)};
    QTest::newRow("winter") << QDate(2026, 1, 15) << hour;
    QTest::newRow("to summer time") << QDate(2026, 3, 29) << hour;
    QTest::newRow("summer") << QDate(2026, 7, 1) << hour;
    QTest::newRow("back to winter time")
        << QDate(2026, 10, 25) << QVector<QTime> {QTime(2, 10), QTime(2, 50), QTime(1, 59),
                                                  QTime(3, 0),  QTime(3, 1),  QTime(2, 10)};
}

void TestLocalTimes::sameInstantsAsQDateTime()
{
    QFETCH(QDate, date);
    QFETCH(QVector<QTime>, times);
    LocalTimes localTimes;
    for (int round = 0; round < 2; ++round) {
        for (const QTime& time : times) {
            const QDateTime expected(date, time);
            const QDateTime read = localTimes.at(date, time);
            QCOMPARE(read.toMSecsSinceEpoch(), expected.toMSecsSinceEpoch());
            QCOMPARE(read.date(), date);
            QCOMPARE(read.time(), time);
            QCOMPARE(read.toLocalTime(), expected);
        }
    }
}

QTEST_GUILESS_MAIN(TestLocalTimes)
#include "tst_localtimes.moc"
