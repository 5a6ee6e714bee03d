// The one window procedure shared by the hidden main window and every note.
// It tells the two apart, answers the main window's own messages here, hands
// commands from any window to HandleCommand and routes every other note
// message to the handler that owns it. Each case decodes its arguments and
// calls one short handler.
#include "app/window_proc.h"

#include "app/app_commands.h"
#include "app/commands.h"
#include "app/hotkey.h"
#include "app/note_windows.h"
#include "app/save_warnings.h"
#include "app/startup.h"
#include "app/sync_reload.h"
#include "app/tray.h"
#include "edit/editor.h"
#include "note/context_menu.h"
#include "note/interaction.h"
#include "note/levels.h"
#include "note/painting.h"
#include "platform/draw.h"
#include "platform/editor.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/data_file.h"
#include "store/edit_recovery.h"
#include "store/messages.h"
#include "store/records.h"
#include "store/save_trouble.h"

namespace {

using platform::LParam;
using platform::LResult;
using platform::WindowHandle;
using platform::WParam;

bool Held(std::uint32_t key) { return platform::IsKeyHeld(key); }

void RequestMainMenu(WindowHandle window, WParam wParam = 0, LParam lParam = 0)
{
    platform::PostWindowMessage(window, MSG_SHOW_MAIN_MENU, wParam, lParam);
}

// --- main window -----------------------------------------------------------

LResult OnMainCreate(WindowHandle window)
{
    if (noteSettings.trayIcon != 0) AddTrayIcon(window);
    RegisterHotkeyFromSettings(window);
    return 0;
}

LResult OnMainDestroy(WindowHandle window)
{
    RemoveTrayIcon(window);
    trayIconAtExit = noteSettings.trayIcon;
    noteSettings.trayIcon = 0;
    platform::PostQuit(0);
    return 0;
}

LResult OnHotkey(WindowHandle window, WParam id)
{
    if (id == static_cast<WParam>(HOTKEY_ID) && RaiseLastNote() == 0) RequestMainMenu(window);
    return 0;
}

// A tray that draws the icon's menu itself asks for it before it shows it
// and reports the choice; while a dialog or another menu is open it keeps
// the menu it had, and its choices are not taken, as no menu opens then.
LResult OnTrayNotify(WindowHandle window, WParam wParam, LParam lParam)
{
    const bool busy = dialogBusy != 0 || menuBusy != 0;
    switch (lParam) {
    case platform::wm::InitMenuPopup:
        if (!busy) OfferTrayMenu(window);
        return 0;
    case platform::wm::Command:
        if (!busy) PostCommand(window, static_cast<std::uint32_t>(wParam), 1);
        return 0;
    case platform::wm::LeftButtonUp:
        if (Held(platform::vk::Control))
            RaiseAllNotes();
        else
            RequestMainMenu(window, wParam, lParam);
        return 0;
    default: return 0;
    }
}

// A click on the icon passes its pointer message on; keys ask with 0.
LResult OnShowMainMenu(WindowHandle window, LParam origin)
{
    if (dialogBusy != 0 || menuBusy != 0) return 0;
    const BusyGuard busy(menuBusy);
    ShowMainMenu(window, origin == platform::wm::LeftButtonUp);
    return 0;
}

// A tray that starts after the program, or again after its host ended,
// shows the icon when the setting asks for it.
LResult OnTrayCreated(WindowHandle window)
{
    if (noteSettings.trayIcon != 0) AddTrayIcon(window);
    return 0;
}

// A save that came after the failure may have written everything already.
LResult OnNotesNotSaved()
{
    if (saveTrouble.failing) WarnNotesNotSaved();
    return 0;
}

// The main window lies far off the screen and never has the keyboard: the
// keys that walk the notes and open the tray menu (Tab, Shift+Tab, Ctrl+Tab)
// are the notes' own, and the hotkey reaches the tray menu when every note
// is hidden.
LResult MainWindowProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    switch (message) {
    case platform::wm::Create: return OnMainCreate(window);
    case platform::wm::Destroy: return OnMainDestroy(window);
    case platform::wm::Hotkey: return OnHotkey(window, wParam);
    case MSG_TRAY_NOTIFY: return OnTrayNotify(window, wParam, lParam);
    case MSG_NOTES_NOT_SAVED: return OnNotesNotSaved();
    case MSG_NOT_OPENED: TellNotOpened(wParam); return 0;
    case MSG_DATA_FOLDER_CHANGED: return OnDataFolderChanged();
    case MSG_SHOW_MAIN_MENU: return OnShowMainMenu(window, lParam);
    case platform::wm::TrayCreated: return OnTrayCreated(window);
    case platform::wm::EndSession: ShutdownWithoutDesktop(); return 0;
    case platform::wm::Timer:
        if (OnSaveTimer(static_cast<std::uint32_t>(wParam))) return 0;
        if (OnEditRecoveryTimer(static_cast<std::uint32_t>(wParam))) return 0;
        if (OnReloadTimer(static_cast<std::uint32_t>(wParam))) return 0;
        return platform::DefaultWindowProc(window, message, wParam, lParam);
    default: return platform::DefaultWindowProc(window, message, wParam, lParam);
    }
}

