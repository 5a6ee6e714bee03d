// The clipboard. Not built yet: nothing reaches the clipboard and nothing is
// taken from it; both report that they did nothing.
#include "edit/clipboard.h"

int CopyNoteToClipboard(platform::WindowHandle) { return 0; }

int PasteNoteFromClipboard(platform::WindowHandle) { return 0; }
