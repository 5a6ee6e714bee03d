// Keeping the notes in step with a Data folder that a file sync engine
// shares with other computers: the folder is watched, and a change that is
// not the program's own write brings the windows in line with the files
// (new notes get windows, notes removed elsewhere lose theirs, changed
// ones are changed in place), merged with what was changed here and not
// yet shared. The conflict copies an engine leaves are taken in, at
// start-up and on change, and removed.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Start-up, once the notes have their windows: starts watching the Data
// folder, then takes in what changed there since the notes were read and
// the conflict copies found.
void StartKeepingInStep();

// Shutdown: no more watching nor merging.
void StopKeepingInStep();

// MSG_DATA_FOLDER_CHANGED at the main window: a burst of changes is taken
// in once it has settled.
platform::LResult OnDataFolderChanged();

// wm::Timer at the main window: true when it was one of the reload's.
bool OnReloadTimer(std::uint32_t timerId);

// Takes in the changes now: the conflict copies, then the data file when
// another computer's replaced ours. What the timers run.
void ReloadFromElsewhere();
