// Command dispatch. Every action of the program is a command id; this file
// holds the table of the ids that are carried out and runs the one that a
// window received. The same code runs whichever window, main or note, got
// the command. Ids not in the table get the default window processing.
#include "app/commands.h"

#include <array>
#include <new>

#include "app/app_commands.h"
#include "app/hotkey.h"
#include "app/note_commands.h"
#include "app/note_windows.h"
#include "app/text_export_commands.h"
#include "note/levels.h"
#include "note/note_state.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/data_file.h"
#include "store/messages.h"

namespace {

using platform::LParam;
using platform::WindowHandle;

// Where a command's work writes the data file. FromMenu: only when a popup
// menu chose it (lParam 1), so that program code can post many commands and
// save once at the end. FromMenuFirst: the same, but before the work. Soon:
// within a second, together with the changes around it (RequestDataFileSave).
// The writers outside this table are listed in store/data_file.h.
enum class Saves { Never, Always, FromMenu, FromMenuFirst, Soon };

// What a command acts on. A note command that reaches the main window (or a
// window that is no longer a note) does nothing at all. A command on a
// note's text first ends the note's edit, if one is open, so that it acts on
// the text the user sees and no later end of that edit overwrites its work.
enum class Acts { OnProgram, OnNote, OnNoteText };

struct Command {
    std::uint32_t id;
    Acts acts;
    Saves saves;
    void (*run)(WindowHandle window, LParam origin);
};

constexpr std::uint32_t kErrorBox =
    platform::mb::Ok | platform::mb::IconExclamation | platform::mb::SetForeground;

void NewNote(WindowHandle, LParam)
{
    if (CreateNoteWindows(platform::sw::ShowNormal) != 0) return;
    platform::ShowMessageBox(u"リソースをを確保できません。", kBoxCaption, kErrorBox);
}

void SaveData(WindowHandle, LParam) {}

// Saves (from a menu) before this runs: the main window's end switches the
// tray icon setting off in memory.
void Exit(WindowHandle, LParam)
{
    UnregisterAppHotkey();
    platform::DestroyAppWindow(mainWindow);
}

void LevelTopmost(WindowHandle window, LParam) { SetNoteLevel(window, platform::z::Topmost); }
void LevelNormal(WindowHandle window, LParam) { SetNoteLevel(window, platform::z::NotTopmost); }
void LevelBottom(WindowHandle window, LParam) { SetNoteLevel(window, platform::z::Bottom); }
void HideAll(WindowHandle, LParam) { HideAllNotes(); }
void ShowAll(WindowHandle, LParam) { ShowAllNotes(); }
void HideOne(WindowHandle window, LParam) { HideNote(window); }
void ShowOne(WindowHandle window, LParam) { ShowNote(window); }
void ToggleFixed(WindowHandle window, LParam) { ToggleNoteFixed(window); }

// Columns: id, what it acts on, when it writes the data file, the work.
constexpr std::array kCommands = {
    // A second start may hand over several new notes in a row.
    Command{CMD_NEW_NOTE, Acts::OnProgram, Saves::Soon, NewNote},
    Command{CMD_SAVE_DATA, Acts::OnProgram, Saves::Always, SaveData},
    Command{CMD_EXIT, Acts::OnProgram, Saves::FromMenuFirst, Exit},
    Command{CMD_LEVEL_TOPMOST, Acts::OnNote, Saves::FromMenu, LevelTopmost},
    Command{CMD_LEVEL_NORMAL, Acts::OnNote, Saves::FromMenu, LevelNormal},
    Command{CMD_LEVEL_BOTTOM, Acts::OnNote, Saves::FromMenu, LevelBottom},
    // These two save once, through the CMD_SAVE_DATA they post last.
    Command{CMD_HIDE_ALL, Acts::OnProgram, Saves::Never, HideAll},
    Command{CMD_SHOW_ALL, Acts::OnProgram, Saves::Never, ShowAll},
    Command{CMD_HIDE_NOTE, Acts::OnNote, Saves::FromMenu, HideOne},
    Command{CMD_SHOW_NOTE, Acts::OnNote, Saves::FromMenu, ShowOne},
    Command{CMD_TOGGLE_FIXED, Acts::OnNote, Saves::Always, ToggleFixed},
    Command{CMD_ABOUT, Acts::OnProgram, Saves::Never, RunAbout},
    Command{CMD_SETTINGS, Acts::OnProgram, Saves::Always, RunSettings},
    Command{CMD_DEFAULT_FONT, Acts::OnProgram, Saves::Always, RunDefaultFont},
    Command{CMD_TOGGLE_TRAY_ICON, Acts::OnProgram, Saves::Always, ToggleTrayIcon},
    Command{CMD_SHOW_LOG, Acts::OnProgram, Saves::Never, ShowLog},
    Command{CMD_HELP, Acts::OnProgram, Saves::Never, OpenHelp},
    Command{CMD_UNINSTALL, Acts::OnProgram, Saves::Never, RunUninstall},
    // Peeling off saves when the note's window has closed (SaveTrigger::NoteClose).
    Command{CMD_PEEL_LOGGED, Acts::OnNoteText, Saves::Never, PeelNoteLogged},
    Command{CMD_PEEL, Acts::OnNoteText, Saves::Never, PeelNote},
    Command{CMD_TEXT_COLOUR, Acts::OnNote, Saves::FromMenu, ChooseTextColour},
    Command{CMD_BACK_COLOUR, Acts::OnNote, Saves::FromMenu, ChooseBackColour},
    Command{CMD_NOTE_FONT, Acts::OnNote, Saves::Always, ChooseNoteFont},
    Command{CMD_EDIT_DIRECT, Acts::OnNote, Saves::Never, EditDirect},
    Command{CMD_CUT, Acts::OnNoteText, Saves::Always, CutNote},
    Command{CMD_COPY, Acts::OnNoteText, Saves::Never, CopyNote},
    Command{CMD_PASTE, Acts::OnNoteText, Saves::Always, PasteNote},
    Command{CMD_AUTO_SIZE, Acts::OnNoteText, Saves::Never, AutoSizeNote},
    Command{CMD_SAVE_TO_FILE, Acts::OnNoteText, Saves::Never, ExportNoteText},
    // The import saves only when it replaced the text (SaveTrigger::Import).
    Command{CMD_LOAD_FROM_FILE, Acts::OnNoteText, Saves::Never, ImportNoteText},
};

constexpr bool IdsAreUnique()
{
    for (std::size_t i = 0; i < kCommands.size(); ++i)
        for (std::size_t j = i + 1; j < kCommands.size(); ++j)
            if (kCommands[i].id == kCommands[j].id) return false;
    return true;
}
static_assert(IdsAreUnique(), "a command id stands twice in the table");

const Command* FindCommand(std::uint32_t id)
{
    for (const Command& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

bool ShouldSave(Saves rule, LParam origin)
{
    switch (rule) {
    case Saves::Never:
    case Saves::Soon: return false;
    case Saves::Always: return true;
    case Saves::FromMenu:
    case Saves::FromMenuFirst: return origin != 0;
    }
    return false;
}

}  // namespace

platform::LResult HandleCommand(WindowHandle window, platform::WParam wParam, LParam lParam)
{
    const std::uint32_t id = platform::LowWord(wParam);
    if (id >= CMD_SHOW_NOTE_BASE) {
        ShowListedNote(id - CMD_SHOW_NOTE_BASE);
        return 0;
    }
    const Command* command = FindCommand(id);
    if (command == nullptr) return platform::DefaultWindowProc(window, platform::wm::Command, wParam, lParam);
    if (command->acts != Acts::OnProgram && FindNote(window) == nullptr) return 0;
    if (command->acts == Acts::OnNoteText) platform::SendWindowMessage(window, MSG_END_EDIT, 0, 0);
    const bool save = ShouldSave(command->saves, lParam);
    const bool saveFirst = command->saves == Saves::FromMenuFirst;
    if (save && saveFirst) SaveDataFile();
    try {
        command->run(window, lParam);
    } catch (const std::bad_alloc&) {
        // A text too large for the memory left: a paste or an import stops
        // before it changes the note, and the user hears why.
        platform::ShowMessageBox(u"メモリを確保できません。", kBoxCaption, kErrorBox);
        return 0;
    }
    if (save && !saveFirst) SaveDataFile();
    if (command->saves == Saves::Soon) RequestDataFileSave();
    return 0;
}
