// IBus through its own D-Bus bus. Internal to the Qt backend.
#pragma once

#include <optional>

namespace platform::qt::ime::ibus {

// Opens the input method (the input-method engine last seen in use, at
// first a Japanese engine IBus knows) or closes it (the keyboard layout last
// seen in use); true when IBus took the request.
bool SetActive(bool open);

// Switches back to the engine the user had before SetActive switched it,
// unless the user switched meanwhile.
void GiveBackEngine();

// Whether the engine in use is an input method rather than a keyboard
// layout; nullopt when IBus does not answer.
std::optional<bool> IsActive();

}  // namespace platform::qt::ime::ibus
