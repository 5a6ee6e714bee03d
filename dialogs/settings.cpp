// The settings dialog. The launchers are not stored anywhere: the dialog
// reads the special folders each time it opens and changes them on OK only,
// saying so when a ticked box's launcher cannot be made.
// The modifier boxes of the hotkey take effect in the settings the moment
// they are clicked, so closing the dialog any other way keeps them; all the
// rest is read on OK.
#include "dialogs/settings.h"

#include <array>
#include <optional>
#include <span>

#include "dialogs/shell_open.h"
#include "dialogs/shortcuts.h"
#include "dialogs/templates.h"
#include "platform/dialog_box.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/text.h"
#include "store/app_state.h"
#include "store/records.h"

namespace {

using platform::WindowHandle;

struct LauncherBox {
    int box;
    int folder;  // platform::csidl
    const char16_t* folderName;  // as the box names it
};
constexpr std::array kLauncherBoxes = {
    LauncherBox{IDC_SHORTCUT_DESKTOP, platform::csidl::Desktop, u"デスクトップ"},
    LauncherBox{IDC_SHORTCUT_STARTUP, platform::csidl::Startup, u"スタートアップ"}};
constexpr std::uint32_t kErrorBox =
    platform::mb::Ok | platform::mb::IconExclamation | platform::mb::SetForeground;

struct ModifierBox {
    int box;
    std::int32_t NoteSettings::*flag;
};
constexpr std::array kModifierBoxes = {ModifierBox{IDC_HOTKEY_ALT, &NoteSettings::hotkeyAlt},
                                       ModifierBox{IDC_HOTKEY_CTRL, &NoteSettings::hotkeyCtrl},
                                       ModifierBox{IDC_HOTKEY_SHIFT, &NoteSettings::hotkeyShift}};

// The input modes in their order: the box of inputMode n is kInputBoxes[n].
constexpr std::array kInputBoxes = {IDC_INPUT_ROMAJI, IDC_INPUT_KANA, IDC_INPUT_DIRECT};

void SelectOneOf(WindowHandle dialog, std::span<const int> boxes, int selected)
{
    for (const int box : boxes) platform::SetControlCheck(dialog, box, box == selected ? 1 : 0);
}

void SelectGesture(WindowHandle dialog, int box)
{
    static constexpr std::array kGestureBoxes = {IDC_GESTURE_CTRL_DOUBLE_CLICK, IDC_GESTURE_DOUBLE_CLICK};
    SelectOneOf(dialog, kGestureBoxes, box);
}

const ModifierBox* FindModifierBox(int box)
{
    for (const ModifierBox& modifier : kModifierBoxes)
        if (modifier.box == box) return &modifier;
    return nullptr;
}

platform::LResult OnSettingsInit(WindowHandle dialog)
{
    CentreDialog(dialog);
    for (const LauncherBox& launcher : kLauncherBoxes)
        platform::SetControlCheck(dialog, launcher.box, FindShortcut(modulePath, launcher.folder) ? 1 : 0);
    ShowHotkeyControls(dialog);
    SelectGesture(dialog, noteSettings.editGesture != 0 ? IDC_GESTURE_CTRL_DOUBLE_CLICK : IDC_GESTURE_DOUBLE_CLICK);
    // An input mode outside the three selects none, and OK then keeps it.
    const std::int32_t mode = noteSettings.inputMode;
    SelectOneOf(dialog, kInputBoxes, mode >= 0 && mode < static_cast<std::int32_t>(kInputBoxes.size()) ? kInputBoxes[mode] : 0);
    return 1;
}

// A ticked box whose launcher could not be made would otherwise just come
// back clear: the user hears why, and where a folder is missing, which.
void TellLauncherNotMade(const LauncherBox& launcher)
{
    const std::optional<std::u16string> folder = platform::GetSpecialFolderPath(launcher.folder);
    const std::u16string text =
        folder ? launcher.folderName + std::u16string(u"にショートカットを作成できませんでした。\n\n") + *folder
               : launcher.folderName + std::u16string(u"のフォルダがないため、\nショートカットを作成できませんでした。");
    platform::ShowMessageBox(text, kBoxCaption, kErrorBox);
}

// A ticked box wants a launcher: one is made when none is found; a clear
// box removes the launcher found, under whatever name it has.
void ApplyLauncher(WindowHandle dialog, const LauncherBox& launcher)
{
    const bool wanted = platform::GetControlCheck(dialog, launcher.box) != 0;
    const std::optional<std::u16string> found = FindShortcut(modulePath, launcher.folder);
    if (wanted && !found && !CreateShortcut(modulePath, launcher.folder)) TellLauncherNotMade(launcher);
    if (!wanted && found) platform::DeleteFileAt(*found);
}

void AcceptSettings(WindowHandle dialog)
{
    for (const LauncherBox& launcher : kLauncherBoxes) ApplyLauncher(dialog, launcher);
    ReadHotkeyControls(dialog);
    noteSettings.editGesture = platform::GetControlCheck(dialog, IDC_GESTURE_CTRL_DOUBLE_CLICK) != 0 ? 1 : 0;
    for (std::size_t mode = 0; mode < kInputBoxes.size(); ++mode) {
        if (platform::GetControlCheck(dialog, kInputBoxes[mode]) != 0) {
            noteSettings.inputMode = static_cast<std::int32_t>(mode);
            break;
        }
    }
    platform::EndModalDialog(dialog, platform::id::Ok);
}

platform::LResult OnSettingsCommand(WindowHandle dialog, int id)
{
    if (const ModifierBox* modifier = FindModifierBox(id)) {
        noteSettings.*(modifier->flag) = platform::GetControlCheck(dialog, id);
        EnableHotkeyEdit(dialog);
        return 1;
    }
    switch (id) {
    case platform::id::Ok: AcceptSettings(dialog); return 1;
    case platform::id::Cancel: platform::EndModalDialog(dialog, platform::id::Cancel); return 1;
    case IDC_GESTURE_CTRL_DOUBLE_CLICK:
    case IDC_GESTURE_DOUBLE_CLICK: SelectGesture(dialog, id); return 1;
    case IDC_INPUT_ROMAJI:
    case IDC_INPUT_KANA:
    case IDC_INPUT_DIRECT: SelectOneOf(dialog, kInputBoxes, id); return 1;
    default: return 0;
    }
}

}  // namespace

