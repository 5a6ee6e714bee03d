// Input on the simulated desktop: mouse presses, moves, releases and double
// clicks become pointer messages for the captured window or the one under
// the mouse, with the key-state flags the real desktop would give them; key
// presses become key messages for the window they are aimed at.
#include "platform/shared/key_input.h"
#include "platform/sim/sim_world.h"

namespace {

using platform::Point;
using platform::Rect;
using platform::WindowHandle;
using sim::detail::TheWorld;
namespace mk = platform::mk;

std::uint32_t HeldFlags()
{
    std::uint32_t flags = TheWorld().leftButtonDown ? mk::LeftButton : 0;
    if (platform::IsKeyHeld(platform::vk::Shift)) flags |= mk::Shift;
    if (platform::IsKeyHeld(platform::vk::Control)) flags |= mk::Control;
    return flags;
}

// The shown child of the window under the client point, or the window.
WindowHandle WindowUnder(WindowHandle window, Point client)
{
    for (WindowHandle child : sim::detail::ChildrenOf(window)) {
        const sim::detail::SimWindow* w = sim::detail::FindWindow(child);
        const Rect r = w->bounds;
        if (w->shown && client.x >= r.left && client.x < r.right && client.y >= r.top && client.y < r.bottom)
            return child;
    }
    return window;
}

void SendPointer(WindowHandle window, std::uint32_t message, Point client)
{
    const WindowHandle capture = TheWorld().capture;
    const WindowHandle target = capture != 0 ? capture : WindowUnder(window, client);
    const Rect from = platform::GetWindowBounds(window);
    const Rect to = platform::GetWindowBounds(target);
    const Point at{client.x + from.left - to.left, client.y + from.top - to.top};
    TheWorld().pointer = Point{client.x + from.left, client.y + from.top};
    platform::SendWindowMessage(target, message, HeldFlags(), platform::PackPoint(at.x, at.y));
}

void ActivateForClick(WindowHandle window)
{
    window = sim::detail::TopLevelOf(window);
    if (TheWorld().capture == 0 && sim::detail::IsMapped(window) && TheWorld().active != window)
        sim::detail::Activate(window, platform::wa::ClickActive);
}

}  // namespace

namespace sim {

void MovePointerTo(Point screen) { TheWorld().pointer = screen; }

void PointerDown(WindowHandle window, Point client)
{
    ActivateForClick(window);
    TheWorld().leftButtonDown = true;
    SendPointer(window, platform::wm::LeftButtonDown, client);
}

void PointerMove(WindowHandle window, Point client) { SendPointer(window, platform::wm::MouseMove, client); }

void PointerUp(WindowHandle window, Point client)
{
    TheWorld().leftButtonDown = false;
    SendPointer(window, platform::wm::LeftButtonUp, client);
}

void DoubleClick(WindowHandle window, Point client)
{
    TheWorld().leftButtonDown = true;
    SendPointer(window, platform::wm::LeftButtonDoubleClick, client);
}


void PressKey(WindowHandle window, std::uint32_t virtualKey)
{
    namespace wm = platform::wm;
    namespace vk = platform::vk;
    using platform::IsKeyHeld;
    const bool system = platform::shared::IsSystemKeyStroke(virtualKey, IsKeyHeld(vk::Alt), IsKeyHeld(vk::Control));
    const platform::LParam lParam = platform::shared::KeyMessageLParam(system);
    platform::SendWindowMessage(window, system ? wm::SysKeyDown : wm::KeyDown, virtualKey, lParam);
    const char16_t typed =
        platform::shared::TypedCharacter(virtualKey, IsKeyHeld(vk::Shift), IsKeyHeld(vk::Control));
    if (typed != 0 && platform::IsLiveWindow(window))
        platform::SendWindowMessage(window, system ? wm::SysChar : wm::Char, typed, lParam);
    if (platform::IsLiveWindow(window))
        platform::SendWindowMessage(window, system ? wm::SysKeyUp : wm::KeyUp, virtualKey, lParam);
}

// The key that types a character on the keyboard the sim forms its keys
// from (a US keyboard), and whether Shift is held for it; false for a
// character that no key types.
bool KeyOfCharacter(char16_t c, std::uint32_t& virtualKey, bool& shift)
{
    shift = false;
    if (c == u'\t') virtualKey = platform::vk::Tab;
    else if (c == u'\n') virtualKey = platform::vk::Return;
    else return platform::shared::KeyOfCharacter(c, virtualKey, shift);
    return true;
}

bool TypeText(WindowHandle window, std::u16string_view text)
{
    const auto& held = TheWorld().heldKeys;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A line break is one Return, however the text writes it.
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
        const char16_t c = text[i] == u'\r' ? u'\n' : text[i];
        std::uint32_t key = 0;
        bool shift = false;
        if (!KeyOfCharacter(c, key, shift) || !platform::IsLiveWindow(window)) return false;
        const bool wasShift = held.contains(platform::vk::Shift);
        SetKeyHeld(platform::vk::Shift, shift);
        PressKey(window, key);
        SetKeyHeld(platform::vk::Shift, wasShift);
    }
    return true;
}

}  // namespace sim

namespace platform {

Point GetPointerPosition() { return TheWorld().pointer; }

namespace {

// Runs the input with the modifier keys held, then lets them go again.
template <typename Input>
void WithModifiersHeld(std::uint32_t modifiers, Input input)
{
    auto& held = TheWorld().heldKeys;
    const auto before = held;
    if (modifiers & mod::Alt) held.insert(vk::Alt);
    if (modifiers & mod::Control) held.insert(vk::Control);
    if (modifiers & mod::Shift) held.insert(vk::Shift);
    input();
    TheWorld().heldKeys = before;
}

}  // namespace

void DeliverKeyStroke(WindowHandle window, std::uint32_t virtualKey, std::uint32_t modifiers)
{
    WithModifiersHeld(modifiers, [&] { sim::PressKey(window, virtualKey); });
}

void DeliverMouse(WindowHandle window, MouseAction action, Point client, std::uint32_t modifiers)
{
    WithModifiersHeld(modifiers, [&] {
        switch (action) {
        case MouseAction::Press: sim::PointerDown(window, client); break;
        case MouseAction::Move: sim::PointerMove(window, client); break;
        case MouseAction::Release: sim::PointerUp(window, client); break;
        case MouseAction::DoubleClick:
            sim::PointerDown(window, client);
            sim::PointerUp(window, client);
            sim::DoubleClick(window, client);
            break;
        }
    });
}

// The desktop's close (its close button, Alt+F4): a system command.
void DeliverCloseRequest(WindowHandle window) { SendWindowMessage(window, wm::SysCommand, sc::Close, 0); }

}  // namespace platform
