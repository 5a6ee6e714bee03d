// The simulated clipboard: one text that tests can read, set, and make
// unreachable.
#include "platform/clipboard.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_world.h"

using sim::detail::TheWorld;

namespace platform {

bool SetClipboardText(const std::u16string& text)
{
    if (!TheWorld().clipboardReachable) return false;
    TheWorld().clipboard = text;
    return true;
}

std::optional<std::u16string> GetClipboardText()
{
    if (!TheWorld().clipboardReachable) return std::nullopt;
    return TheWorld().clipboard;
}

}  // namespace platform

namespace sim {

std::optional<std::u16string> ClipboardText() { return detail::TheWorld().clipboard; }
void SetClipboardContent(std::optional<std::u16string> text) { detail::TheWorld().clipboard = std::move(text); }
void SetClipboardReachable(bool reachable) { detail::TheWorld().clipboardReachable = reachable; }

}  // namespace sim
