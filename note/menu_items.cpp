// Every item of the tray menu and of a note's context menu, defined once,
// and the building, showing and tearing down of a menu from its outline.
#include "note/menu_items.h"

#include <vector>

#include "note/levels.h"
#include "platform/window.h"
#include "store/deletion_log.h"
#include "store/messages.h"
#include "store/paths.h"

namespace {

using platform::MenuHandle;
using Rule = bool (*)(const MenuContext&);

struct ItemDefinition {
    std::uint32_t command;
    std::u16string_view label;
    Rule grey = nullptr;    // greyed (cannot be chosen) while this holds
    Rule ticked = nullptr;  // shows a check mark while this holds
};

// The last shown note without a tray icon on the screen is the only way back
// into the program: it cannot be peeled off or hidden from its menu, and
// the notes cannot all be hidden at once.
bool LastWayBack(const MenuContext&) { return CountShownNotes() <= 1 && !TrayIconShown(); }
bool LastWayBackOrNoText(const MenuContext& c)
{
    return LastWayBack(c) || c.note == nullptr || !HasText(*c.note);
}
bool HelpMissing(const MenuContext&) { return !IsExistingFile(helpPath); }
bool LogMissing(const MenuContext&) { return !IsExistingFile(LogFilePath()); }
bool NoneShownOrNoWayBack(const MenuContext&) { return CountShownNotes() == 0 || !TrayIconShown(); }
bool NoneHidden(const MenuContext&) { return CountShownNotes() == noteTable.count; }
// The setting as stored, whether or not a tray shows the icon now.
bool TrayIconOn(const MenuContext&) { return noteSettings.trayIcon != 0; }
bool Topmost(const MenuContext& c) { return c.note != nullptr && c.note->zLevel == platform::z::Topmost; }
bool Bottom(const MenuContext& c) { return c.note != nullptr && c.note->zLevel == platform::z::Bottom; }
bool NormalLevel(const MenuContext& c) { return c.note != nullptr && !Topmost(c) && !Bottom(c); }
bool Fixed(const MenuContext& c) { return c.note != nullptr && c.note->fixed != 0; }
bool Always(const MenuContext&) { return true; }

constexpr ItemDefinition kItems[] = {
    // The application's own items, in the tray menu and a note's menu.
    {CMD_NEW_NOTE, u"付箋紙の新規作成 (&N)"},
    {CMD_DEFAULT_FONT, u"Default Font (&F)"},
    {CMD_TOGGLE_TRAY_ICON, u"TaskTray ICON (&I)", nullptr, TrayIconOn},
    {CMD_SETTINGS, u"Setting (&S)"},
    {CMD_HELP, u"Help (&H)", HelpMissing},
    {CMD_ABOUT, u"About (&A)"},
    {CMD_EXIT, u"CeVelmo 終了 (&X)"},
    {CMD_UNINSTALL, u"Uninstall (&U)"},
    // The tray menu's list of notes.
    {CMD_HIDE_ALL, u"すべての付箋紙を非表示 (&H)", NoneShownOrNoWayBack},
    {CMD_SHOW_ALL, u"すべての付箋紙を再表示 (&R)", NoneHidden},
    {CMD_SHOW_LOG, u"ログ内容を表示 (&L)", LogMissing},
    // A note's menu.
    {CMD_PEEL_LOGGED, u"はがす（ログ出力あり） (&L)", LastWayBackOrNoText},
    {CMD_PEEL, u"はがす（ログ出力なし） (&N)", LastWayBack},
    {CMD_HIDE_NOTE, u"非表示 (&H)", LastWayBack},
    {CMD_EDIT_DIRECT, u"直接編集 (&E)"},
    {CMD_CUT, u"切り取り (&T)"},
    {CMD_COPY, u"コピー (&C)"},
    {CMD_PASTE, u"貼り付け (&P)"},
    {CMD_SAVE_TO_FILE, u"ファイルへ保存 (&S)"},
    {CMD_LOAD_FROM_FILE, u"ファイルから取得 (&G)"},
    {CMD_NOTE_FONT, u"フォントの変更 (&F)"},
    {CMD_TEXT_COLOUR, u"文字色の変更 (&T)"},
    {CMD_BACK_COLOUR, u"背景色の変更 (&B)"},
    {CMD_LEVEL_TOPMOST, u"常に前面に表示 (&T)", nullptr, Topmost},
    {CMD_LEVEL_NORMAL, u"通常レベルで表示 (&N)", nullptr, NormalLevel},
    // The bottom level can be seen in a note's menu but not chosen.
    {CMD_LEVEL_BOTTOM, u"常に最下位に表示 (&B)", Always, Bottom},
    {CMD_AUTO_SIZE, u"サイズの自動調整 (&A)", Fixed},
    {CMD_TOGGLE_FIXED, u"サイズと位置を固定 (&F)", nullptr, Fixed},
};

constexpr bool CommandsAreUnique()
{
    for (std::size_t i = 0; i < std::size(kItems); ++i)
        for (std::size_t j = i + 1; j < std::size(kItems); ++j)
            if (kItems[i].command == kItems[j].command) return false;
    return true;
}
static_assert(CommandsAreUnique(), "a command has two menu items");

const ItemDefinition* FindItem(std::uint32_t command)
{
    for (const ItemDefinition& item : kItems)
        if (item.command == command) return &item;
    return nullptr;
}

// The popup menus of one showing, destroyed together (the last made first)
// when it ends.
class PopupMenus {
public:
    PopupMenus() = default;
    PopupMenus(const PopupMenus&) = delete;
    PopupMenus& operator=(const PopupMenus&) = delete;
    ~PopupMenus()
    {
        for (auto menu = made_.rbegin(); menu != made_.rend(); ++menu) platform::DestroyMenuHandle(*menu);
    }

