#include "platform/keyrepeatfilter.h"

#include <QtTest>

// One key event: press or release at an X server time.
struct KeyEvent
{
    bool press;
    quint32 time;
};

Q_DECLARE_METATYPE(QVector<KeyEvent>)

namespace {

KeyEvent down(quint32 time)
{
    return {true, time};
}

KeyEvent up(quint32 time)
{
    return {false, time};
}

} // namespace

class TestKeyRepeatFilter : public QObject
{
    Q_OBJECT

private slots:
    void presses_data();
    void presses();
};

void TestKeyRepeatFilter::presses_data()
{
    QTest::addColumn<QVector<KeyEvent>>("events");
    QTest::addColumn<int>("physicalPresses");

    QTest::newRow("one press") << QVector<KeyEvent> {down(100), up(180)} << 1;
    QTest::newRow("press and release in the same millisecond")
        << QVector<KeyEvent> {down(100), up(100)} << 1;
    QTest::newRow("detectable auto-repeat: presses only")
        << QVector<KeyEvent> {down(100), down(600), down(633), down(666), up(1100)} << 1;
    QTest::newRow("plain auto-repeat: release and press share a time")
        << QVector<KeyEvent> {down(100), up(600), down(600), up(633), down(633), up(1100)} << 1;
    QTest::newRow("two presses") << QVector<KeyEvent> {down(100), up(180), down(400), up(480)} << 2;
    QTest::newRow("two held presses")
        << QVector<KeyEvent> {down(100), up(600),    down(600), up(700),
                              down(900), down(1400), up(1500)}
        << 2;
    QTest::newRow("release without a press") << QVector<KeyEvent> {up(5)} << 0;
    QTest::newRow("time wraps around")
        << QVector<KeyEvent> {down(0xFFFFFFF0u), up(0xFFFFFFFFu), down(3), up(10)} << 2;
}

void TestKeyRepeatFilter::presses()
{
    QFETCH(QVector<KeyEvent>, events);
    QFETCH(int, physicalPresses);
    KeyRepeatFilter filter;
    int presses = 0;
    for (const KeyEvent& event : events) {
        if (!event.press)
            filter.release(event.time);
        else if (filter.press(event.time))
            ++presses;
    }
    QCOMPARE(presses, physicalPresses);
}

QTEST_GUILESS_MAIN(TestKeyRepeatFilter)
#include "tst_keyrepeatfilter.moc"
