// The program's own window messages and command ids. Commands travel as
// wm::Command with the id in the low 16 bits of wParam; lParam is 1 when a
// popup menu chose the command and 0 when program code posted it. They live
// at the bottom of the system's own code because notes, the editor and the
// shell all post them.
#pragma once

#include <cstdint>

#include "platform/types.h"

inline constexpr std::uint32_t MSG_TRAY_NOTIFY = 1324;
inline constexpr std::uint32_t MSG_SHOW_MAIN_MENU = 1325;
inline constexpr std::uint32_t MSG_RAISE_NOTE = 1329;
// To a note: open its context menu at the client point in lParam (as a
// right-button release carries it). Alt+click and the P keys ask with it.
inline constexpr std::uint32_t MSG_SHOW_NOTE_MENU = 1330;
inline constexpr std::uint32_t MSG_END_EDIT = 1334;
inline constexpr std::uint32_t MSG_EDIT_MENU = 1374;
// To the main window: a note's text or the data file could not be written;
// tell the user (store/save_trouble.h).
inline constexpr std::uint32_t MSG_NOTES_NOT_SAVED = 1391;
// To the main window: the desktop has no application for one of the
// program's own files; wParam is the command that opened it (CMD_HELP,
// CMD_SHOW_LOG). Tell the user what is needed.
inline constexpr std::uint32_t MSG_NOT_OPENED = 1392;
// To the main window: files in the Data folder changed
// (platform/folder_watch.h); the notes are brought in line with them.
inline constexpr std::uint32_t MSG_DATA_FOLDER_CHANGED = 1393;

inline constexpr int HOTKEY_ID = 0x5000;

inline constexpr std::uint32_t CMD_ABOUT = 105;
inline constexpr std::uint32_t CMD_SETTINGS = 106;
inline constexpr std::uint32_t CMD_NOTE_FONT = 107;
inline constexpr std::uint32_t CMD_DEFAULT_FONT = 108;
inline constexpr std::uint32_t CMD_TOGGLE_TRAY_ICON = 109;
inline constexpr std::uint32_t CMD_EXIT = 110;
inline constexpr std::uint32_t CMD_NEW_NOTE = 111;
inline constexpr std::uint32_t CMD_PEEL_LOGGED = 112;
inline constexpr std::uint32_t CMD_PEEL = 113;
inline constexpr std::uint32_t CMD_TEXT_COLOUR = 114;
inline constexpr std::uint32_t CMD_BACK_COLOUR = 115;
inline constexpr std::uint32_t CMD_EDIT_DIRECT = 116;
inline constexpr std::uint32_t CMD_SAVE_DATA = 117;
inline constexpr std::uint32_t CMD_LEVEL_TOPMOST = 118;
inline constexpr std::uint32_t CMD_LEVEL_NORMAL = 119;
inline constexpr std::uint32_t CMD_LEVEL_BOTTOM = 120;
inline constexpr std::uint32_t CMD_HIDE_ALL = 121;
inline constexpr std::uint32_t CMD_SHOW_ALL = 122;
inline constexpr std::uint32_t CMD_HIDE_NOTE = 123;
inline constexpr std::uint32_t CMD_SHOW_NOTE = 124;
inline constexpr std::uint32_t CMD_SHOW_LOG = 125;
inline constexpr std::uint32_t CMD_EDIT_UNDO = 126;
inline constexpr std::uint32_t CMD_CUT = 127;
inline constexpr std::uint32_t CMD_COPY = 128;
inline constexpr std::uint32_t CMD_PASTE = 129;
inline constexpr std::uint32_t CMD_EDIT_SELECT_ALL = 130;
inline constexpr std::uint32_t CMD_EDIT_END = 131;
inline constexpr std::uint32_t CMD_AUTO_SIZE = 132;
inline constexpr std::uint32_t CMD_TOGGLE_FIXED = 133;
inline constexpr std::uint32_t CMD_SAVE_TO_FILE = 134;
inline constexpr std::uint32_t CMD_LOAD_FROM_FILE = 135;
inline constexpr std::uint32_t CMD_HELP = 136;
inline constexpr std::uint32_t CMD_UNINSTALL = 137;
inline constexpr std::uint32_t CMD_SHOW_NOTE_BASE = 1000;

// Posts a command as program code does (lParam 0) or as a menu does (1).
bool PostCommand(platform::WindowHandle window, std::uint32_t id, platform::LParam origin = 0);
