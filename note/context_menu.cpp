// A note's context menu: six submenus with every action on the note, with
// their check marks and greyed items; the peel-off prompt of the Delete key;
// and the colour chooser request. menuBusy is set while the menu is open.
#include "note/context_menu.h"

#include <array>

#include "app/app_state.h"
#include "app/messages.h"
#include "app/note_windows.h"
#include "note/levels.h"
#include "platform/menu.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/paths.h"
#include "store/records.h"

namespace {

using platform::MenuHandle;

constexpr std::uint32_t kNoteMenuTrack =
    platform::tpm::LeftAlign | platform::tpm::TopAlign | platform::tpm::ReturnCommand;
constexpr std::size_t kPromptChars = 128;

std::uint32_t ItemFlags(bool grey, bool checked = false)
{
    return (grey ? platform::mf::Grey : platform::mf::Plain) | (checked ? platform::mf::Checked : 0);
}

void Item(MenuHandle menu, std::uint32_t id, const std::u16string& label, bool grey = false, bool checked = false)
{
    platform::AppendMenuItem(menu, ItemFlags(grey, checked), id, label);
}

void Separator(MenuHandle menu) { platform::AppendMenuItem(menu, platform::mf::Separator, 0, u""); }

void Submenu(MenuHandle menu, MenuHandle submenu, const std::u16string& label)
{
    platform::AppendMenuItem(menu, platform::mf::Submenu, submenu, label);
}

bool HasText(const NoteRecord& note) { return note.text && !note.text->empty(); }

// The last shown note without a tray icon is the only way back into the
// program: it cannot be peeled off or hidden from its menu.
void FillPeelMenu(MenuHandle menu, const NoteRecord& note)
{
    const bool guard = CountShownNotes() <= 1 && noteSettings.trayIcon == 0;
    Item(menu, CMD_PEEL_LOGGED, u"はがす（ログ出力あり） (&L)", guard || !HasText(note));
    Item(menu, CMD_PEEL, u"はがす（ログ出力なし） (&N)", guard);
    Separator(menu);
    Item(menu, CMD_HIDE_NOTE, u"非表示 (&H)", guard);
}

void FillEditMenu(MenuHandle menu)
{
    Item(menu, CMD_EDIT_DIRECT, u"直接編集 (&E)");
    Separator(menu);
    Item(menu, CMD_CUT, u"切り取り (&T)");
    Item(menu, CMD_COPY, u"コピー (&C)");
    Item(menu, CMD_PASTE, u"貼り付け (&P)");
    Separator(menu);
    Item(menu, CMD_SAVE_TO_FILE, u"ファイルへ保存 (&S)");
    Item(menu, CMD_LOAD_FROM_FILE, u"ファイルから取得 (&G)");
}

void FillColourMenu(MenuHandle menu)
{
    Item(menu, CMD_TEXT_COLOUR, u"文字色の変更 (&T)");
    Item(menu, CMD_BACK_COLOUR, u"背景色の変更 (&B)");
}

// The bottom level can be seen here but not chosen.
void FillLevelMenu(MenuHandle menu, const NoteRecord& note)
{
    const bool topmost = note.zLevel == platform::z::Topmost;
    const bool bottom = note.zLevel == platform::z::Bottom;
    Item(menu, CMD_LEVEL_TOPMOST, u"常に前面に表示 (&T)", false, topmost);
    Item(menu, CMD_LEVEL_NORMAL, u"通常レベルで表示 (&N)", false, !topmost && !bottom);
    Item(menu, CMD_LEVEL_BOTTOM, u"常に最下位に表示 (&B)", true, bottom);
}

void FillSizeMenu(MenuHandle menu, const NoteRecord& note)
{
    Item(menu, CMD_AUTO_SIZE, u"サイズの自動調整 (&A)", note.fixed != 0);
    Item(menu, CMD_TOGGLE_FIXED, u"サイズと位置を固定 (&F)", false, note.fixed != 0);
}

void FillApplicationMenu(MenuHandle menu)
{
    Item(menu, CMD_TOGGLE_TRAY_ICON, u"TaskTray ICON (&I)", false, noteSettings.trayIcon != 0);
    Item(menu, CMD_SETTINGS, u"Setting (&S)");
    Item(menu, CMD_HELP, u"Help (&H)", !IsExistingFile(helpPath));
    Item(menu, CMD_ABOUT, u"About (&A)");
    Separator(menu);
    Item(menu, CMD_EXIT, u"CeVelmo 終了 (&X)");
}

enum { kTop, kPeel, kEdit, kSize, kColour, kLevel, kApplication, kMenuCount };

void FillNoteMenu(const std::array<MenuHandle, kMenuCount>& m, const NoteRecord& note)
{
    FillPeelMenu(m[kPeel], note);
    FillEditMenu(m[kEdit]);
    FillColourMenu(m[kColour]);
    FillLevelMenu(m[kLevel], note);
    FillSizeMenu(m[kSize], note);
    FillApplicationMenu(m[kApplication]);
    Submenu(m[kTop], m[kPeel], u"はがす (&D)");
    Separator(m[kTop]);
    Submenu(m[kTop], m[kEdit], u"編集 (&E)");
    Item(m[kTop], CMD_NOTE_FONT, u"フォントの変更 (&F)");
    Submenu(m[kTop], m[kColour], u"色の変更 (&C)");
    Submenu(m[kTop], m[kLevel], u"表示レベル (&L)");
    Submenu(m[kTop], m[kSize], u"サイズと位置 (&S)");
    Item(m[kTop], CMD_NEW_NOTE, u"付箋紙の新規作成 (&N)");
    Separator(m[kTop]);
    Submenu(m[kTop], m[kApplication], u"CeVelmo (&H)");
}

int AskPeel(const std::u16string& text, std::uint32_t buttons)
{
    return platform::ShowMessageBox(text, kBoxCaption, buttons | platform::mb::IconQuestion | platform::mb::SetForeground);
}

}  // namespace

