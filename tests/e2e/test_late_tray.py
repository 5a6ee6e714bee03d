#!/usr/bin/env python3
"""A desktop whose tray starts after the program, as at login, and whose
tray host later restarts. While no tray is there the program shows a note
and keeps the last note from being hidden; the icon comes with every tray
that starts, and the tray menu opens at the icon. Runs on a desktop begun
without a tray (DESKTOP_TRAY=none)."""

import os
import sys

import desktop as d

program = sys.argv[1]
folder = d.program_folder(program)
data_path = os.path.join(folder, "Data", "CeVlmDat.bin")

d.check(d.tray_icon() is None and "trayer" not in d.run("xwininfo", "-root", "-tree"),
        "the desktop starts without a tray")
p = d.start(folder)
notes = d.wait_for(d.note_windows)
d.check(len(notes) == 1, "with no tray to show its icon, the program shows one new note")
note = notes[0]

# The note's menu offers no way to leave nothing on the screen.
left, top, width, height = d.geometry(note)
middle = (left + width // 2, top + height // 2)
d.check(len(d.note_menu(*middle)) == 1, "a right click opens the note's menu")
d.key("d")
d.check(len(d.menus_shown(2)) == 2, "はがす (&D) opens its submenu")
d.key("h", "Escape")  # 非表示 (&H) is greyed: the submenu stays until Escape
d.check(len(d.menus_shown(1)) == 1 and d.choose("Escape"), "Escape closes the submenu, then the menu")
d.check(d.note_windows() == [note], "'非表示 (&H)' does not hide the last note while no tray is there")

host = d.start_tray()
icon = d.wait_for(d.tray_icon)
d.check(icon is not None, "the icon appears in a tray that starts after the program")

# The tray menu opens beside the icon: its right edge on the icon's, its
# bottom on the icon's top (the tray is a panel at the bottom), kept inside
# the work area that the panel leaves.
left, top, width, height = d.geometry(icon)
menus = d.tray_menu()
d.check(len(menus) == 1, "a click on the icon opens the tray menu")
m_left, m_top, m_width, m_height = menus[0]
d.check((m_left + m_width, m_top + m_height) == (left + width, min(top, d.work_area()[3])),
        "the tray menu stands on the icon, right-aligned: menu %s, icon %s, work area %s"
        % (menus[0], (left, top, width, height), d.work_area()))
d.check(d.choose("Escape"), "Escape closes the tray menu")

# With the icon on the screen the last note may be hidden.
d.check(len(d.note_menu(*middle)) == 1, "the note's menu opens again")
d.check(d.choose("d", "h"), "はがす (&D) → 非表示 (&H) is chosen")
d.check(d.wait_for(lambda: d.note_windows() == []), "'非表示 (&H)' hides the note now that the icon is there")

# The tray host ends and starts again: the icon comes back into the new tray.
d.stop_tray(host)
host = d.start_tray()
d.check(d.wait_for(d.tray_icon) is not None, "the icon comes back when the tray host starts again")

d.check(d.stop(p) == 0, "SIGTERM ends the program")
count, stored = d.records(d.read(data_path))
d.check(count == 1 and d.record_shown(stored[0]) == 0, "the data file holds the hidden note")
d.check(d.settings_tray_icon(d.read(data_path)) == 1, "the tray icon setting is stored on")
