// fcitx5 through its D-Bus controller. Internal to the Qt backend.
#pragma once

#include <functional>
#include <optional>

#include "platform/ime.h"

namespace platform::qt::ime::fcitx {

// Whether fcitx's controller answers.
bool Answers();

// Asks fcitx to open or close the input method of the focused input
// context, without waiting for its answer; false when the request could not
// be sent.
bool SetActive(bool open);

// Calls `onFocus` each time fcitx tells the program that one of its input
// contexts took the focus (fcitx then names the context's input method to
// it). False when no such word can be listened for.
bool WatchFocus(std::function<void()> onFocus);

// Whether the focused input context's input method is open; nullopt when
// fcitx does not answer or no input context has the focus.
std::optional<bool> IsActive();

// Sets the Anthy engine's typing method; false when fcitx does not answer or
// Anthy is not among the current group's input methods (no other engine
// lets a program set it). The method is a setting of the engine, shared by
// every program: the user's own is kept and put back by
// RestoreTypingMethod, unless the user changed it meanwhile.
bool SetTypingMethod(Conversion conversion);
void RestoreTypingMethod();

// Puts the user's typing method back where an earlier run of the program
// lent another and ended without giving it back (killed), unless the user
// changed it meanwhile.
void RestoreLeftTypingMethod();

}  // namespace platform::qt::ime::fcitx
