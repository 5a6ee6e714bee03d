// The about box.
#pragma once

// Runs the about box modally; its result (1 OK, 2 Cancel), 0 when it did not open.
int RunAboutDialog();
