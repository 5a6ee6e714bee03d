// Window timers: work that must happen a while after now (writing the data
// file once a burst of changes has settled) without a thread or a wait.
//
// A timer belongs to a window and has an id of the caller's choosing. When
// it falls due, wm::Timer (wParam = the id, lParam = 0) is posted to the
// window the next time a loop looks, behind every message posted until then,
// and the timer starts its next period. The main loop and the nested loops
// of menus and dialogs all look. A timer never queues a second wm::Timer
// while its first still waits, so a loop that was busy for many periods
// gets one message, not a backlog.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

namespace wm {
inline constexpr std::uint32_t Timer = 275;
}  // namespace wm

// Starts the window's timer `id`, firing every `milliseconds` (at least 1)
// from now. Starting a timer that runs already starts its period afresh and
// drops its wm::Timer that may still wait in the queue. False when the
// window does not live.
bool SetWindowTimer(WindowHandle window, std::uint32_t id, int milliseconds);

// Stops the timer; its wm::Timer that may still wait in the queue is not
// delivered. False when the window had no such timer. A window's timers end
// with it.
bool KillWindowTimer(WindowHandle window, std::uint32_t id);

}  // namespace platform
