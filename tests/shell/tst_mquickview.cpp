#include "shell/mapplicationquickview.h"
#include "shell/mquickview.h"

#include <QCloseEvent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTimer>
#include <QtTest>

namespace {

constexpr int Radius = 8;
constexpr int ShadowWeight = 3;

QUrl testDocument(const char* name)
{
    return QUrl::fromLocalFile(QStringLiteral(SHELL_QML_DIR "/") + QLatin1String(name));
}

// A context property the test documents bind to.
class Holder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int n READ n WRITE setN NOTIFY nChanged)

public:
    int n() const { return value; }
    void setN(int n)
    {
        if (value == n)
            return;
        value = n;
        emit nChanged();
    }

signals:
    void nChanged();

private:
    int value = 1;
};

// Counts what reaches the overridable handlers.
class RecordingView : public MQuickView
{
public:
    RecordingView()
        : MQuickView(Radius, ShadowWeight)
    { }

    int closes = 0;
    int hides = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closes;
        MQuickView::closeEvent(event);
    }
    void hideEvent(QHideEvent* event) override
    {
        ++hides;
        MQuickView::hideEvent(event);
    }
};

} // namespace

class TestMQuickView : public QObject
{
    Q_OBJECT

private slots:
    void construction();
    void setterEmitsOnlyOnChange();
    void ownMinimiseRestores_data();
    void ownMinimiseRestores();
    void restoreHappensOnceAndOnlyAfterOwnMinimise();
    void closeOnlyHides();
    void hideReachesTheHandler();
    void hiddenViewStopsRendering();
    void bindingsSurviveTimerTicks();
    void sharedTimerStopsWithTheLastView();
    void applicationViewIsReachable();

private:
    static void showAndWait(QWindow& view);
    static void deliverStateChanges();
};

// The platform reports state changes asynchronously while QWindow::windowState() changes at
// once; the view acts on the platform's report, so let it arrive before looking.
void TestMQuickView::deliverStateChanges()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void TestMQuickView::showAndWait(QWindow& view)
{
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
}

void TestMQuickView::construction()
{
    MQuickView view(Radius, ShadowWeight);
    QCOMPARE(view.radius(), Radius);
    QCOMPARE(view.shadowWeight(), ShadowWeight);
    QCOMPARE(view.sysSkinType(), 0);
    QCOMPARE(view.configEngine(), nullptr);
    QVERIFY(view.engine()->importPathList().contains(QStringLiteral("qrc:/qt5")));
    QCOMPARE(MQuickView::sharedTimer()->interval(), 1000);
    QVERIFY(MQuickView::sharedTimer()->isActive());
}

void TestMQuickView::setterEmitsOnlyOnChange()
{
    MQuickView view(Radius, ShadowWeight);
    QSignalSpy radius(&view, &MQuickView::radiusChanged);
    QSignalSpy shadow(&view, &MQuickView::shadowWeightChanged);
    QSignalSpy skin(&view, &MQuickView::sysSkinTypeChanged);
    view.setRadius(Radius);
    view.setShadowWeight(ShadowWeight);
    view.setSysSkinType(0);
    QCOMPARE(radius.count() + shadow.count() + skin.count(), 0);
    view.setRadius(2);
    view.setShadowWeight(4);
    view.setSysSkinType(1);
    QCOMPARE(radius.count(), 1);
    QCOMPARE(shadow.count(), 1);
    QCOMPARE(skin.count(), 1);
    QCOMPARE(view.property("sysSkinType").toInt(), 1);
}

// The offscreen platform reports real window state changes, so these run the view's own
// state-change handling end to end.
void TestMQuickView::ownMinimiseRestores_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::newRow("normal") << false;
    QTest::newRow("maximised") << true;
}

void TestMQuickView::ownMinimiseRestores()
{
    QFETCH(bool, maximised);
    MQuickView view(Radius, ShadowWeight);
    const QRect normal(100, 200, 576, 66);
    view.setGeometry(normal);
    showAndWait(view);
    if (maximised) {
        view.showMaximized();
        QTRY_COMPARE(view.radius(), 0);
        QCOMPARE(view.shadowWeight(), 0);
    }

    view.showMinimized();
    deliverStateChanges();
    QCOMPARE(view.windowState(), Qt::WindowMinimized);
    view.showNormal();
    deliverStateChanges();

    if (maximised) {
        QTRY_COMPARE(view.windowState(), Qt::WindowMaximized);
        QTRY_COMPARE(view.radius(), 0);
        QCOMPARE(view.shadowWeight(), 0);
    } else {
        QTRY_COMPARE(view.geometry(), normal);
        QCOMPARE(view.windowState(), Qt::WindowNoState);
        QCOMPARE(view.radius(), Radius);
        QCOMPARE(view.shadowWeight(), ShadowWeight);
    }
}

