// The end of the user's session in the simulation: sim::EndSession destroys
// the window the program named for it, as a signal would on the desktop.
#include "platform/sim/sim.h"
#include "platform/window.h"

namespace {
platform::WindowHandle sessionWindow = 0;
}

namespace platform {

void SetSessionEndWindow(WindowHandle window) { sessionWindow = window; }

}  // namespace platform

namespace sim {

bool EndSession()
{
    if (sessionWindow == 0 || !platform::IsLiveWindow(sessionWindow)) return false;
    return platform::DestroyAppWindow(sessionWindow);
}

}  // namespace sim
