// The program's dialog templates (about box, settings, font selection) and
// the ids of their controls. The templates are data: the platform lays
// them out from the dialog font and runs them with the dialogs' procedures.
#pragma once

#include "platform/dialog_box.h"

inline constexpr int kAboutDialog = 102;
inline constexpr int kSettingsDialog = 103;
inline constexpr int kFontDialog = 104;

// The template with this resource number, or null when there is none.
const platform::DialogTemplate* FindDialogTemplate(int resourceId);

// Runs the template with this resource number modally with its procedure
// and creation parameter; the dialog's result, or 0 when it did not open
// (no such template, or the desktop could not make it).
int RunDialogTemplate(int resourceId, platform::WindowProcFn procedure, platform::LParam parameter);

// Shared by the about box and the settings dialog: the program's icon.
inline constexpr int IDC_PROGRAM_ICON = 101;

// About box.
inline constexpr int IDC_ABOUT_VERSION = 100;
inline constexpr int IDC_ABOUT_MAIL = 145;
inline constexpr int IDC_ABOUT_WEB = 146;

// Settings dialog.
inline constexpr int IDC_HOTKEY_KEY = 143;
inline constexpr int IDC_SHORTCUT_DESKTOP = 147;
inline constexpr int IDC_SHORTCUT_STARTUP = 148;
inline constexpr int IDC_HOTKEY_ALT = 149;
inline constexpr int IDC_HOTKEY_CTRL = 150;
inline constexpr int IDC_HOTKEY_SHIFT = 151;
inline constexpr int IDC_GESTURE_CTRL_DOUBLE_CLICK = 152;
inline constexpr int IDC_GESTURE_DOUBLE_CLICK = 153;
inline constexpr int IDC_INPUT_ROMAJI = 154;
inline constexpr int IDC_INPUT_KANA = 155;
inline constexpr int IDC_INPUT_DIRECT = 156;

// Font selection dialog. CMD_FONT_PREVIEW has no control: the dialog posts
// it to itself to redraw the sample.
inline constexpr int IDC_FONT_FACE = 140;
inline constexpr int IDC_FONT_SIZE = 141;
inline constexpr int IDC_FONT_WEIGHT = 142;
inline constexpr int IDC_FONT_SAMPLE = 143;
inline constexpr int CMD_FONT_PREVIEW = 144;
inline constexpr int IDC_FONT_ITALIC = 147;
