// The tray icon of the main window and the main (tray) menu: creating notes,
// the list of hidden notes, hiding and showing all, and the application's
// own items.
#include "app/tray.h"

#include <algorithm>
#include <cstdio>

#include "app/app_state.h"
#include "app/messages.h"
#include "platform/menu.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/window.h"
#include "store/deletion_log.h"
#include "store/paths.h"
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

// Right and bottom edges at the point, the choice returned.
constexpr std::uint32_t kTrayMenuTrack =
    platform::tpm::RightAlign | platform::tpm::BottomAlign | platform::tpm::ReturnCommand;

// The list shows at most this many characters of a note's text, and marks
// texts longer than kShortText with "...".
constexpr std::size_t kLabelChars = 12;
constexpr std::size_t kShortText = 10;

void AppendItem(platform::MenuHandle menu, std::uint32_t id, const std::u16string& label, bool grey = false)
{
    platform::AppendMenuItem(menu, grey ? platform::mf::Grey : platform::mf::Plain, id, label);
}

void BuildApplicationMenu(platform::MenuHandle menu)
{
    AppendItem(menu, CMD_DEFAULT_FONT, u"Default Font (&F)");
    AppendItem(menu, CMD_SETTINGS, u"Setting (&S)");
    AppendItem(menu, CMD_HELP, u"Help (&H)", !IsExistingFile(helpPath));
    AppendItem(menu, CMD_ABOUT, u"About (&A)");
    platform::AppendMenuItem(menu, platform::mf::Separator, 0, u"");
    AppendItem(menu, CMD_EXIT, u"CeVelmo 終了 (&X)");
    platform::AppendMenuItem(menu, platform::mf::Separator, 0, u"");
    AppendItem(menu, CMD_UNINSTALL, u"Uninstall (&U)");
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
    return added;
}

void RemoveTrayIcon(platform::WindowHandle owner)
{
    platform::DeleteTrayIconEntry(TrayRegistration(owner));
}

int BuildNoteListMenu(platform::MenuHandle menu)
{
    std::int32_t hidden = 0;
    for (std::int32_t i = 0; i < noteTable.count; ++i) {
        const NoteRecord& note = noteTable.notes[i];
        if (note.shown != 0) continue;
        ++hidden;
        platform::AppendMenuItem(menu, platform::mf::Plain, CMD_SHOW_NOTE_BASE + static_cast<std::uint32_t>(i),
                                 NoteListLabel(note.text, i));
    }
    if (hidden > 0) platform::AppendMenuItem(menu, platform::mf::Separator, 0, u"");
    AppendItem(menu, CMD_HIDE_ALL, u"すべての付箋紙を非表示 (&H)", noteTable.count - hidden <= 0);
    AppendItem(menu, CMD_SHOW_ALL, u"すべての付箋紙を再表示 (&R)", hidden == 0);
    platform::AppendMenuItem(menu, platform::mf::Separator, 0, u"");
    AppendItem(menu, CMD_SHOW_LOG, u"ログ内容を表示 (&L)", !IsExistingFile(LogFilePath()));
    return 1;
}

// The menu opens with its bottom-right corner at the work area's, and the
// choice is posted as a command from a menu.
void ShowMainMenu(platform::WindowHandle window)
{
    const platform::Rect work = platform::GetWorkArea();
    const platform::MenuHandle top = platform::CreatePopupMenuHandle();
    const platform::MenuHandle noteList = platform::CreatePopupMenuHandle();
    const platform::MenuHandle application = platform::CreatePopupMenuHandle();

    AppendItem(top, CMD_NEW_NOTE, u"付箋紙の新規作成 (&N)");
    BuildNoteListMenu(noteList);
    platform::AppendMenuItem(top, platform::mf::Submenu, noteList, u"表示／非表示 (&D)");
    platform::AppendMenuItem(top, platform::mf::Separator, 0, u"");
    platform::AppendMenuItem(top, platform::mf::Submenu, application, u"CeVelmo (&H)");
    BuildApplicationMenu(application);

    platform::BringToForeground(window);
    const int chosen = platform::TrackPopupMenuAt(top, kTrayMenuTrack, {work.right, work.bottom}, window);
    if (chosen > 0) platform::PostWindowMessage(window, platform::wm::Command, static_cast<platform::WParam>(chosen), 1);
    platform::PostWindowMessage(window, platform::wm::Null, 0, 0);
    platform::DestroyMenuHandle(application);
    platform::DestroyMenuHandle(noteList);
    platform::DestroyMenuHandle(top);
}
