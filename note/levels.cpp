// Display levels and visibility: counting shown notes and bringing notes to
// the front. A note is brought to the front by hiding it for a moment and
// showing it again, which puts it above its peers whatever the desktop's
// focus rules say.
#include "note/levels.h"

#include "platform/shell.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/messages.h"
#include "store/records.h"

namespace {

// Same flags for every level placement: keep position and size, do not
// activate, show.
constexpr std::uint32_t kLevelFlags =
    platform::swp::NoSize | platform::swp::NoMove | platform::swp::NoActivate | platform::swp::ShowWindow;

bool NoteVisible(std::int32_t index)
{
    return platform::IsWindowShown(noteTable.notes[index].window);
}

void BringNoteToFront(std::int32_t index)
{
    const platform::WindowHandle window = noteTable.notes[index].window;
    platform::ShowAppWindow(window, platform::sw::Hide);
    platform::SleepMilliseconds(10);
    platform::ShowAppWindow(window, platform::sw::ShowNormal);
    platform::UpdateAppWindow(window);
    platform::BringToForeground(window);
}

// Walks from `index` by `step` with wrap-around to the next visible note
// other than `index` itself, and brings it to the front.
int RaiseStepping(std::int32_t index, std::int32_t step)
{
    const std::int32_t count = noteTable.count;
    // An index that names no live note would never come round again.
    if (index < 0 || index >= count) return 0;
    auto next = [count, step](std::int32_t j) { return ((j + step) % count + count) % count; };
    std::int32_t j = next(index);
    while (!NoteVisible(j)) {
        j = next(j);
        if (j == index) return 0;
    }
    if (j == index) return 0;
    BringNoteToFront(j);
    return 1;
}

}  // namespace

std::int32_t CountShownNotes()
{
    std::int32_t shown = 0;
    for (std::int32_t i = 0; i < noteTable.count; ++i)
        if (noteTable.notes[i].shown == kNoteShown) ++shown;
    return shown;
}

// The setting alone says nothing on a desktop without a tray, or before a
// late one has started.
bool TrayIconShown() { return noteSettings.trayIcon != 0 && platform::IsTrayAvailable(); }

int RaiseNextNote(std::int32_t index) { return RaiseStepping(index, 1); }

int RaisePreviousNote(std::int32_t index) { return RaiseStepping(index, -1); }

int RaiseLastNote()
{
    for (std::int32_t j = noteTable.count - 1; j >= 0; --j) {
        if (NoteVisible(j)) {
            BringNoteToFront(j);
            return 1;
        }
    }
    return 0;
}

void RaiseAllNotes()
{
    for (std::int32_t i = 0; i < noteTable.count; ++i)
        platform::PostWindowMessage(noteTable.notes[i].window, MSG_RAISE_NOTE, 0, 0);
}

namespace {

// Each note's command carries origin 0, so none of them saves; the one save
// posted after them writes the data file once.
void PostToAllNotes(std::uint32_t command)
{
    if (noteTable.count <= 0) return;
    for (std::int32_t i = 0; i < noteTable.count; ++i) PostCommand(noteTable.notes[i].window, command, 0);
    PostCommand(noteTable.notes[noteTable.count - 1].window, CMD_SAVE_DATA, 0);
}

}  // namespace

void ShowAllNotes() { PostToAllNotes(CMD_SHOW_NOTE); }

void HideAllNotes() { PostToAllNotes(CMD_HIDE_NOTE); }

void ApplyNoteLevel(platform::WindowHandle window, std::int32_t zLevel)
{
    platform::PlaceWindow(window, zLevel, platform::Rect{}, kLevelFlags);
}
