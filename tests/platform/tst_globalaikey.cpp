#include "platform/globalaikey.h"

#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

bool xdotool(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

// Counts what the X server really sends for the key, repeats included.
class KeyEventCounter : public QAbstractNativeEventFilter
{
public:
    int presses = 0;

    bool nativeEventFilter(const QByteArray& eventType, void* message, long*) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_key_press_event_t*>(message);
        if ((event->response_type & ~0x80) == XCB_KEY_PRESS
            && event->detail == GlobalAiKey::AiKeyCode)
            ++presses;
        return false;
    }
};

// Another program on the same display that holds F20 (no lock keys on).
class OtherGrabber
{
public:
    OtherGrabber()
        : connection(xcb_connect(nullptr, nullptr))
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        grabbed = !xcb_connection_has_error(connection);
        xcb_generic_error_t* error =
            xcb_request_check(connection,
                              xcb_grab_key_checked(connection, 1, root, 0, GlobalAiKey::AiKeyCode,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        grabbed = grabbed && !error;
        std::free(error);
    }
    ~OtherGrabber() { xcb_disconnect(connection); }

    bool grabbed = false;

private:
    xcb_connection_t* connection;
};

} // namespace

class TestGlobalAiKey : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void withoutX11();
    void onePressPerKeyStroke();
    void holdingTheKeyIsOnePress();
    void lockKeysDoNotHideTheKey_data();
    void lockKeysDoNotHideTheKey();
    void keyHeldByAnotherProgram();

private:
    static bool onX11();
};

bool TestGlobalAiKey::onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

void TestGlobalAiKey::init()
{
    const bool x11Test = QByteArray(QTest::currentTestFunction()) != "withoutX11";
    if (x11Test && !onX11())
        QSKIP("needs an X server (runs as tst_globalaikey under Xvfb)");
    if (!x11Test && onX11())
        QSKIP("runs on the headless platform (tst_globalaikey_headless)");
}

void TestGlobalAiKey::withoutX11()
{
    GlobalAiKey key;
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("no X11 display")));
    QVERIFY(!key.start());
    QVERIFY(!key.isActive());
}

// The second stroke is the marker: X delivers in order, so once it arrives every event of
// the first one has been seen.
void TestGlobalAiKey::onePressPerKeyStroke()
{
    GlobalAiKey key;
    QVERIFY(key.start());
    QVERIFY(key.isActive());
    QSignalSpy pressed(&key, &GlobalAiKey::pressed);

    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("198")}));
    QTRY_COMPARE(pressed.count(), 1);
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("198")}));
    QTRY_COMPARE(pressed.count(), 2);
    QCoreApplication::processEvents();
    QCOMPARE(pressed.count(), 2);
}

// A held key repeats; whatever the server sends while it is down, the press counts once.
void TestGlobalAiKey::holdingTheKeyIsOnePress()
{
    GlobalAiKey key;
    QVERIFY(key.start());
    KeyEventCounter counter;
    QCoreApplication::instance()->installNativeEventFilter(&counter);
    QSignalSpy pressed(&key, &GlobalAiKey::pressed);

    QElapsedTimer held;
    QVERIFY(xdotool({QStringLiteral("keydown"), QStringLiteral("198")}));
    held.start();
    QTRY_COMPARE(pressed.count(), 1);
    // A hold is a matter of time: keep the key down for a second, handling events meanwhile.
    while (held.elapsed() < 1000)
        QTest::qWait(int(qMax<qint64>(1, 1000 - held.elapsed())));
    QVERIFY(xdotool({QStringLiteral("keyup"), QStringLiteral("198")}));
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("198")}));
    QTRY_COMPARE(pressed.count(), 2);
    QCoreApplication::processEvents();
    QCOMPARE(pressed.count(), 2);
    qInfo() << "key press events seen while held:" << counter.presses - 1;
    if (counter.presses <= 2)
        qWarning() << "the X server did not repeat the held key; the hold proves less here";
    QCoreApplication::instance()->removeNativeEventFilter(&counter);
}

void TestGlobalAiKey::lockKeysDoNotHideTheKey_data()
{
    QTest::addColumn<QStringList>("locks");
    QTest::newRow("Caps Lock") << QStringList {QStringLiteral("Caps_Lock")};
    QTest::newRow("Num Lock") << QStringList {QStringLiteral("Num_Lock")};
    QTest::newRow("both") << QStringList {QStringLiteral("Caps_Lock"), QStringLiteral("Num_Lock")};
}

// A grab matches one exact modifier state; with a lock key on, the key must still arrive.
void TestGlobalAiKey::lockKeysDoNotHideTheKey()
{
    QFETCH(QStringList, locks);
    GlobalAiKey key;
    QVERIFY(key.start());
    QSignalSpy pressed(&key, &GlobalAiKey::pressed);
    for (const QString& lock : locks)
        QVERIFY(xdotool({QStringLiteral("key"), lock}));
    const bool sent = xdotool({QStringLiteral("key"), QStringLiteral("198")});
    for (const QString& lock : locks)
        QVERIFY(xdotool({QStringLiteral("key"), lock})); // off again for the next test
    QVERIFY(sent);
    QTRY_COMPARE(pressed.count(), 1);
}

void TestGlobalAiKey::keyHeldByAnotherProgram()
{
    OtherGrabber other;
    QVERIFY(other.grabbed);
    GlobalAiKey key;
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("another program holds F20")));
    QVERIFY(!key.start());
}

QTEST_MAIN(TestGlobalAiKey)
#include "tst_globalaikey.moc"
