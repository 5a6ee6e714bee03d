// Giving records their windows, and taking them out of the table again.
//
// Records below `count` are live notes; the windows of loaded records are
// made in table order at start-up, and new notes are appended at `count`.
// Start reading at CreateNoteWindows.
#include "app/note_windows.h"


#include "app/tray.h"
#include "edit/input_method.h"
#include "note/clamp.h"
#include "note/levels.h"
#include "platform/font.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/data_file.h"
#include "store/messages.h"

namespace {

constexpr int kNewNoteWidth = 160;
constexpr int kNewNoteHeight = 40;
constexpr std::uint32_t kDefaultTextColor = 0x00000000;
constexpr std::uint32_t kPlaceFlagsHidden = platform::swp::NoSize | platform::swp::NoMove | platform::swp::NoActivate;
constexpr std::uint32_t kPlaceFlagsShown = kPlaceFlagsHidden | platform::swp::ShowWindow;

platform::WindowHandle CreateNoteWindow(const platform::Rect& bounds)
{
    return platform::CreateAppWindow(kClassName, kWindowTitle, bounds);
}

// Restores one loaded record in slot `count`, showing a shown note with
// `showCommand`. False when its window cannot be made.
bool RestoreNote(NoteRecord& note, int showCommand)
{
    ClampNoteRect(note.bounds);
    note.window = CreateNoteWindow(note.bounds);
    if (note.window == 0) return false;
    note.fontHandle = platform::CreateFontObject(note.font);
    platform::ShowAppWindow(note.window, note.shown == kNoteShown ? showCommand : platform::sw::Hide);
    platform::UpdateAppWindow(note.window);
    // Only the topmost level survives a restart.
    if (note.zLevel != platform::z::Topmost) note.zLevel = platform::z::NotTopmost;
    platform::PlaceWindow(note.window, note.zLevel, platform::Rect{},
                          note.shown == kNoteShown ? kPlaceFlagsShown : kPlaceFlagsHidden);
    CloseInputMethod(note.window);
    return true;
}

int RestoreLoadedNotes(int showCommand)
{
    while (noteTable.count < noteTable.pendingCount) {
        if (!RestoreNote(noteTable.notes[noteTable.count], showCommand)) return 0;
        ++noteTable.count;
    }
    noteTable.pendingCount = 0;
    return 1;
}

// A random palette colour, never the same as the previous note's.
std::uint32_t PickBackColor(std::int32_t index)
{
    if (index == 0) return notePalette[0];
    std::uint32_t i = platform::RandomNumber() % kPaletteSize;
    if (notePalette[i] == noteTable.notes[index - 1].backColor) i = (i == kPaletteSize - 1) ? 0 : i + 1;
    return notePalette[i];
}

int CreateNewNote(int showCommand)
{
    const std::int32_t index = noteTable.count;
    NoteRecord& note = noteTable.notes[index];
    note = NoteRecord{};
    const platform::Rect place{(index + 5) * 8, (index + 10) * 4, (index + 5) * 8 + kNewNoteWidth,
                               (index + 10) * 4 + kNewNoteHeight};
    note.window = CreateNoteWindow(place);
    if (note.window == 0) return 0;
    note.bounds = platform::GetWindowBounds(note.window);
    note.textColor = kDefaultTextColor;
    note.backColor = PickBackColor(index);
    note.shown = showCommand == platform::sw::Hide ? kNoteHidden : kNoteShown;
    note.fontHandle = platform::CreateFontObject(noteSettings.defaultFont);
    note.font = platform::FontDescription{};
    platform::DescribeFontObject(note.fontHandle, note.font);
    SetFieldText(note.created, StoredTimeNow());
    platform::ShowAppWindow(note.window, showCommand);
    platform::UpdateAppWindow(note.window);
    note.zLevel = platform::z::NotTopmost;
    CloseInputMethod(note.window);
    ++noteTable.count;
    return 1;
}

}  // namespace

int CreateNoteWindows(int showCommand)
{
    if (noteTable.notes.empty()) return 0;
    if (noteTable.count >= noteTable.capacity && !GrowNoteTable(noteTable.capacity + 4)) return 0;
    if (noteTable.pendingCount != 0) return RestoreLoadedNotes(showCommand);
    return CreateNewNote(showCommand);
}

void RemoveNote(std::vector<NoteRecord>& notes, std::int32_t index)
{
    if (notes.empty() || index < 0 || index >= noteTable.count) return;
    if (notes[index].window == 0) return;
    if (notes[index].editWindow != 0)
        platform::SendWindowMessage(notes[index].window, MSG_END_EDIT, 0, 0);
    if (notes[index].fontHandle != 0) {
        platform::DeleteFontObject(notes[index].fontHandle);
        notes[index].fontHandle = 0;
    }
    notes[index].text.reset();
    const std::int32_t last = noteTable.count - 1;
    for (std::int32_t i = index; i < last; ++i) notes[i] = std::move(notes[i + 1]);

    // The vacated slot keeps the units after each text field's terminator,
    // as a cleared record always has.
    NoteRecord& vacated = notes[last];
    NoteRecord cleared;
    cleared.fileName = vacated.fileName;
    cleared.created = vacated.created;
    cleared.reservedText = vacated.reservedText;
    cleared.fileName[0] = cleared.created[0] = cleared.reservedText[0] = 0;
    vacated = cleared;
    --noteTable.count;
}

platform::LResult OnNoteClose(platform::WindowHandle window)
{
    platform::DestroyAppWindow(window);
    SaveDataFileAfter(SaveTrigger::NoteClose);
    if (noteTable.count > 0) platform::BringToForeground(noteTable.notes[noteTable.count - 1].window);
    return 0;
}

// Only the note's own peel-off removes a note, with its question, its log
// entry and its text file. The desktop's close (its close button, Alt+F4)
// would otherwise lose the text without a word, so it hides the note as
// "非表示 (&H)" does, and saves; without a tray icon the hidden note could
// not be found again, so then nothing happens.
platform::LResult OnNoteSysCommand(platform::WindowHandle window, platform::WParam command,
                                   platform::LParam lParam)
{
    if ((command & 0xFFF0) != platform::sc::Close)
        return platform::DefaultWindowProc(window, platform::wm::SysCommand, command, lParam);
    if (noteSettings.trayIcon != 0) PostCommand(window, CMD_HIDE_NOTE, 1);
    return 0;
}

platform::LResult OnNoteDestroy(platform::WindowHandle window)
{
    if (noteTable.count <= 0) return 0;
    const std::int32_t index = FindNoteIndex(window);
    if (!IsLiveIndex(index)) return 0;
    RemoveNote(noteTable.notes, index);
    // The program must stay reachable when its last visible note is gone.
    if (CountShownNotes() == 0 && noteSettings.trayIcon == 0) {
        noteSettings.trayIcon = 1;
        AddTrayIcon(mainWindow);
    }
    return 0;
}
