#include "support/testenvironment.h"

#include "shell/viewhandler.h"

#include <QMouseEvent>
#include <QQuickItem>
#include <QtTest>

#include <memory>

namespace {

// A mouse event as the window system delivers it: the window-local position follows the
// window, the screen position is where the mouse really is.
void sendMouse(QWindow* window, QEvent::Type type, const QPoint& onScreen, Qt::MouseButtons buttons)
{
    const QPointF local = window->mapFromGlobal(onScreen);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, local, QPointF(onScreen), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &event);
}

// Presses at a window-local point, moves the mouse by delta in small steps and lets go.
void dragBy(QWindow* window, const QPoint& from, const QPoint& delta)
{
    const QPoint start = window->mapToGlobal(from);
    sendMouse(window, QEvent::MouseButtonPress, start, Qt::LeftButton);
    constexpr int Steps = 10;
    for (int step = 1; step <= Steps; ++step)
        sendMouse(window, QEvent::MouseMove, start + delta * step / Steps, Qt::LeftButton);
    sendMouse(window, QEvent::MouseButtonRelease, start + delta, Qt::NoButton);
}

void click(QWindow* window, const QPoint& at)
{
    const QPoint onScreen = window->mapToGlobal(at);
    sendMouse(window, QEvent::MouseButtonPress, onScreen, Qt::LeftButton);
    sendMouse(window, QEvent::MouseButtonRelease, onScreen, Qt::NoButton);
}

} // namespace

class TestChatWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dragByZones_data();
    void dragByZones();
    void maximisedWindowNeverMoves();
    void zoneLostDuringDragStopsIt();
    void dragFromTopRowButtonDoesNotClick();
    void moveKeepsRememberedSize();
    void barComesBackAfterThePanelNearTheTop();
    void aiRequestTakesTheFocus();
    void focusOutMinimisesUnlessPinned_data();
    void focusOutMinimisesUnlessPinned();
    void hiddenWindowStaysHiddenWhenFocusLeaves();

private:
    std::unique_ptr<ViewHandler> makeShownHandler(const QRect& geometry);

    std::unique_ptr<TestEnvironment> env;
};

// The chat window asks the maker's service for its provider list at start; here that request
// goes to a loopback port nothing listens on.
void TestChatWindow::initTestCase()
{
    qputenv("LUMORA_SERVICE_URL", "http://127.0.0.1:9");
    qputenv("LUMORA_ENGINE_URL", "http://127.0.0.1:9");
}

void TestChatWindow::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
}

void TestChatWindow::cleanup()
{
    env.reset();
}

std::unique_ptr<ViewHandler> TestChatWindow::makeShownHandler(const QRect& geometry)
{
    auto handler = std::make_unique<ViewHandler>();
    handler->setXandY(geometry.x(), geometry.y(), geometry.width(), geometry.height());
    handler->show();
    if (!QTest::qWaitForWindowExposed(handler.get()))
        return nullptr;
    return handler;
}

void TestChatWindow::dragByZones_data()
{
    QTest::addColumn<bool>("dialog");
    QTest::addColumn<bool>("history");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<bool>("moves");

    const QSize bar(576, 66);
    const QSize chat(576, 641);
    const QSize withHistory(660, 641);
    QTest::newRow("bar: icon") << false << false << bar << QPoint(10, 30) << true;
    QTest::newRow("bar: input box") << false << false << bar << QPoint(60, 30) << false;
    QTest::newRow("chat: top row") << true << false << chat << QPoint(300, 20) << true;
    QTest::newRow("chat: icon") << true << false << chat << QPoint(20, 610) << true;
    QTest::newRow("chat: message list") << true << false << chat << QPoint(300, 300) << false;
    QTest::newRow("history: icon") << false << true << withHistory << QPoint(90, 610) << true;
    QTest::newRow("history: the icon's old place")
        << false << true << withHistory << QPoint(20, 610) << false;
}

