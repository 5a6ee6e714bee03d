// Watching one folder for files that change in it: a file made, written and
// closed, renamed into or out of it, or deleted. Another program (a file
// sync engine) may change the folder at any time; the program hears of it
// as a message, never by polling.
//
// A burst of changes posts one message: after a message, further changes
// only add to the list that TakeFolderChanges hands over, and the next
// change after that call posts again. The folder itself may be replaced
// (renamed away and another renamed to its name, or removed and made
// again): the watch follows the name, and the change is reported as the
// empty name, since any file in it may differ.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// Starts watching the folder (one folder at a time; a new call replaces
// the watch): `message` is posted to `window` (wParam 0, lParam 0) when a
// change arrives and none is waiting to be taken. False when the folder
// cannot be watched.
bool WatchFolder(const std::u16string& folder, WindowHandle window, std::uint32_t message);

// The names of the folder's files that changed since the last call, each
// once, in the order first seen; an empty name when the folder itself was
// replaced.
std::vector<std::u16string> TakeFolderChanges();

void StopWatchingFolder();

}  // namespace platform
