// A note's context menu: the outline of its six submenus with every action
// on the note (the items themselves are defined in menu_items.cpp); the
// peel-off prompt of the Delete key; and the colour chooser request.
// menuBusy is set while the menu is open.
#include "note/context_menu.h"

#include "note/menu_items.h"
#include "platform/system.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/messages.h"
#include "store/records.h"

namespace {

// The note's menu opens with its top-left corner at the point.
constexpr std::uint32_t kNoteMenuAlignment = platform::tpm::LeftAlign | platform::tpm::TopAlign;
constexpr std::size_t kPromptChars = 128;

constexpr MenuEntry kPeelLines[] = {
    MenuItem(CMD_PEEL_LOGGED), MenuItem(CMD_PEEL), kMenuSeparator, MenuItem(CMD_HIDE_NOTE),
};
constexpr MenuEntry kEditLines[] = {
    MenuItem(CMD_EDIT_DIRECT), kMenuSeparator,
    MenuItem(CMD_CUT), MenuItem(CMD_COPY), MenuItem(CMD_PASTE), kMenuSeparator,
    MenuItem(CMD_SAVE_TO_FILE), MenuItem(CMD_LOAD_FROM_FILE),
};
constexpr MenuEntry kColourLines[] = {MenuItem(CMD_TEXT_COLOUR), MenuItem(CMD_BACK_COLOUR)};
constexpr MenuEntry kLevelLines[] = {
    MenuItem(CMD_LEVEL_TOPMOST), MenuItem(CMD_LEVEL_NORMAL), MenuItem(CMD_LEVEL_BOTTOM),
};
constexpr MenuEntry kSizeLines[] = {MenuItem(CMD_AUTO_SIZE), MenuItem(CMD_TOGGLE_FIXED)};
constexpr MenuEntry kApplicationLines[] = {
    MenuItem(CMD_TOGGLE_TRAY_ICON), MenuItem(CMD_SETTINGS), MenuItem(CMD_HELP), MenuItem(CMD_ABOUT),
    kMenuSeparator, MenuItem(CMD_EXIT),
};

constexpr Submenu kPeelMenu{u"はがす (&D)", kPeelLines};
constexpr Submenu kEditMenu{u"編集 (&E)", kEditLines};
constexpr Submenu kColourMenu{u"色の変更 (&C)", kColourLines};
constexpr Submenu kLevelMenu{u"表示レベル (&L)", kLevelLines};
constexpr Submenu kSizeMenu{u"サイズと位置 (&S)", kSizeLines};
constexpr Submenu kApplicationMenu{kApplicationMenuLabel, kApplicationLines};

constexpr MenuEntry kNoteMenu[] = {
    MenuOpens(kPeelMenu),
    kMenuSeparator,
    MenuOpens(kEditMenu),
    MenuItem(CMD_NOTE_FONT),
    MenuOpens(kColourMenu),
    MenuOpens(kLevelMenu),
    MenuOpens(kSizeMenu),
    MenuItem(CMD_NEW_NOTE),
    kMenuSeparator,
    MenuOpens(kApplicationMenu),
};

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
    const BusyGuard busy(menuBusy);
    ShowNoteMenu(window, at);
    return 0;
}

void ShowNoteMenu(platform::WindowHandle window, platform::Point screenPoint)
{
    const NoteRecord* note = FindNote(window);
    if (note == nullptr) return;
    ShowMenuOutline(kNoteMenu, MenuContext{note}, kNoteMenuAlignment, screenPoint, window);
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
