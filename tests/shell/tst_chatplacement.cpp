#include "shell/chatplacement.h"

#include <QtTest>

// Where the chat window goes: on the screen it is on, the input bar where it was.
class TestChatPlacement : public QObject
{
    Q_OBJECT

private slots:
    void fit_data();
    void fit();
    void firstPlace_data();
    void firstPlace();
};

void TestChatPlacement::fit_data()
{
    QTest::addColumn<QRect>("intended");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");
    const QRect screen(0, 0, 1920, 1040); // a panel below
    const QRect second(1920, 0, 1280, 1024); // right of the first
    QTest::newRow("inside") << QRect(100, 500, 576, 66) << screen << QRect(100, 500, 576, 66);
    QTest::newRow("above the top")
        << QRect(672, -68, 576, 641) << screen << QRect(672, 0, 576, 641);
    QTest::newRow("below the bottom")
        << QRect(672, 1000, 576, 66) << screen << QRect(672, 1040 - 66, 576, 66);
    QTest::newRow("left of the left edge")
        << QRect(-84, 300, 660, 641) << screen << QRect(0, 300, 660, 641);
    QTest::newRow("beyond the right edge")
        << QRect(1500, 300, 576, 66) << screen << QRect(1920 - 576, 300, 576, 66);
    QTest::newRow("corner") << QRect(-10, -10, 576, 66) << screen << QRect(0, 0, 576, 66);
    QTest::newRow("taller than the screen: its top stays on it")
        << QRect(100, -100, 576, 1200) << screen << QRect(100, 0, 576, 1200);
    QTest::newRow("second screen, above its top")
        << QRect(2200, -300, 576, 641) << second << QRect(2200, 0, 576, 641);
    QTest::newRow("second screen, partly on the first")
        << QRect(1700, 400, 576, 66) << second << QRect(1920, 400, 576, 66);
    QTest::newRow("no screen") << QRect(-5, -5, 576, 66) << QRect() << QRect(-5, -5, 576, 66);
}

void TestChatPlacement::fit()
{
    QFETCH(QRect, intended);
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    QCOMPARE(ChatPlacement::fit(intended, available), expected);
}

void TestChatPlacement::firstPlace_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");
    // 1080 high: centred (507) the open chat would reach 68 above the top.
    QTest::newRow("1080 high") << QRect(0, 0, 1920, 1080) << QRect(672, 575, 576, 66);
    QTest::newRow("1440 high: centred") << QRect(0, 0, 2560, 1440) << QRect(992, 687, 576, 66);
    QTest::newRow("a top panel") << QRect(0, 32, 1920, 1048) << QRect(672, 32 + 575, 576, 66);
    QTest::newRow("too short: the bar at the bottom")
        << QRect(0, 0, 800, 600) << QRect(112, 534, 576, 66);
    QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QRect(2272, 575, 576, 66);
}

void TestChatPlacement::firstPlace()
{
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    const QRect place = ChatPlacement::firstPlace(available, QSize(576, 66), 641);
    QCOMPARE(place, expected);
    // The open chat fits above the bar wherever the screen is tall enough.
    if (available.height() >= 641)
        QVERIFY(available.contains(QRect(place.x(), place.bottom() - 640, 576, 641)));
}

QTEST_GUILESS_MAIN(TestChatPlacement)
#include "tst_chatplacement.moc"
