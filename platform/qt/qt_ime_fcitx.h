// fcitx5 through its D-Bus controller. Internal to the Qt backend.
#pragma once

#include <optional>

#include "platform/ime.h"

namespace platform::qt::ime::fcitx {

// Whether fcitx's controller answers.
bool Answers();

// Opens or closes the input method of the focused input context; true when
// fcitx then reports that state.
bool SetActive(bool open);

// Whether the focused input context's input method is open; nullopt when
// fcitx does not answer or no input context has the focus.
std::optional<bool> IsActive();

// Sets the Anthy engine's typing method; false when fcitx does not answer or
// Anthy is not among the current group's input methods (no other engine
// lets a program set it).
bool SetTypingMethod(Conversion conversion);

}  // namespace platform::qt::ime::fcitx