void TestMQuickView::restoreHappensOnceAndOnlyAfterOwnMinimise()
{
    MQuickView view(Radius, ShadowWeight);
    const QRect first(100, 200, 576, 66);
    view.setGeometry(first);
    showAndWait(view);
    view.showMinimized();
    deliverStateChanges();
    view.showNormal();
    deliverStateChanges();
    QCOMPARE(view.geometry(), first);

    // A minimise that bypasses the view's own one must not bring back the old geometry.
    const QRect moved(300, 150, 576, 300);
    view.setGeometry(moved);
    view.QWindow::showMinimized();
    deliverStateChanges();
    QCOMPARE(view.windowState(), Qt::WindowMinimized);
    view.setRadius(1);
    view.showNormal();
    deliverStateChanges();
    QCOMPARE(view.windowState(), Qt::WindowNoState);
    QTRY_COMPARE(view.radius(), Radius); // the normal state still resets the frame
    QCOMPARE(view.geometry(), moved);
}

void TestMQuickView::closeOnlyHides()
{
    RecordingView view;
    view.setSource(testDocument("Spinning.qml"));
    showAndWait(view);
    QVERIFY(view.close());
    QCOMPARE(view.closes, 1);
    QTRY_VERIFY(!view.isVisible());
    QVERIFY(view.handle()); // the platform window lives on
    QVERIFY(view.rootObject());
    showAndWait(view);
}

void TestMQuickView::hideReachesTheHandler()
{
    RecordingView view;
    showAndWait(view);
    view.hide();
    QCOMPARE(view.hides, 1);
    QVERIFY(!view.isVisible());
}

void TestMQuickView::hiddenViewStopsRendering()
{
    RecordingView view;
    view.setSource(testDocument("Spinning.qml"));
    QSignalSpy frames(&view, &QQuickWindow::frameSwapped);
    showAndWait(view);
    QVERIFY(frames.count() > 0 || frames.wait(2000)); // the animation keeps rendering

    view.hide();
    QCoreApplication::processEvents();
    frames.clear();
    QVERIFY(!frames.wait(600));
}

// The engines are trimmed every second; that must not disturb a view that is shown.
void TestMQuickView::bindingsSurviveTimerTicks()
{
    Holder holder;
    MQuickView view(Radius, ShadowWeight);
    view.rootContext()->setContextProperty(QStringLiteral("holder"), &holder);
    view.setSource(testDocument("Bindings.qml"));
    QVERIFY2(view.status() == QQuickView::Ready, qPrintable(view.errors().value(0).toString()));
    showAndWait(view);
    QObject* root = view.rootObject();

    QSignalSpy ticks(MQuickView::sharedTimer(), &QTimer::timeout);
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 3, 6000);

    holder.setN(5);
    QCOMPARE(root->property("doubled").toInt(), 10);
    QCOMPARE(root->property("childValue").toInt(), 6);

    // A component compiled after the ticks must still be the same type as before.
    QMetaObject::invokeMethod(root, "loadChild");
    QTRY_COMPARE(root->property("loadedValue").toInt(), 6);
    QMetaObject::invokeMethod(root, "assignLoaded");
    QVERIFY(root->property("assignOk").toBool());

    holder.setN(7);
    QCOMPARE(root->property("doubled").toInt(), 14);
    QCOMPARE(root->property("loadedValue").toInt(), 8);
}

// The tray menu view comes and goes while the chat window stays: only the last view may stop
// the timer, and it must keep ticking for the views that remain.
void TestMQuickView::sharedTimerStopsWithTheLastView()
{
    const int before = MQuickView::viewCount();
    {
        MQuickView first(Radius, ShadowWeight);
        {
            auto* menu = new MQuickView(0, 10);
            QCOMPARE(MQuickView::viewCount(), before + 2);
            menu->deleteLater();
            QTRY_COMPARE(MQuickView::viewCount(), before + 1);
        }
        QVERIFY(MQuickView::sharedTimer()->isActive());
        QSignalSpy ticks(MQuickView::sharedTimer(), &QTimer::timeout);
        QVERIFY(ticks.wait(3000));
    }
    QCOMPARE(MQuickView::viewCount(), before);
    if (before == 0)
        QVERIFY(!MQuickView::sharedTimer()->isActive());
    MQuickView again(0, 10);
    QVERIFY(MQuickView::sharedTimer()->isActive());
}

void TestMQuickView::applicationViewIsReachable()
{
    {
        MApplicationQuickView view(0, 3);
        QCOMPARE(MApplicationQuickView::appView(), &view);
        QCOMPARE(MApplicationQuickView::appEngine(), view.engine());
        MQuickView other(0, 10); // a plain view does not take over
        QCOMPARE(MApplicationQuickView::appView(), &view);
    }
    QCOMPARE(MApplicationQuickView::appView(), nullptr);
    QCOMPARE(MApplicationQuickView::appEngine(), nullptr);
}

QTEST_MAIN(TestMQuickView)
#include "tst_mquickview.moc"
