#include "platform/nativewindowevents.h"

#include "platform/win/rawinputrecord.h"

#include <QByteArray>

#include <windows.h>

#include <vector>

namespace {

// The raw-input record behind a WM_INPUT message, or an empty buffer when it cannot be read
// whole.
std::vector<BYTE> readRawInput(LPARAM lParam)
{
    const HRAWINPUT handle = reinterpret_cast<HRAWINPUT>(lParam);
    UINT size = 0;
    if (GetRawInputData(handle, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0
        || size < sizeof(RAWINPUTHEADER))
        return {};
    std::vector<BYTE> buffer(size, 0);
    if (GetRawInputData(handle, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER)) != size)
        return {};
    return buffer;
}

bool isAiKeyPress(LPARAM lParam, WindowsMessageDecoder::KeyState& state)
{
    const std::vector<BYTE> buffer = readRawInput(lParam);
    return RawInputRecord::isAiKeyPress(buffer.data(), buffer.size(), state);
}

} // namespace

NativeWindowEvents::Event NativeWindowEvents::decode(const QByteArray& eventType, void* message)
{
    if (eventType != "windows_generic_MSG" && eventType != "windows_dispatcher_MSG")
        return Event::None;
    const MSG* msg = static_cast<const MSG*>(message);
    switch (msg->message) {
    case WM_INPUT:
        return isAiKeyPress(msg->lParam, keyState) ? Event::AiKeyPressed : Event::None;
    case WM_SYSCOMMAND:
        return WindowsMessageDecoder::isMinimiseRestoreToggle(msg->wParam)
            ? Event::MinimiseRestoreToggle
            : Event::None;
    default:
        return Event::None;
    }
}
