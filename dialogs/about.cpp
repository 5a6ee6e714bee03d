// The about box. Its addresses live only in the captions of their buttons,
// so what a button says is what it opens; the box closes once an address
// has been handed on, whether or not the desktop had a program for it.
#include "dialogs/about.h"

#include "dialogs/shell_open.h"
#include "dialogs/templates.h"
#include "platform/dialog_box.h"
#include "platform/system.h"

namespace {

// An address is read with room for 100 units, its terminator included.
constexpr std::size_t kAddressUnits = 99;

platform::LResult OnAboutCommand(platform::WindowHandle dialog, int id)
{
    switch (id) {
    case platform::id::Ok:
    case platform::id::Cancel: platform::EndModalDialog(dialog, id); return 1;
    case IDC_ABOUT_MAIL:
    case IDC_ABOUT_WEB:
        OpenAboutLink(dialog, id);
        platform::EndModalDialog(dialog, platform::id::Ok);
        return 1;
    default: return 0;
    }
}

}  // namespace

int RunAboutDialog() { return RunDialogTemplate(kAboutDialog, AboutDialogProc, 0); }

platform::LResult AboutDialogProc(platform::WindowHandle dialog, std::uint32_t message, platform::WParam wParam,
                                  platform::LParam)
{
    switch (message) {
    case platform::wm::InitDialog:
        platform::SetControlText(dialog, IDC_ABOUT_VERSION, kProgramVersion);
        CentreDialog(dialog);
        return 1;
    case platform::wm::Command: return OnAboutCommand(dialog, static_cast<int>(platform::LowWord(wParam)));
    default: return 0;
    }
}

void OpenAboutLink(platform::WindowHandle dialog, int button)
{
    const std::u16string caption = platform::GetControlText(dialog, button).substr(0, kAddressUnits);
    ShellOpen(button == IDC_ABOUT_MAIL ? u"mailto:" + caption : caption);
}
