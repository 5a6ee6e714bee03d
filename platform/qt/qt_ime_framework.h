// The input-method frameworks a Linux desktop runs, as the Qt backend
// reaches them over D-Bus: fcitx5 (its controller) and IBus. Each acts on
// the input context that has the keyboard focus, which is the editor's once
// the framework knows it has; queries block for a short while at most and
// report failure when the framework does not answer.
//
// Internal to the Qt backend.
#pragma once

#include <functional>
#include <optional>

#include "platform/ime.h"

namespace platform::qt::ime {

enum class Framework { None, Fcitx, IBus };

// The framework whose module Qt loaded for the program's text input (the
// QT_IM_MODULE setting of the desktop), or None.
Framework InUse();

// The framework in use when it answers now, or None.
Framework Answering();

// Asks the framework to open or close the input method of the focused input
// context; false when the request could not be made.
bool SetOpen(Framework framework, bool open);

// Calls `onFocus` each time the framework reports that one of the program's
// input contexts took the focus; false for a framework that gives no such
// report, whose context counts as focused once Qt's focus change is done.
bool WatchFocus(Framework framework, std::function<void()> onFocus);

// Whether the focused input context's input method is open; nullopt when
// the framework cannot tell.
std::optional<bool> IsOpen(Framework framework);

// Sets how typed keys become kana, where the engine lets a program set it.
bool SetConversion(Framework framework, Conversion conversion);

// Puts back what the editors changed in the user's own input method: the
// engine (IBus's is the whole desktop's) and the typing method (Anthy's on
// fcitx5 is every program's), each unless the user changed it meanwhile.
void GiveBack(Framework framework);

// The same for what an earlier run of the program changed and could not
// put back (it was killed); from the loop, once the program runs.
void GiveBackAfterEarlierRun();

}  // namespace platform::qt::ime