platform::LResult OnNoteMenuRequest(platform::WindowHandle window, platform::LParam point)
{
    if (dialogBusy != 0 || menuBusy != 0) return 0;
    const platform::Rect bounds = platform::GetWindowBounds(window);
    const platform::Point at{platform::LowSigned(point) + bounds.left, platform::HighSigned(point) + bounds.top};
    menuBusy = 1;
    ShowNoteMenu(window, at);
    menuBusy = 0;
    return 0;
}

void ShowNoteMenu(platform::WindowHandle window, platform::Point screenPoint)
{
    const NoteRecord* note = FindNote(window);
    if (note == nullptr) return;
    std::array<MenuHandle, kMenuCount> menus{};
    for (MenuHandle& menu : menus) menu = platform::CreatePopupMenuHandle();
    FillNoteMenu(menus, *note);

    platform::BringToForeground(window);
    const int chosen = platform::TrackPopupMenuAt(menus[kTop], kNoteMenuTrack, screenPoint, window);
    if (chosen > 0) platform::PostWindowMessage(window, platform::wm::Command, static_cast<platform::WParam>(chosen), 1);
    platform::PostWindowMessage(window, platform::wm::Null, 0, 0);
    for (MenuHandle menu : menus) platform::DestroyMenuHandle(menu);
}

void PromptPeel(platform::WindowHandle window)
{
    const NoteRecord* found = FindNote(window);
    if (found == nullptr) return;
    const NoteRecord& note = *found;
    if (HasText(note)) {
        const std::u16string text =
            u"次の内容の付箋紙をはがします。ログ出力しますか？\n\n" + note.text->substr(0, kPromptChars);
        const int answer = AskPeel(text, platform::mb::YesNoCancel);
        if (answer == platform::id::Yes) PostCommand(window, CMD_PEEL_LOGGED, 0);
        if (answer == platform::id::No) PostCommand(window, CMD_PEEL, 0);
    } else if (AskPeel(u"この付箋紙（内容なし）をはがしますか？", platform::mb::YesNo) == platform::id::Yes) {
        PostCommand(window, CMD_PEEL, 0);
    }
}

void PrepareColorDialog(platform::ColorRequest& request, std::uint32_t initialColor, std::uint32_t* customColors)
{
    request = platform::ColorRequest{};
    request.color = initialColor;
    request.customColors = customColors;
    request.flags = platform::cc::RgbInit;
}
