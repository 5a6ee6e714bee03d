// A note's context menu and the peel-off prompt. Not built yet: the gestures
// that ask for them reach these and nothing opens.
#include "note/context_menu.h"

void ShowNoteMenu(platform::WindowHandle, platform::Point) {}

void PromptPeel(platform::WindowHandle) {}