int RunSettingsDialog() { return RunDialogTemplate(kSettingsDialog, SettingsDialogProc, 0); }

platform::LResult SettingsDialogProc(WindowHandle dialog, std::uint32_t message, platform::WParam wParam,
                                     platform::LParam)
{
    switch (message) {
    case platform::wm::InitDialog: return OnSettingsInit(dialog);
    case platform::wm::Command: return OnSettingsCommand(dialog, static_cast<int>(platform::LowWord(wParam)));
    default: return 0;
    }
}

void ShowHotkeyControls(WindowHandle dialog)
{
    for (const ModifierBox& modifier : kModifierBoxes)
        platform::SetControlCheck(dialog, modifier.box, noteSettings.*(modifier.flag) != 0 ? 1 : 0);
    EnableHotkeyEdit(dialog);
    platform::SetControlText(dialog, IDC_HOTKEY_KEY, FieldText(noteSettings.hotkeyKey));
}

// The key is one character, in upper case: its code is the key registered.
void ReadHotkeyControls(WindowHandle dialog)
{
    for (const ModifierBox& modifier : kModifierBoxes)
        noteSettings.*(modifier.flag) = platform::GetControlCheck(dialog, modifier.box);
    const std::u16string key = platform::GetControlText(dialog, IDC_HOTKEY_KEY).substr(0, 1);
    SetFieldText(noteSettings.hotkeyKey, platform::ToUpperCase(key));
}

void EnableHotkeyEdit(WindowHandle dialog)
{
    const bool anyModifier = noteSettings.hotkeyAlt != 0 || noteSettings.hotkeyCtrl != 0 || noteSettings.hotkeyShift != 0;
    platform::EnableControl(dialog, IDC_HOTKEY_KEY, anyModifier);
}
