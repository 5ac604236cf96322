#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class DeviceListManager;
class GlobalAiKey;

// The AI key as the desktop sees it: the raw keyboard input of the chat window (Windows) or
// the key grabbed on the desktop (X11). Such a press names no keyboard, so the serial is that
// of the keyboard the device list knows as the AI keyboard; without one the press is dropped.
// Presses that the device library reports with their serial do not pass here.
class AiKeyEntry : public QObject
{
    Q_OBJECT

public:
    explicit AiKeyEntry(DeviceListManager* devices, QObject* parent = nullptr);
    ~AiKeyEntry() override;

    // Starts listening to the desktop (the X11 grab; on Windows the raw input does it).
    void start();
    GlobalAiKey* globalAiKey() const;

    // A desktop press of the AI key, from the grab or the chat window's raw input.
    void onDesktopPress();

signals:
    // The AI keyboard's serial for a desktop press.
    void requested(QString sn);

private:
    std::optional<QString> aiKeyboardSerial() const;

    QPointer<DeviceListManager> devices;
    GlobalAiKey* aiKey;
};