// --- note windows ----------------------------------------------------------

// Arrow keys, sizing to the text and the desktop itself move and resize
// notes with no save of their own; a drag's release saves at once, which
// settles the request made here.
LResult OnNoteGeometry(WindowHandle window)
{
    NoteRecord* note = FindNote(window);
    if (note == nullptr) return 0;
    const platform::Rect now = platform::GetWindowBounds(window);
    if (now == note->bounds) return 0;
    note->bounds = now;
    RequestDataFileSave();
    return 0;
}

LResult OnNoteActivate(WindowHandle window, WParam wParam)
{
    if (platform::LowWord(wParam) == platform::wa::Inactive) return OnNoteDeactivate(window);
    NoteRecord* note = FindNote(window);
    if (note == nullptr) return 0;
    if (platform::GetForegroundAppWindow() == window && note->editWindow != 0) {
        platform::SetKeyboardFocus(note->editWindow);
        return 0;
    }
    ApplyNoteLevel(window, note->zLevel);
    return 0;
}

LResult OnRaiseNote(WindowHandle window)
{
    const NoteRecord* note = FindNote(window);
    if (note != nullptr && platform::IsWindowShown(window) && note->zLevel != platform::z::Bottom)
        platform::BringToForeground(window);
    return 0;
}

LResult OnNoteErase(WindowHandle window, WParam context)
{
    EraseNoteBackground(window, static_cast<platform::DrawContext>(context));
    return 1;
}

LResult OnNotePaint(WindowHandle window)
{
    const platform::DrawContext context = platform::BeginPaint(window);
    PaintNote(window, context);
    platform::EndPaint(window, context);
    return 0;
}

LResult NoteWindowProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    switch (message) {
    case platform::wm::Destroy: return OnNoteDestroy(window);
    case platform::wm::Move:
    case platform::wm::Size: return OnNoteGeometry(window);
    case platform::wm::Activate: return OnNoteActivate(window, wParam);
    case platform::wm::Close: return OnNoteClose(window);
    case platform::wm::EraseBackground: return OnNoteErase(window, wParam);
    case platform::wm::Paint: return OnNotePaint(window);
    case platform::wm::KeyDown: HandleNoteKey(window, static_cast<std::uint32_t>(wParam)); return 0;
    case platform::wm::SysChar: return OnNoteSysChar(window, wParam);
    case platform::wm::SysCommand: return OnNoteSysCommand(window, wParam, lParam);
    case platform::wm::MouseMove: return OnNoteMouseMove(window, wParam, lParam);
    case platform::wm::LeftButtonDown: return OnNoteLeftDown(window, wParam, lParam);
    case platform::wm::LeftButtonUp: return OnNoteLeftUp(window, wParam, lParam);
    case platform::wm::LeftButtonDoubleClick: return OnNoteDoubleClick(window);
    case MSG_RAISE_NOTE: return OnRaiseNote(window);
    case MSG_END_EDIT: return OnNoteEndEdit(window);
    case platform::wm::RightButtonUp:
    case MSG_SHOW_NOTE_MENU: return OnNoteMenuRequest(window, lParam);
    default: return platform::DefaultWindowProc(window, message, wParam, lParam);
    }
}

}  // namespace

LResult WindowProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    // A child window (the editor) has a procedure of its own; whatever may
    // still reach this one for it is no note's business.
    if (platform::GetParentWindow(window) != 0) return platform::DefaultWindowProc(window, message, wParam, lParam);
    if ((mainWindow == 0 || window == mainWindow) && message != platform::wm::Command)
        return MainWindowProc(window, message, wParam, lParam);
    if (message == platform::wm::Command) return HandleCommand(window, wParam, lParam);
    return NoteWindowProc(window, message, wParam, lParam);
}
