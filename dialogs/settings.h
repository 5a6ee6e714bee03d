// The settings dialog.
#pragma once

// Runs the settings dialog modally; 1 when confirmed, 0 when cancelled or
// when it did not open.
int RunSettingsDialog();
