// Telling the user that something could not be written.
#pragma once

// The notes cannot be saved right now (store/save_trouble.h): a message at
// the tray icon when it is shown, else a message box.
void WarnNotesNotSaved();

// "Peel with log" kept a note because its log entry could not be written.
void WarnPeelNotLogged();
