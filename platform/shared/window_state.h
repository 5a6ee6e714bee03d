// What both backends keep about every window beyond the program's own view,
// which their files share and the tests read (platform/testing/inspect.h):
// whether a handle still names a window, and the z band a window stands in.
// Each backend implements it. Internal to platform/.
#pragma once

#include "platform/types.h"

namespace platform {

// True from the window's creation until its destruction has begun.
bool IsLiveWindow(WindowHandle window);

// The band a top-level window stands in. Bands are declared front to back,
// so they compare in stacking order.
enum class ZBand { Topmost, Normal, Bottom };

}  // namespace platform
