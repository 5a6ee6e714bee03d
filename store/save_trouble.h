// Telling the user, once, that the notes cannot be saved right now.
//
// Any failed write of a note's text or of the data file starts the trouble
// and, the first time, posts MSG_NOTES_NOT_SAVED to the main window, whose
// handler tells the user once the save has ended: a modal box in the middle
// of a save would run other commands (and other saves) inside it. A save
// that wrote everything ends the trouble, so that a later failure is told
// again; failures in between (every keystroke of an edit, say) are not.
#pragma once

struct SaveTrouble {
    bool failing = false;  // the last save left something unwritten
    bool told = false;     // the main window has been asked to tell the user
};
extern SaveTrouble saveTrouble;

void ReportSaveFailure();
// Everything in memory is on disk again.
void ReportSaveSuccess();
