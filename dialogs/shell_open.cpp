// Handing files and addresses to the desktop, and centring dialogs.
#include "dialogs/shell_open.h"

#include "platform/shell.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/messages.h"

bool ShellOpen(const std::u16string& file) { return platform::ShellExecuteOpen(u"open", file); }

void ShellOpenProgramFile(const std::u16string& file, std::uint32_t command)
{
    platform::ShellOpenFileOrNotify(file, mainWindow, MSG_NOT_OPENED, command);
}

void CentreDialog(platform::WindowHandle dialog)
{
    const platform::Rect screen = platform::GetScreenBounds();
    const platform::Rect bounds = platform::GetWindowBounds(dialog);
    // Halved with the remainder dropped toward zero, also when negative.
    const std::int32_t x = (screen.Width() - bounds.Width()) / 2;
    const std::int32_t y = (screen.Height() - bounds.Height()) / 2;
    platform::MoveAppWindow(dialog, {x, y, x + bounds.Width(), y + bounds.Height()}, false);
}
