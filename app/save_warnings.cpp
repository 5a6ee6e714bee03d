// Telling the user that something could not be written. A message at the
// tray icon does not stop the user's work; when the icon is not shown (or
// the desktop has no tray), a message box does it instead, since nothing
// else would tell the user that changes are only in memory.
#include "app/save_warnings.h"

#include "app/tray.h"
#include "platform/system.h"
#include "store/app_state.h"
#include "store/records.h"

namespace {

constexpr char16_t kNotesNotSaved[] =
    u"付箋紙を保存できません。\n"
    u"ディスクの空き容量と、Data フォルダに\n"
    u"書き込めるかどうかを確認してください。\n"
    u"書き込めるようになると、次の保存でまとめて書き込まれます。";

constexpr char16_t kPeelNotLogged[] =
    u"ログファイルに書き込めないため、付箋紙をはがしませんでした。\n"
    u"ディスクの空き容量と、ログファイルに書き込めるかどうかを確認してください。";

constexpr std::uint32_t kWarningBox =
    platform::mb::Ok | platform::mb::IconExclamation | platform::mb::SetForeground;

void ShowWarningBox(const char16_t* text)
{
    const BusyGuard busy(dialogBusy);
    platform::ShowMessageBox(text, kBoxCaption, kWarningBox);
}

}  // namespace

void WarnNotesNotSaved()
{
    if (noteSettings.trayIcon != 0 && ShowTrayMessage(mainWindow, kBoxCaption, kNotesNotSaved)) return;
    ShowWarningBox(kNotesNotSaved);
}

void WarnPeelNotLogged() { ShowWarningBox(kPeelNotLogged); }
