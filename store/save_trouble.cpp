// The save-trouble state and its one message to the main window.
#include "store/save_trouble.h"

#include "platform/window.h"
#include "store/app_state.h"
#include "store/messages.h"

SaveTrouble saveTrouble;

void ReportSaveFailure()
{
    saveTrouble.failing = true;
    // Before the main window exists there is no one to tell yet; the next
    // failure tries again.
    if (!saveTrouble.told) saveTrouble.told = platform::PostWindowMessage(mainWindow, MSG_NOTES_NOT_SAVED, 0, 0);
}

void ReportSaveSuccess() { saveTrouble = SaveTrouble{}; }
