#include "app/scalerule.h"
#include "platform/screenmetrics.h"

#include <QtTest>

class TestScaleRule : public QObject
{
    Q_OBJECT

private slots:
    void scaleFor_data();
    void scaleFor();
};

void TestScaleRule::scaleFor_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<double>("expected");

    QTest::newRow("1920x1080 at 96 dpi") << 1920 << 1080 << 1.0 << 1.0;
    QTest::newRow("1920x1080 at 120 dpi") << 1920 << 1080 << 1.25 << 1.08;
    QTest::newRow("3840x2160 at 144 dpi") << 3840 << 2160 << 1.5 << 1.5;
    QTest::newRow("area fits exactly") << 1540 << 1000 << 1.0 << 1.0;
    QTest::newRow("narrow screen shrinks by width") << 1366 << 1200 << 1.0 << 1366 / 1540.0;
    QTest::newRow("low screen shrinks by height") << 1366 << 768 << 1.0 << 0.768;
    QTest::newRow("both too small, width decides") << 800 << 600 << 1.0 << 800 / 1540.0;
    QTest::newRow("dpi ratio below 1 that fits") << 1920 << 1080 << 0.75 << 0.75;
    QTest::newRow("ratio read in single precision") << 3840 << 2160 << 1.1 << double(1.1f);
    QTest::newRow("unknown screen") << 0 << 0 << 1.0 << 0.0;
}

void TestScaleRule::scaleFor()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, dpi);
    QFETCH(double, expected);
    const double scale = ScaleRule::scaleFor(ScreenMetrics::make(width, height, dpi));
    QCOMPARE(scale, expected);
}

QTEST_GUILESS_MAIN(TestScaleRule)
#include "tst_scalerule.moc"
