// The simulated input method: an open flag per window, closed at first.
#include "platform/ime.h"
#include "platform/sim/sim_world.h"

namespace platform {

bool SetInputMethodOpen(WindowHandle window, bool open)
{
    if (!IsLiveWindow(window)) return false;
    sim::detail::TheWorld().inputMethodOpen[window] = open;
    return true;
}

bool IsInputMethodOpen(WindowHandle window)
{
    const auto& open = sim::detail::TheWorld().inputMethodOpen;
    auto it = open.find(window);
    return it != open.end() && it->second;
}

}  // namespace platform