    MenuHandle Build(std::span<const MenuEntry> outline, const MenuContext& context)
    {
        const MenuHandle menu = Make();
        for (const MenuEntry& entry : outline) Append(menu, entry, context);
        return menu;
    }

private:
    MenuHandle Make()
    {
        made_.push_back(platform::CreatePopupMenuHandle());
        return made_.back();
    }

    void Append(MenuHandle menu, const MenuEntry& entry, const MenuContext& context)
    {
        if (entry.submenu != nullptr) {
            const Submenu& submenu = *entry.submenu;
            MenuHandle inner = 0;
            if (submenu.fill != nullptr) {
                inner = Make();
                submenu.fill(inner);
            } else {
                inner = Build(submenu.entries, context);
            }
            platform::AppendMenuItem(menu, platform::mf::Submenu, inner, std::u16string(submenu.label));
        } else if (entry.command != 0) {
            AppendMenuCommand(menu, entry.command, context);
        } else {
            platform::AppendMenuItem(menu, platform::mf::Separator, 0, u"");
        }
    }

    std::vector<MenuHandle> made_;
};

}  // namespace

void AppendMenuCommand(MenuHandle menu, std::uint32_t command, const MenuContext& context)
{
    const ItemDefinition* item = FindItem(command);
    if (item == nullptr) return;
    std::uint32_t flags = platform::mf::Plain;
    if (item->grey != nullptr && item->grey(context)) flags |= platform::mf::Grey;
    if (item->ticked != nullptr && item->ticked(context)) flags |= platform::mf::Checked;
    platform::AppendMenuItem(menu, flags, command, std::u16string(item->label));
}

void WithMenuOutline(std::span<const MenuEntry> outline, const MenuContext& context,
                     const std::function<void(MenuHandle)>& use)
{
    PopupMenus menus;
    use(menus.Build(outline, context));
}

void ShowMenuOutline(std::span<const MenuEntry> outline, const MenuContext& context, std::uint32_t alignment,
                     platform::Point at, platform::WindowHandle owner)
{
    PopupMenus menus;
    const MenuHandle top = menus.Build(outline, context);
    platform::BringToForeground(owner);
    const int chosen = platform::TrackPopupMenuAt(top, alignment | platform::tpm::ReturnCommand, at, owner);
    if (chosen > 0) PostCommand(owner, static_cast<std::uint32_t>(chosen), 1);
    platform::PostWindowMessage(owner, platform::wm::Null, 0, 0);
}