void TestChatWindow::dragByZones()
{
    QFETCH(bool, dialog);
    QFETCH(bool, history);
    QFETCH(QSize, size);
    QFETCH(QPoint, from);
    QFETCH(bool, moves);
    const auto handler = makeShownHandler(QRect(QPoint(400, 200), size));
    QVERIFY(handler);
    handler->setDialog(dialog);
    handler->setHistory(history);
    const QPoint before = handler->position();
    const QPoint delta(57, 33);

    dragBy(handler.get(), from, delta);

    QCOMPARE(handler->position(), moves ? before + delta : before);
    QVERIFY(!handler->windowDrag().isDragging());
    // The window system's own idea of the place follows (no size change on the way).
    if (moves)
        QTRY_COMPARE(handler->geometry(), QRect(before + delta, size));
}

void TestChatWindow::maximisedWindowNeverMoves()
{
    const auto handler = makeShownHandler(QRect(400, 200, 576, 66));
    QVERIFY(handler);
    handler->setWindowState(Qt::WindowMaximized);
    const QPoint before = handler->position();
    dragBy(handler.get(), QPoint(10, 30), QPoint(80, 40));
    QCOMPARE(handler->position(), before);
}

// The chat panel opening under a held press takes the collapsed icon's zone away.
void TestChatWindow::zoneLostDuringDragStopsIt()
{
    const auto handler = makeShownHandler(QRect(400, 200, 576, 66));
    QVERIFY(handler);
    const QPoint start = handler->mapToGlobal(QPoint(10, 30));
    sendMouse(handler.get(), QEvent::MouseButtonPress, start, Qt::LeftButton);
    QVERIFY(handler->windowDrag().isDragging());
    handler->setDialog(true);
    sendMouse(handler.get(), QEvent::MouseMove, start + QPoint(50, 50), Qt::LeftButton);
    QVERIFY(!handler->windowDrag().isDragging());
    QCOMPARE(handler->position(), QPoint(400, 200));
    sendMouse(handler.get(), QEvent::MouseButtonRelease, start + QPoint(50, 50), Qt::NoButton);
}

// The top row is a drag zone and holds buttons: a click still clicks, a drag only drags.
void TestChatWindow::dragFromTopRowButtonDoesNotClick()
{
    const auto handler = makeShownHandler(QRect(400, 200, 576, 641));
    QVERIFY(handler);
    handler->setDialog(true);
    handler->setSource(QUrl::fromLocalFile(QStringLiteral(SHELL_QML_DIR "/TopRowButton.qml")));
    QQuickItem* root = handler->rootObject();
    QVERIFY(root);
    const QPoint onButton(80, 20);

    click(handler.get(), onButton);
    QCOMPARE(root->property("clicks").toInt(), 1);
    QCOMPARE(handler->position(), QPoint(400, 200));

    dragBy(handler.get(), onButton, QPoint(60, 40));
    QCOMPARE(handler->position(), QPoint(460, 240));
    QCOMPARE(root->property("clicks").toInt(), 1);
    QCOMPARE(root->property("cancels").toInt(), 1);

    // A hand that shakes a little while clicking still clicks.
    const QPoint at = handler->mapToGlobal(onButton);
    sendMouse(handler.get(), QEvent::MouseButtonPress, at, Qt::LeftButton);
    sendMouse(handler.get(), QEvent::MouseMove, at + QPoint(1, 1), Qt::LeftButton);
    sendMouse(handler.get(), QEvent::MouseButtonRelease, at + QPoint(1, 1), Qt::NoButton);
    QCOMPARE(root->property("clicks").toInt(), 2);
    QCOMPARE(handler->position(), QPoint(460, 240));
}

void TestChatWindow::moveKeepsRememberedSize()
{
    const auto handler = makeShownHandler(QRect(400, 200, 576, 66));
    QVERIFY(handler);
    handler->setXandY(100, -20, 576, 300);
    QTRY_COMPARE(handler->geometry(), QRect(100, 0, 576, 300));
    handler->setPosition(300, 250);
    QTRY_COMPARE(handler->geometry(), QRect(300, 250, 576, 300));
    dragBy(handler.get(), QPoint(10, 30), QPoint(-20, 10));
    QTRY_COMPARE(handler->geometry(), QRect(280, 260, 576, 300));
}

