// The about box. The program has no mail address or web page of its own:
// the mail button is greyed, and the web button opens the help page (greyed
// while there is none) and closes the box.
#include "dialogs/about.h"

#include "dialogs/shell_open.h"
#include "dialogs/templates.h"
#include "platform/dialog_box.h"
#include "platform/system.h"
#include "store/messages.h"
#include "store/paths.h"
#include "store/records.h"

namespace {

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
        platform::EnableControl(dialog, IDC_ABOUT_MAIL, false);
        platform::EnableControl(dialog, IDC_ABOUT_WEB, IsExistingFile(helpPath));
        CentreDialog(dialog);
        return 1;
    case platform::wm::Command: return OnAboutCommand(dialog, static_cast<int>(platform::LowWord(wParam)));
    default: return 0;
    }
}

void OpenAboutLink(platform::WindowHandle, int button)
{
    if (button == IDC_ABOUT_WEB) ShellOpenProgramFile(helpPath, CMD_HELP);
}
