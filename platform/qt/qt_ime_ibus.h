// IBus through its own D-Bus bus. Internal to the Qt backend.
#pragma once

#include <optional>

namespace platform::qt::ime::ibus {

// Opens the input method (the first engine of the user's list that is not a
// keyboard layout) or closes it (the first keyboard layout); true when IBus
// then reports that engine.
bool SetActive(bool open);

// Whether the engine in use is an input method rather than a keyboard
// layout; nullopt when IBus does not answer.
std::optional<bool> IsActive();

}  // namespace platform::qt::ime::ibus
