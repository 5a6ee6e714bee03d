// Room in memory for work whose allocations the desktop's own libraries do
// not check: laying out a line of text takes many times the line's size at
// once, and a text engine that runs out of memory there ends the process.
// The program asks first, and tells the user when there is no room.
#pragma once

#include <string_view>

namespace platform {

// Whether measuring and drawing the text's longest line can get the memory
// it takes at its peak, now: that much is taken from the system and given
// back at once. Short lines always can.
bool HasRoomToLayOut(std::u16string_view text);

}  // namespace platform
