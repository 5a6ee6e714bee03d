// Giving records their windows, and taking them out of the table again.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/types.h"
#include "store/records.h"

// Gives every loaded record its window (a shown one shown with
// `showCommand`), or appends one new note shown with it when nothing is
// pending. Non-zero on success.
int CreateNoteWindows(int showCommand);

// Removes slot `index` (closing its editor first); later records move down.
void RemoveNote(std::vector<NoteRecord>& notes, std::int32_t index);

// The end of a note window.
platform::LResult OnNoteClose(platform::WindowHandle window);
// wm::SysCommand at a note: the desktop's close request hides the note
// when the tray icon can bring it back, and otherwise changes nothing.
platform::LResult OnNoteSysCommand(platform::WindowHandle window, platform::WParam command,
                                   platform::LParam lParam);
platform::LResult OnNoteDestroy(platform::WindowHandle window);
