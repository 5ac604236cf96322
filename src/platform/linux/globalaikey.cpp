#include "platform/globalaikey.h"

#include "core/logging.h"

#include <QCoreApplication>
#include <QDebug>
#include <QX11Info>

#include <xcb/xcb.h>
// The XKB protocol header names a struct member "explicit", a keyword in C++.
#define explicit xkbExplicit
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>

namespace {

// The lock keys change the modifier state of every key event, and a grab only matches the exact
// state it was made for; so the key is grabbed once per combination of Caps Lock, Num Lock
// (Mod2) and the two that some layouts use for Scroll Lock and AltGr (Mod3, Mod5).
QVector<quint16> lockCombinations()
{
    const quint16 locks[] = {XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2, XCB_MOD_MASK_3, XCB_MOD_MASK_5};
    QVector<quint16> combinations;
    for (int subset = 0; subset < 16; ++subset) {
        quint16 modifiers = 0;
        for (int bit = 0; bit < 4; ++bit) {
            if (subset & (1 << bit))
                modifiers |= locks[bit];
        }
        combinations.append(modifiers);
    }
    return combinations;
}

// Without it a held key arrives as release/press pairs; with it as presses only. The filter
// copes with both, this only makes the common case unambiguous.
void enableDetectableAutoRepeat(xcb_connection_t* connection)
{
    xcb_xkb_use_extension_reply_t* use = xcb_xkb_use_extension_reply(
        connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
        nullptr);
    const bool supported = use && use->supported;
    std::free(use);
    if (!supported)
        return;
    std::free(xcb_xkb_per_client_flags_reply(
        connection,
        xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD,
                                 XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                                 XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0),
        nullptr));
}

} // namespace

GlobalAiKey::GlobalAiKey(QObject* parent)
    : QObject(parent)
{ }

GlobalAiKey::~GlobalAiKey()
{
    stop();
}

bool GlobalAiKey::start()
{
    if (filtering)
        return isActive();
    if (!QX11Info::isPlatformX11() || !QX11Info::connection()) {
        qCInfo(lcPlatform)
            << "AI key: no X11 display, so no desktop-wide F20; the AI key comes from the "
               "device library only.";
        return false;
    }
    xcb_connection_t* connection = QX11Info::connection();
    const xcb_window_t root = QX11Info::appRootWindow();
    enableDetectableAutoRepeat(connection);
    QVector<quint16> refused;
    for (const quint16 modifiers : lockCombinations()) {
        xcb_generic_error_t* error =
            xcb_request_check(connection,
                              xcb_grab_key_checked(connection, 1, root, modifiers, AiKeyCode,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        if (error)
            refused.append(modifiers);
        else
            grabbedModifiers.append(modifiers);
        std::free(error);
    }
    // Installed even when the grab was refused: while one of our own windows has the focus the
    // key still arrives, and it must count the same way there.
    QCoreApplication::instance()->installNativeEventFilter(this);
    filtering = true;
    if (!refused.isEmpty()) {
        qCWarning(lcPlatform) << "AI key: another program holds F20 (X keycode" << AiKeyCode
                              << ") for" << refused.size()
                              << "of 16 lock-key states; the AI key comes from the device "
                                 "library only while such a state is on.";
        return false;
    }
    qCInfo(lcPlatform) << "AI key: F20 (X keycode" << AiKeyCode << ") grabbed on the desktop.";
    return true;
}

bool GlobalAiKey::isActive() const
{
    return !grabbedModifiers.isEmpty();
}

void GlobalAiKey::stop()
{
    if (filtering && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    filtering = false;
    if (grabbedModifiers.isEmpty() || !QX11Info::connection())
        return;
    xcb_connection_t* connection = QX11Info::connection();
    for (const quint16 modifiers : qAsConst(grabbedModifiers))
        xcb_ungrab_key(connection, AiKeyCode, QX11Info::appRootWindow(), modifiers);
    xcb_flush(connection);
    grabbedModifiers.clear();
}

bool GlobalAiKey::nativeEventFilter(const QByteArray& eventType, void* message, long* result)
{
    Q_UNUSED(result)
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const int type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto* key = static_cast<const xcb_key_press_event_t*>(message);
    if (key->detail != AiKeyCode)
        return false;
    if (type == XCB_KEY_RELEASE) {
        repeats.release(key->time);
    } else if (repeats.press(key->time)) {
        // The press is the user's latest action: a window activated for it carries its time,
        // which a window manager's focus-stealing prevention lets through. The grab keeps the
        // event from Qt, which would otherwise have taken its time itself.
        QX11Info::setAppTime(key->time);
        QX11Info::setAppUserTime(key->time);
        emit pressed();
    }
    return true;
}
