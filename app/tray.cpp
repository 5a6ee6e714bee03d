// The tray icon of the main window and the main (tray) menu: creating notes,
// the list of hidden notes, hiding and showing all, and the application's
// own items. The items are defined in note/menu_items.cpp; this file holds
// the menu's outline and the list of hidden notes.
#include "app/tray.h"

#include <algorithm>
#include <cstdio>

#include "note/menu_items.h"
#include "platform/menu.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/messages.h"
#include "store/records.h"

namespace {

constexpr std::uint32_t kTrayIconId = 1;
constexpr int kTrayIconSize = 16;

platform::TrayIconData TrayRegistration(platform::WindowHandle owner)
{
    platform::TrayIconData data;
    data.owner = owner;
    data.id = kTrayIconId;
    data.flags = platform::nif::Message | platform::nif::Icon | platform::nif::Tip;
    data.callbackMessage = MSG_TRAY_NOTIFY;
    return data;
}

// The menu opens with its bottom-right corner at the point, or, below an
// icon in a panel at the top of the screen, with its top-right corner.
constexpr std::uint32_t kTrayMenuAlignment = platform::tpm::RightAlign | platform::tpm::BottomAlign;
constexpr std::uint32_t kBelowIconAlignment = platform::tpm::RightAlign | platform::tpm::TopAlign;

// The list shows at most this many characters of a note's text, and marks
// texts longer than kShortText with "...".
constexpr std::size_t kLabelChars = 12;
constexpr std::size_t kShortText = 10;

constexpr MenuEntry kApplicationLines[] = {
    MenuItem(CMD_DEFAULT_FONT), MenuItem(CMD_SETTINGS), MenuItem(CMD_HELP), MenuItem(CMD_ABOUT),
    kMenuSeparator, MenuItem(CMD_EXIT),
    kMenuSeparator, MenuItem(CMD_UNINSTALL),
};

constexpr Submenu kNoteListMenu{u"表示／非表示 (&D)", {}, BuildNoteListMenu};
constexpr Submenu kApplicationMenu{kApplicationMenuLabel, kApplicationLines};

constexpr MenuEntry kTrayMenu[] = {
    MenuItem(CMD_NEW_NOTE),
    MenuOpens(kNoteListMenu),
    kMenuSeparator,
    MenuOpens(kApplicationMenu),
};

// Where the tray menu opens: the point and the tpm:: alignment of the
// menu's corner at it.
struct TrayMenuPlace {
    platform::Point at;
    std::uint32_t alignment = 0;
};

// Right-aligned with the rectangle; above it in the lower half of the
// screen (a bottom panel), below it in the upper half (a top panel), so that
// the menu never covers the icon. The platform keeps the menu on the screen.
TrayMenuPlace PlaceBeside(const platform::Rect& r)
{
    const platform::Rect screen = platform::GetScreenBounds();
    const bool lowerHalf = r.top + r.bottom > screen.top + screen.bottom;
    if (lowerHalf) return TrayMenuPlace{{r.right, r.top}, kTrayMenuAlignment};
    return TrayMenuPlace{{r.right, r.bottom}, kBelowIconAlignment};
}

// The tray may stand anywhere on a desktop, so the menu opens at the icon
// when the desktop tells where it is, or at the pointer that clicked it.
// Without either (a key, no icon on the screen) it opens at the work area's
// bottom-right corner.
TrayMenuPlace FindTrayMenuPlace(platform::WindowHandle window, bool clickedOnIcon)
{
    if (const auto icon = platform::GetTrayIconBounds(window, kTrayIconId)) return PlaceBeside(*icon);
    if (clickedOnIcon) {
        const platform::Point pointer = platform::GetPointerPosition();
        return PlaceBeside(platform::Rect{pointer.x, pointer.y, pointer.x, pointer.y});
    }
    const platform::Rect work = platform::GetWorkArea();
    return TrayMenuPlace{{work.right, work.bottom}, kTrayMenuAlignment};
}

}  // namespace

std::u16string NoteListLabel(const std::optional<std::u16string>& text, std::int32_t index)
{
    if (!text || text->empty()) {
        char label[64];
        std::snprintf(label, sizeof label, "付箋紙 No %d を表示する", static_cast<int>(index));
        return platform::FromUtf8(label);
    }
    const std::size_t n = std::min(text->size(), kLabelChars);
    std::u16string label;
    // A CR LF pair shows as two spaces; a pair that starts at the last
    // position is taken whole.
    for (std::size_t i = 0; i < n; ++i) {
        if ((*text)[i] == u'\r' && i + 1 < text->size() && (*text)[i + 1] == u'\n') {
            label += u"  ";
            ++i;
        } else {
            label += (*text)[i];
        }
    }
    label += text->size() > kShortText ? u"... を表示する" : u" を表示する";
    return label;
}

bool AddTrayIcon(platform::WindowHandle owner)
{
    platform::TrayIconData data = TrayRegistration(owner);
    data.icon = platform::LoadIconImage(platform::kProgramIcon, kTrayIconSize);
    data.tip = u"VELMO";
    const bool added = platform::AddTrayIconEntry(data);
    if (data.icon != 0) platform::DestroyIconImage(data.icon);
    if (added) OfferTrayMenu(owner);
    return added;
}

void OfferTrayMenu(platform::WindowHandle owner)
{
    WithMenuOutline(kTrayMenu, MenuContext{},
                    [owner](platform::MenuHandle menu) { platform::SetTrayIconMenu(TrayRegistration(owner), menu); });
}

void RemoveTrayIcon(platform::WindowHandle owner)
{
    platform::DeleteTrayIconEntry(TrayRegistration(owner));
}

bool ShowTrayMessage(platform::WindowHandle owner, const std::u16string& title, const std::u16string& text)
{
    return platform::ShowTrayIconMessage(TrayRegistration(owner), title, text);
}

int BuildNoteListMenu(platform::MenuHandle menu)
{
    bool listed = false;
    for (std::int32_t i = 0; i < noteTable.count; ++i) {
        const NoteRecord& note = noteTable.notes[i];
        if (note.shown == kNoteShown) continue;
        listed = true;
        platform::AppendMenuItem(menu, platform::mf::Plain, CMD_SHOW_NOTE_BASE + static_cast<std::uint32_t>(i),
                                 NoteListLabel(note.text, i));
    }
    if (listed) platform::AppendMenuItem(menu, platform::mf::Separator, 0, u"");
    const MenuContext program;
    AppendMenuCommand(menu, CMD_HIDE_ALL, program);
    AppendMenuCommand(menu, CMD_SHOW_ALL, program);
    platform::AppendMenuItem(menu, platform::mf::Separator, 0, u"");
    AppendMenuCommand(menu, CMD_SHOW_LOG, program);
    return 1;
}

// The choice is posted as a command from a menu.
void ShowMainMenu(platform::WindowHandle window, bool clickedOnIcon)
{
    const TrayMenuPlace place = FindTrayMenuPlace(window, clickedOnIcon);
    ShowMenuOutline(kTrayMenu, MenuContext{}, place.alignment, place.at, window);
}
