#include "shell/traymenuplacement.h"

#include <QtTest>

namespace {

const QSize Menu(196, 88);
const QRect Screen(0, 0, 1920, 1040); // a bottom panel of 40 below
const QRect TopPanel(0, 32, 1920, 1048); // a panel of 32 at the top
const QRect Second(1920, 0, 1280, 984); // a second screen right of the first

} // namespace

class TestTrayMenuPlacement : public QObject
{
    Q_OBJECT

private slots:
    void place_data();
    void place();
    void keepsOpen_data();
    void keepsOpen();
};

void TestTrayMenuPlacement::place_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("middle: above, to the right") << QPoint(800, 600) << Screen << QPoint(800, 512);
    QTest::newRow("bottom right corner: above, to the left")
        << QPoint(1900, 1030) << Screen << QPoint(1704, 942);
    QTest::newRow("right edge exactly: to the left")
        << QPoint(1724, 500) << Screen << QPoint(1528, 412);
    QTest::newRow("one short of the right edge: to the right")
        << QPoint(1723, 500) << Screen << QPoint(1723, 412);
    QTest::newRow("bottom left corner") << QPoint(0, 1039) << Screen << QPoint(0, 951);
    QTest::newRow("left of the area: pulled in") << QPoint(-30, 500) << Screen << QPoint(0, 412);
    QTest::newRow("top edge: below the cursor") << QPoint(500, 10) << Screen << QPoint(500, 10);
    QTest::newRow("top left corner") << QPoint(0, 0) << Screen << QPoint(0, 0);
    QTest::newRow("top right corner") << QPoint(1919, 0) << Screen << QPoint(1723, 0);
    QTest::newRow("in a top panel: below it") << QPoint(1900, 12) << TopPanel << QPoint(1704, 32);
    QTest::newRow("just under a top panel") << QPoint(1000, 40) << TopPanel << QPoint(1000, 40);
    QTest::newRow("second screen, middle") << QPoint(2500, 500) << Second << QPoint(2500, 412);
    QTest::newRow("second screen, right edge") << QPoint(3190, 970) << Second << QPoint(2994, 882);
    QTest::newRow("second screen, left edge stays on it")
        << QPoint(1920, 300) << Second << QPoint(1920, 212);
    QTest::newRow("below the bottom: pulled up") << QPoint(300, 1070) << Screen << QPoint(300, 952);
}

void TestTrayMenuPlacement::place()
{
    QFETCH(QPoint, cursor);
    QFETCH(QRect, area);
    QFETCH(QPoint, expected);
    const QPoint topLeft = TrayMenuPlacement::place(cursor, Menu, area);
    QCOMPARE(topLeft, expected);
    QVERIFY2(area.contains(QRect(topLeft, Menu)), "the menu leaves the available area");
}

void TestTrayMenuPlacement::keepsOpen_data()
{
    QTest::addColumn<QRect>("menu");
    QTest::addColumn<QPoint>("opening");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<bool>("open");

    const QRect above(800, 512, 196, 88); // opened at (800, 600)
    QTest::newRow("at the opening point") << above << QPoint(800, 600) << QPoint(800, 600) << true;
    QTest::newRow("inside") << above << QPoint(800, 600) << QPoint(900, 550) << true;
    QTest::newRow("on the bottom edge") << above << QPoint(800, 600) << QPoint(950, 600) << true;
    QTest::newRow("right edge, one beyond the last column")
        << above << QPoint(800, 600) << QPoint(996, 550) << true;
    QTest::newRow("two beyond the right") << above << QPoint(800, 600) << QPoint(997, 550) << false;
    QTest::newRow("below the bottom edge")
        << above << QPoint(800, 600) << QPoint(900, 601) << false;
    QTest::newRow("left of it") << above << QPoint(800, 600) << QPoint(799, 550) << false;
    QTest::newRow("above it") << above << QPoint(800, 600) << QPoint(900, 511) << false;
    // Opened from a top panel and moved below it: the way from the icon down stays open.
    const QRect moved(1704, 32, 196, 88);
    QTest::newRow("still on the panel icon")
        << moved << QPoint(1900, 12) << QPoint(1900, 12) << true;
    QTest::newRow("between icon and menu") << moved << QPoint(1900, 12) << QPoint(1890, 25) << true;
    QTest::newRow("panel, far from the icon")
        << moved << QPoint(1900, 12) << QPoint(1500, 12) << false;
}

void TestTrayMenuPlacement::keepsOpen()
{
    QFETCH(QRect, menu);
    QFETCH(QPoint, opening);
    QFETCH(QPoint, cursor);
    QFETCH(bool, open);
    QCOMPARE(TrayMenuPlacement::keepsOpen(menu, opening, cursor), open);
}

QTEST_APPLESS_MAIN(TestTrayMenuPlacement)
#include "tst_traymenuplacement.moc"
