// Command dispatch. Every action of the program is a command id; this file
// holds the table of the ids that are carried out and runs the one that a
// window received. The same code runs whichever window, main or note, got
// the command. Ids not in the table get the default window processing.
#include "app/commands.h"

#include <array>

#include "app/app_commands.h"
#include "app/app_state.h"
#include "app/hotkey.h"
#include "app/messages.h"
#include "app/note_commands.h"
#include "app/note_windows.h"
#include "note/levels.h"
#include "note/note_state.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/data_file.h"
#include "store/text_export.h"

namespace {

using platform::LParam;
using platform::WindowHandle;

// Where a command's work writes the data file. FromMenu: only when a popup
// menu chose it (lParam 1), so that program code can post many commands and
// save once at the end.
enum class Saves { Never, Always, FromMenu };

struct Command {
    std::uint32_t id;
    Saves saves;
    void (*run)(WindowHandle window, LParam origin);
};

void NewNote(WindowHandle window, LParam)
{
    if (CreateNoteWindows(platform::sw::ShowNormal) != 0) return;
    platform::ShowMessageBox(window, u"リソースをを確保できません。", kBoxCaption,
                             platform::mb::Ok | platform::mb::IconExclamation | platform::mb::SetForeground);
}

void SaveData(WindowHandle, LParam) {}

// Saving (from a menu) happens before this runs: the main window's
// destruction switches the tray icon setting off in memory.
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

// Columns: id, when the data file is written, the work. Saving runs before
// the work for CMD_EXIT and after it for every other command.
constexpr std::array kCommands = {
    Command{CMD_NEW_NOTE, Saves::Never, NewNote},
    Command{CMD_SAVE_DATA, Saves::Always, SaveData},
    Command{CMD_EXIT, Saves::FromMenu, Exit},
    Command{CMD_LEVEL_TOPMOST, Saves::FromMenu, LevelTopmost},
    Command{CMD_LEVEL_NORMAL, Saves::FromMenu, LevelNormal},
    Command{CMD_LEVEL_BOTTOM, Saves::FromMenu, LevelBottom},
    // These two save once, through the CMD_SAVE_DATA they post last.
    Command{CMD_HIDE_ALL, Saves::Never, HideAll},
    Command{CMD_SHOW_ALL, Saves::Never, ShowAll},
    Command{CMD_HIDE_NOTE, Saves::FromMenu, HideOne},
    Command{CMD_SHOW_NOTE, Saves::FromMenu, ShowOne},
    Command{CMD_TOGGLE_FIXED, Saves::Always, ToggleFixed},
    Command{CMD_ABOUT, Saves::Never, RunAbout},
    Command{CMD_SETTINGS, Saves::Always, RunSettings},
    Command{CMD_DEFAULT_FONT, Saves::Always, RunDefaultFont},
    Command{CMD_TOGGLE_TRAY_ICON, Saves::Never, ToggleTrayIcon},
    Command{CMD_SHOW_LOG, Saves::Never, ShowLog},
    Command{CMD_HELP, Saves::Never, OpenHelp},
    Command{CMD_UNINSTALL, Saves::Never, RunUninstall},
    // Peeling off saves when the closed window's record is removed.
    Command{CMD_PEEL_LOGGED, Saves::Never, PeelNoteLogged},
    Command{CMD_PEEL, Saves::Never, PeelNote},
    Command{CMD_TEXT_COLOUR, Saves::FromMenu, ChooseTextColour},
    Command{CMD_BACK_COLOUR, Saves::FromMenu, ChooseBackColour},
    Command{CMD_NOTE_FONT, Saves::Always, ChooseNoteFont},
    Command{CMD_EDIT_DIRECT, Saves::Never, EditDirect},
    Command{CMD_CUT, Saves::Always, CutNote},
    Command{CMD_COPY, Saves::Never, CopyNote},
    Command{CMD_PASTE, Saves::Always, PasteNote},
    Command{CMD_AUTO_SIZE, Saves::Never, AutoSizeNote},
    Command{CMD_SAVE_TO_FILE, Saves::Never, ExportNoteText},
    // The import saves itself, and only when it replaced the text.
    Command{CMD_LOAD_FROM_FILE, Saves::Never, ImportNoteText},
};

// Commands that act on the note that received them. Reaching the main
// window (or a window that is no longer a note) they do nothing at all.
constexpr std::array kNoteCommandIds = {
    CMD_NOTE_FONT, CMD_PEEL_LOGGED, CMD_PEEL, CMD_TEXT_COLOUR, CMD_BACK_COLOUR, CMD_EDIT_DIRECT,
    CMD_LEVEL_TOPMOST, CMD_LEVEL_NORMAL, CMD_LEVEL_BOTTOM, CMD_HIDE_NOTE, CMD_SHOW_NOTE, CMD_CUT,
    CMD_COPY, CMD_PASTE, CMD_AUTO_SIZE, CMD_TOGGLE_FIXED, CMD_SAVE_TO_FILE, CMD_LOAD_FROM_FILE,
};

bool IsForNoNote(std::uint32_t id, WindowHandle window)
{
    for (std::uint32_t noteId : kNoteCommandIds)
        if (noteId == id) return !IsLiveIndex(FindNoteIndex(window));
    return false;
}

const Command* FindCommand(std::uint32_t id)
{
    for (const Command& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

bool ShouldSave(Saves rule, LParam origin)
{
    return rule == Saves::Always || (rule == Saves::FromMenu && origin != 0);
}

}  // namespace

bool PostCommand(WindowHandle window, std::uint32_t id, LParam origin)
{
    return platform::PostWindowMessage(window, platform::wm::Command, id, origin);
}

platform::LResult HandleCommand(WindowHandle window, platform::WParam wParam, LParam lParam)
{
    const std::uint32_t id = platform::LowWord(wParam);
    if (id >= CMD_SHOW_NOTE_BASE) {
        ShowListedNote(id - CMD_SHOW_NOTE_BASE);
        return 0;
    }
    const Command* command = FindCommand(id);
    if (command == nullptr) return platform::DefaultWindowProc(window, platform::wm::Command, wParam, lParam);
    if (IsForNoNote(id, window)) return 0;
    const bool save = ShouldSave(command->saves, lParam);
    const bool saveFirst = id == CMD_EXIT;
    if (save && saveFirst) SaveDataFile();
    command->run(window, lParam);
    if (save && !saveFirst) SaveDataFile();
    return 0;
}
