// The input-method frameworks a Linux desktop runs, as the Qt backend
// reaches them over D-Bus: fcitx5 (its controller) and IBus. Each acts on
// the input context that has the keyboard focus, which is the editor's when
// the program asks; the calls block for a short while at most and report
// failure when the framework does not answer.
//
// Internal to the Qt backend.
#pragma once

#include <optional>

#include "platform/ime.h"

namespace platform::qt::ime {

enum class Framework { None, Fcitx, IBus };

// The framework whose module Qt loaded for the program's text input (the
// QT_IM_MODULE setting of the desktop), or None.
Framework InUse();

// The framework in use when it answers now, or None.
Framework Answering();

// Opens or closes the input method of the focused input context; true when
// the framework confirms the new state.
bool SetOpen(Framework framework, bool open);

// Whether the focused input context's input method is open; nullopt when
// the framework cannot tell.
std::optional<bool> IsOpen(Framework framework);

// Sets how typed keys become kana, where the engine lets a program set it.
bool SetConversion(Framework framework, Conversion conversion);

}  // namespace platform::qt::ime
