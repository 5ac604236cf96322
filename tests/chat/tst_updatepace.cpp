#include "chat/updatepace.h"

#include <QtTest>

// The interval between a streaming answer's updates keeps the window thread's share of time
// spent on them small, within 50 and 250 ms.
class TestUpdatePace : public QObject
{
    Q_OBJECT

private slots:
    void followsWhatTheUpdatesCost_data();
    void followsWhatTheUpdatesCost();
    void startsAgainWithEachAnswer();
    void forgetsCostsOlderThanAMoment();
    void aFastStreamIsShownSooner_data();
    void aFastStreamIsShownSooner();
};

constexpr qint64 Ms = 1000000;

void TestUpdatePace::followsWhatTheUpdatesCost_data()
{
    QTest::addColumn<double>("costMs"); // processor time per update
    QTest::addColumn<int>("expected");
    QTest::newRow("cheap: twenty a second") << 0.3 << 50;
    QTest::newRow("at the share: still twenty") << 0.75 << 50;
    QTest::newRow("twice the share") << 1.5 << 100;
    QTest::newRow("costly: at least four a second") << 6.0 << UpdatePace::MaxIntervalMs;
}

void TestUpdatePace::followsWhatTheUpdatesCost()
{
    QFETCH(double, costMs);
    QFETCH(int, expected);
    UpdatePace pace;
    QCOMPARE(pace.intervalAfterUpdate(0, 0), UpdatePace::MinIntervalMs);
    int interval = 0;
    qint64 cpu = 0;
    qint64 wall = 0;
    for (int update = 0; update < 30; ++update) {
        cpu += qint64(costMs * Ms);
        wall += 50 * Ms;
        interval = pace.intervalAfterUpdate(cpu, wall);
    }
    QCOMPARE(interval, expected);
}

void TestUpdatePace::startsAgainWithEachAnswer()
{
    UpdatePace pace;
    pace.intervalAfterUpdate(0, 0);
    QCOMPARE(pace.intervalAfterUpdate(10 * Ms, 50 * Ms), UpdatePace::MaxIntervalMs);
    pace.reset();
    QCOMPARE(pace.intervalAfterUpdate(20 * Ms, 100 * Ms), UpdatePace::MinIntervalMs);
    QCOMPARE(pace.intervalAfterUpdate(20 * Ms + Ms / 2, 150 * Ms), UpdatePace::MinIntervalMs);
    // Without the thread's time the answer is shown twenty times a second.
    QCOMPARE(pace.intervalAfterUpdate(-1, 200 * Ms), UpdatePace::MinIntervalMs);
}

// A costly start (the first pieces' items are made) slows the updates only for a moment.
void TestUpdatePace::forgetsCostsOlderThanAMoment()
{
    UpdatePace pace;
    qint64 cpu = 0;
    qint64 wall = 0;
    pace.intervalAfterUpdate(cpu, wall);
    cpu += 40 * Ms;
    wall += 50 * Ms;
    QCOMPARE(pace.intervalAfterUpdate(cpu, wall), UpdatePace::MaxIntervalMs);
    int interval = 0;
    for (int update = 0; update < 20; ++update) {
        cpu += Ms / 2;
        wall += 200 * Ms;
        interval = pace.intervalAfterUpdate(cpu, wall);
    }
    QCOMPARE(interval, UpdatePace::MinIntervalMs);
}

void TestUpdatePace::aFastStreamIsShownSooner_data()
{
    QTest::addColumn<int>("waitingChars");
    QTest::addColumn<int>("sinceUpdateMs");
    QTest::addColumn<bool>("due");
    QTest::newRow("a real stream's pace waits") << 150 << 150 << false;
    QTest::newRow("much text, soon after an update") << 2000 << 30 << false;
    QTest::newRow("much text, 50 ms after an update") << UpdatePace::MaxWaitingChars << 50 << true;
}

void TestUpdatePace::aFastStreamIsShownSooner()
{
    QFETCH(int, waitingChars);
    QFETCH(int, sinceUpdateMs);
    QFETCH(bool, due);
    UpdatePace pace;
    QVERIFY(!pace.isDueEarly(waitingChars, 0)); // no update yet: the first one is at once anyway
    pace.intervalAfterUpdate(0, 0);
    pace.intervalAfterUpdate(20 * Ms, 100 * Ms); // costly: the longest interval to the next
    QCOMPARE(pace.isDueEarly(waitingChars, (100 + sinceUpdateMs) * Ms), due);
}

QTEST_GUILESS_MAIN(TestUpdatePace)
#include "tst_updatepace.moc"
