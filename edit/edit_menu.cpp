// The editor's menu. Its items answer the menu, not the command dispatch:
// ids 127 to 129 act on the editor's selection here, where the commands of
// the same numbers act on a whole note. The menu is built anew each time, so
// its grey items always tell the editor's state.
#include "edit/edit_menu.h"

#include <array>
#include <string_view>

#include "edit/clipboard.h"
#include "platform/editor.h"
#include "platform/menu.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/messages.h"

namespace {

using platform::WindowHandle;

enum class GreyWhen { Never, NothingToUndo, NothingSelected, NoClipboardText };

struct EditMenuItem {
    std::uint32_t id = 0;  // 0: a separator
    std::u16string_view label;
    GreyWhen grey = GreyWhen::Never;
};

constexpr std::array kEditMenu = {
    EditMenuItem{CMD_EDIT_UNDO, u"元に戻す (&U)", GreyWhen::NothingToUndo},
    EditMenuItem{},
    EditMenuItem{CMD_CUT, u"切り取り (&T)", GreyWhen::NothingSelected},
    EditMenuItem{CMD_COPY, u"コピー (&C)", GreyWhen::NothingSelected},
    EditMenuItem{CMD_PASTE, u"貼り付け (&P)", GreyWhen::NoClipboardText},
    EditMenuItem{},
    EditMenuItem{CMD_EDIT_SELECT_ALL, u"すべて選択 (&A)"},
    EditMenuItem{},
    EditMenuItem{CMD_EDIT_END, u"編集終了 (&E)"},
};

bool IsGrey(GreyWhen rule, WindowHandle editor)
{
    switch (rule) {
    case GreyWhen::NothingToUndo: return !platform::EditorCanUndo(editor);
    case GreyWhen::NothingSelected: {
        const platform::TextSelection selection = platform::GetEditorSelection(editor);
        return selection.start == selection.end;
    }
    case GreyWhen::NoClipboardText: return !ClipboardHasText();
    case GreyWhen::Never: return false;
    }
    return false;
}

void BuildMenu(platform::MenuHandle menu, WindowHandle editor)
{
    for (const EditMenuItem& item : kEditMenu) {
        if (item.id == 0) {
            platform::AppendMenuItem(menu, platform::mf::Separator, 0, u"");
            continue;
        }
        const std::uint32_t flags = IsGrey(item.grey, editor) ? platform::mf::Grey : platform::mf::Plain;
        platform::AppendMenuItem(menu, flags, item.id, std::u16string(item.label));
    }
}

// Sent, not posted, so that each request passes the editor's procedure
// now: a paste grows the note before the text lands.
void CarryOut(WindowHandle editor, int chosen)
{
    namespace wm = platform::wm;
    switch (chosen) {
    case CMD_EDIT_UNDO: platform::SendWindowMessage(editor, wm::Undo, 0, 0); break;
    case CMD_CUT: platform::SendWindowMessage(editor, wm::Cut, 0, 0); break;
    case CMD_COPY: platform::SendWindowMessage(editor, wm::Copy, 0, 0); break;
    case CMD_PASTE: platform::SendWindowMessage(editor, wm::Paste, 0, 0); break;
    case CMD_EDIT_SELECT_ALL: platform::SendWindowMessage(editor, platform::em::SetSelection, 0, -1); break;
    case CMD_EDIT_END:
        platform::PostWindowMessage(platform::GetParentWindow(editor), MSG_END_EDIT, 0, 0);
        break;
    default: break;
    }
}

}  // namespace

void ShowEditMenu(WindowHandle editor, platform::Point screenPoint)
{
    const platform::MenuHandle menu = platform::CreatePopupMenuHandle();
    if (menu == 0) return;
    BuildMenu(menu, editor);
    platform::BringToForeground(platform::GetParentWindow(editor));
    int chosen = 0;
    {
        const BusyGuard busy(menuBusy);
        chosen = platform::TrackPopupMenuAt(
            menu, platform::tpm::LeftAlign | platform::tpm::TopAlign | platform::tpm::ReturnCommand, screenPoint,
            editor);
    }
    CarryOut(editor, chosen);
    platform::PostWindowMessage(editor, platform::wm::Null, 0, 0);
    platform::DestroyMenuHandle(menu);
}
