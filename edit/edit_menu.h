// The editor's own menu (Alt+click, Alt+P): undo, cut, copy, paste, select
// all and the end of editing, acting on the editor's selection.
#pragma once

#include "platform/types.h"

// Shows the menu with its top-left corner at the screen point and carries
// out the choice at the editor (through its procedure, so that a paste grows
// the note first). The end of editing is posted, so it runs once the menu
// is gone.
void ShowEditMenu(platform::WindowHandle editor, platform::Point screenPoint);
