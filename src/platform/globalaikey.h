#pragma once

#include "platform/keyrepeatfilter.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QVector>

// The AI key from anywhere on the desktop where no raw keyboard input exists: on X11 the key
// that the keyboard sends for it (F20, X keycode 198 with the evdev keymap) is grabbed on the
// root window, so it reaches the program while another program has the focus. Holding the key
// gives one press. On Windows the chat window's raw keyboard input does this job and start()
// does nothing.
class GlobalAiKey : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // Keycode 198 is F20 on the evdev keymap that every current X server uses.
    static constexpr int AiKeyCode = 198;

    explicit GlobalAiKey(QObject* parent = nullptr);
    ~GlobalAiKey() override;

    // Grabs the key. False, said once in the log, when there is no X11 display (Wayland, a
    // headless platform) or another program already holds the key; the AI key then comes from
    // the device library only.
    bool start();
    bool isActive() const;

    bool nativeEventFilter(const QByteArray& eventType, void* message, long* result) override;

signals:
    void pressed();

private:
    void stop();

    KeyRepeatFilter repeats;
    QVector<quint16> grabbedModifiers;
    bool filtering = false;
};
