// The input method (Japanese text entry) of a window: open or closed, its
// conversion mode, and the finished text of a composition.
//
// On the desktop these act on the input-method framework that runs
// (fcitx5 first, IBus where that is what runs); with none, or where the
// framework does not let a program set something, the call reports failure
// and the program goes on. The editor control is the window that takes text
// from an input method: on the desktop no other window has one, so for any
// other window the calls report failure and the input method reads as
// closed. An editor's open flag is its own; the framework receives it while
// the editor has the keyboard focus, once the framework acts on the
// editor's input context.
#pragma once

#include <optional>
#include <string>

#include "platform/types.h"

namespace platform {

bool SetInputMethodOpen(WindowHandle window, bool open);
bool IsInputMethodOpen(WindowHandle window);

// Conversion modes: romaji input (typed Latin letters become kana) and kana
// input (the keys type kana directly). False when the mode cannot be set.
// Where the mode is a setting the user's input method keeps for every
// program, the user's own comes back when the window goes.
enum class Conversion { Romaji, Kana };
bool SetInputConversion(WindowHandle window, Conversion conversion);

// The finished composition that the wm::ImeComposition being handled at the
// window carries; nullopt outside such a message or when it has none.
std::optional<std::u16string> GetCompositionResult(WindowHandle window);

// The text still being composed that the wm::ImeComposition with
// gcs::CompositionString being handled at the window carries; nullopt
// outside such a message.
std::optional<std::u16string> GetComposingText(WindowHandle window);

}  // namespace platform
