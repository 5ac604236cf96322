#include "shell/dragzones.h"

#include <QtTest>

class TestDragZones : public QObject
{
    Q_OBJECT

private slots:
    void contains_data();
    void contains();
};

void TestDragZones::contains_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("dialog");
    QTest::addColumn<bool>("history");
    QTest::addColumn<bool>("inZone");

    // The collapsed bar: only the round icon.
    QTest::newRow("bar: icon") << QPoint(10, 30) << 576 << false << false << true;
    QTest::newRow("bar: input box") << QPoint(60, 30) << 576 << false << false << false;
    QTest::newRow("bar: icon top-left corner") << QPoint(0, 24) << 576 << false << false << true;
    QTest::newRow("bar: icon bottom-right corner")
        << QPoint(46, 75) << 576 << false << false << true;
    QTest::newRow("bar: right of the icon") << QPoint(47, 30) << 576 << false << false << false;
    QTest::newRow("bar: above the icon") << QPoint(10, 23) << 576 << false << false << false;
    QTest::newRow("bar: below the icon") << QPoint(10, 76) << 576 << false << false << false;
    QTest::newRow("bar: no top row yet") << QPoint(100, 10) << 576 << false << false << false;

    // The chat panel open: its top row and the icon under it.
    QTest::newRow("chat: top row") << QPoint(100, 10) << 576 << true << false << true;
    QTest::newRow("chat: top row start") << QPoint(50, 0) << 576 << true << false << true;
    QTest::newRow("chat: top row end") << QPoint(576, 38) << 576 << true << false << true;
    QTest::newRow("chat: left of the top row") << QPoint(49, 10) << 576 << true << false << false;
    QTest::newRow("chat: below the top row") << QPoint(100, 39) << 576 << true << false << false;
    QTest::newRow("chat: beyond the width") << QPoint(577, 10) << 576 << true << false << false;
    QTest::newRow("chat: icon") << QPoint(20, 610) << 576 << true << false << true;
    QTest::newRow("chat: icon corners") << QPoint(42, 644) << 576 << true << false << true;
    QTest::newRow("chat: right of the icon") << QPoint(43, 610) << 576 << true << false << false;
    QTest::newRow("chat: message list") << QPoint(300, 300) << 576 << true << false << false;
    QTest::newRow("chat: collapsed icon place") << QPoint(10, 30) << 576 << true << false << false;

    // The history panel open (the chat panel's flag is off then): the icon moved right by 84.
    QTest::newRow("history: old icon place") << QPoint(20, 610) << 660 << false << true << false;
    QTest::newRow("history: icon") << QPoint(90, 610) << 660 << false << true << true;
    QTest::newRow("history: icon edges") << QPoint(126, 644) << 660 << false << true << true;
    QTest::newRow("history: top row") << QPoint(600, 20) << 660 << false << true << true;
    QTest::newRow("history: top row end") << QPoint(660, 38) << 660 << false << true << true;
    QTest::newRow("history: list") << QPoint(30, 20) << 660 << false << true << false;
}

void TestDragZones::contains()
{
    QFETCH(QPoint, point);
    QFETCH(int, width);
    QFETCH(bool, dialog);
    QFETCH(bool, history);
    QFETCH(bool, inZone);
    QCOMPARE(DragZones::contains(point, {width, dialog, history}), inZone);
}

QTEST_GUILESS_MAIN(TestDragZones)
#include "tst_dragzones.moc"
