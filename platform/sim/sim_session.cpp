// The end of the program or a window from outside, in the simulation: a
// request to end the program (a signal, the desktop's quit) is carried out
// by the next loop that looks at the queue, and only once the program has
// named its session-end window, as on the desktop; the desktop's close
// request for a window is a system command sent to it.
#include "platform/sim/sim_world.h"

namespace sim::detail {

void CarryOutSessionEnd()
{
    World& world = TheWorld();
    if (!world.sessionEndRequested || world.sessionWindow == 0) return;
    world.sessionEndRequested = false;
    if (platform::IsLiveWindow(world.sessionWindow)) platform::DestroyAppWindow(world.sessionWindow);
}

}  // namespace sim::detail

namespace platform {

void SetSessionEndWindow(WindowHandle window) { sim::detail::TheWorld().sessionWindow = window; }

void RequestSessionEnd(SessionEnd) { sim::detail::TheWorld().sessionEndRequested = true; }

void DeliverCloseRequest(WindowHandle window) { SendWindowMessage(window, wm::SysCommand, sc::Close, 0); }

}  // namespace platform

namespace sim {

bool EndSession()
{
    platform::RequestSessionEnd(platform::SessionEnd::Terminate);
    platform::PumpMessages();
    const WindowHandle window = detail::TheWorld().sessionWindow;
    return window != 0 && !platform::IsLiveWindow(window);
}

}  // namespace sim
