// The system-wide hotkey: a key grab on the X11 root window for each
// registered (window, id), in every Caps Lock / Num Lock combination, so
// that the key works whichever lock is on. A press posts wm::Hotkey to the
// registering window. Without X11 no hotkey can be registered.
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <map>
#include <utility>

#include <xcb/xcb.h>

#include "platform/qt/qt_windows.h"
#include "platform/qt/qt_x11.h"
#include "platform/system.h"
#include "platform/window.h"

// Xlib last: its macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace platform::qt {
namespace {

struct Hotkey {
    std::uint32_t modifiers = 0;   // mod::
    std::uint32_t virtualKey = 0;
    xcb_keycode_t keycode = 0;
    std::uint16_t mask = 0;        // X modifier mask
};

std::map<std::pair<WindowHandle, int>, Hotkey>& Hotkeys()
{
    static std::map<std::pair<WindowHandle, int>, Hotkey> hotkeys;
    return hotkeys;
}

// The lock modifiers that must not change what the hotkey means.
constexpr std::uint16_t kIgnoredLocks[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                          XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

KeySym KeySymOf(std::uint32_t virtualKey)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return XK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9')
        return XK_0 + (virtualKey - '0');
    if (virtualKey >= vk::F1 && virtualKey < vk::F1 + 24)
        return XK_F1 + (virtualKey - vk::F1);
    switch (virtualKey) {
    case vk::Back: return XK_BackSpace;
    case vk::Tab: return XK_Tab;
    case vk::Return: return XK_Return;
    case vk::Escape: return XK_Escape;
    case vk::Space: return XK_space;
    case vk::Left: return XK_Left;
    case vk::Up: return XK_Up;
    case vk::Right: return XK_Right;
    case vk::Down: return XK_Down;
    case vk::Delete: return XK_Delete;
    default: return NoSymbol;
    }
}

std::uint16_t XMaskOf(std::uint32_t modifiers)
{
    std::uint16_t mask = 0;
    if (modifiers & mod::Alt)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & mod::Control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & mod::Shift)
        mask |= XCB_MOD_MASK_SHIFT;
    return mask;
}

void Ungrab(const Hotkey& hotkey)
{
    for (const std::uint16_t locks : kIgnoredLocks)
        xcb_ungrab_key(x11::Connection(), hotkey.keycode, x11::RootWindowId(), hotkey.mask | locks);
    xcb_flush(x11::Connection());
}

// Grabs every lock variant; a refusal (another client holds the key) undoes
// the ones already taken.
bool Grab(const Hotkey& hotkey)
{
    xcb_connection_t* connection = x11::Connection();
    for (const std::uint16_t locks : kIgnoredLocks) {
        const auto cookie = xcb_grab_key_checked(connection, 0, x11::RootWindowId(), hotkey.mask | locks,
                                                 hotkey.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            std::free(error);
            Ungrab(hotkey);
            return false;
        }
    }
    return true;
}

}  // namespace

namespace x11 {

bool HandleGrabbedKey(bool press, std::uint8_t keycode, std::uint16_t state)
{
    const std::uint16_t relevant = state & (XCB_MOD_MASK_1 | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT);
    for (const auto& [key, hotkey] : Hotkeys()) {
        if (hotkey.keycode != keycode || hotkey.mask != relevant)
            continue;
        if (press) {
            const LParam lParam = PackPoint(static_cast<std::int32_t>(hotkey.modifiers),
                                            static_cast<std::int32_t>(hotkey.virtualKey));
            PostWindowMessage(key.first, wm::Hotkey, static_cast<WParam>(key.second), lParam);
        }
        return true;
    }
    return false;
}

}  // namespace x11
}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

// A hotkey needs a modifier and a key, and one combination serves one
// registration, also among the program's own windows.
bool RegisterSystemHotkey(WindowHandle window, int id, std::uint32_t modifiers, std::uint32_t virtualKey)
{
    if (!x11::Available() || !IsLiveWindow(window) || modifiers == 0 || virtualKey == 0 ||
        Hotkeys().count({window, id}))
        return false;
    for (const auto& [key, hotkey] : Hotkeys()) {
        if (hotkey.modifiers == modifiers && hotkey.virtualKey == virtualKey)
            return false;
    }
    auto* native = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const KeySym symbol = KeySymOf(virtualKey);
    if (!native || symbol == NoSymbol)
        return false;
    Hotkey hotkey{modifiers, virtualKey, XKeysymToKeycode(native->display(), symbol), XMaskOf(modifiers)};
    if (hotkey.keycode == 0 || !Grab(hotkey))
        return false;
    Hotkeys()[{window, id}] = hotkey;
    return true;
}

bool UnregisterSystemHotkey(WindowHandle window, int id)
{
    const auto it = Hotkeys().find({window, id});
    if (it == Hotkeys().end())
        return false;
    if (x11::Available())
        Ungrab(it->second);
    Hotkeys().erase(it);
    return true;
}

}  // namespace platform

namespace platform::qt {

// A window's hotkeys end with it.
void ForgetHotkeys(WindowHandle window)
{
    for (auto it = Hotkeys().begin(); it != Hotkeys().end();) {
        if (it->first.first == window) {
            if (x11::Available())
                Ungrab(it->second);
            it = Hotkeys().erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace platform::qt