// The views move the window from its place; near the top edge the open chat is kept on the
// screen, and the bar comes back to its place when the panel closes.
void TestChatWindow::barComesBackAfterThePanelNearTheTop()
{
    const auto handler = makeShownHandler(QRect(400, 30, 576, 66));
    QVERIFY(handler);
    const int added = 641 - 66;
    handler->setXandY(handler->placeX(), handler->placeY() - added, 576, 641);
    QTRY_COMPARE(handler->geometry(), QRect(400, 0, 576, 641));
    QCOMPARE(handler->placeY(), 30 - added);
    handler->setXandY(handler->placeX(), handler->placeY() + added, 576, 66);
    QTRY_COMPARE(handler->geometry(), QRect(400, 30, 576, 66));
    // A drag gives the window a new place.
    handler->setPosition(500, 300);
    QTRY_COMPARE(handler->placeY(), 300);
    QCOMPARE(handler->placeX(), 500);
}

// Without a window manager nobody else gives the window the focus: the AI key must, so the
// user can type at once.
void TestChatWindow::aiRequestTakesTheFocus()
{
    QWindow other;
    other.setGeometry(50, 50, 200, 100);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    other.requestActivate();
    QTRY_VERIFY(other.isActive());
    Q_INIT_RESOURCE(qml);
    ViewHandler handler;
    handler.setSource(QUrl(QStringLiteral("qrc:/MainView.qml")));
    QCOMPARE(handler.status(), QQuickView::Ready);
    handler.slotAiRequest(QStringLiteral("SN-FOCUS"));
    QTRY_VERIFY(handler.isActive());
    QVERIFY(!other.isActive());
    // The input (InputBar.qml) is what has the keyboard focus in the window.
    QTRY_VERIFY(handler.activeFocusItem()
                && handler.activeFocusItem()->objectName() == QLatin1String("input"));
}

void TestChatWindow::focusOutMinimisesUnlessPinned_data()
{
    QTest::addColumn<bool>("pinned");
    QTest::newRow("unpinned") << false;
    QTest::newRow("pinned") << true;
}

void TestChatWindow::focusOutMinimisesUnlessPinned()
{
    QFETCH(bool, pinned);
    const QRect place(400, 200, 576, 66);
    const auto handler = makeShownHandler(place);
    QVERIFY(handler);
    handler->setTopScreen(pinned);
    handler->requestActivate();
    QTRY_VERIFY(handler->isActive());

    QWindow other;
    other.setGeometry(50, 50, 200, 120);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    other.requestActivate();
    // The focus-out reaches the chat window in the same step that activates the other one.
    QTRY_VERIFY(other.isActive());

    QVERIFY(handler->isVisible());
    QCOMPARE(bool(handler->windowStates() & Qt::WindowMinimized), !pinned);

    // Back to the chat window: it comes back normally, where it was.
    handler->requestActivate();
    QTRY_VERIFY(handler->isActive());
    QCOMPARE(handler->windowStates(), Qt::WindowStates(Qt::WindowNoState));
    QTRY_COMPARE(handler->geometry(), place);
}

// Hiding also takes the focus away; minimising would show the window again.
void TestChatWindow::hiddenWindowStaysHiddenWhenFocusLeaves()
{
    const auto handler = makeShownHandler(QRect(400, 200, 576, 66));
    QVERIFY(handler);
    handler->requestActivate();
    QTRY_VERIFY(handler->isActive());
    handler->hide();
    QTRY_VERIFY(!handler->isActive());
    QCoreApplication::processEvents();
    QVERIFY(!handler->isVisible());
    QCOMPARE(handler->visibility(), QWindow::Hidden);
}

QTEST_MAIN(TestChatWindow)
#include "tst_chatwindow.moc"
