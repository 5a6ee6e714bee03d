#!/usr/bin/env python3
"""Hiding a note from its menu and showing it again from the tray menu's
list of hidden notes, on the real program. Needs the note commands that
hide and show a note (CMD_HIDE_NOTE, CMD_SHOW_NOTE)."""

import os
import sys

import desktop as d

# Note 0 is stored hidden; note 1 is shown.
folder, data_dir, data_path = d.fresh_folder(sys.argv[1], [
    d.record_bytes((100, 120, 300, 180), shown=0, file_name="VLM00000.txt"),
    d.record_bytes((400, 150, 520, 250), file_name="VLM00001.txt"),
], {"VLM00000.txt": "一枚目", "VLM00001.txt": "二枚目"})


p = d.start(folder)
notes = d.wait_for(d.note_windows)
d.check(len(notes) == 1 and d.geometry(notes[0])[:2] == (400, 150), "only the shown note is mapped")

d.check(len(d.note_menu(430, 170)) == 1, "a right click opens the note's menu")
d.check(d.choose("d", "h"), "はがす (&D) → 非表示 (&H) is chosen")
d.check(d.wait_for(lambda: d.note_windows() == []), "'非表示 (&H)' hides the note")
d.check(d.wait_for(lambda: d.shown_flags(data_path) == [0, 0]), "the data file stores both notes hidden")

# The tray menu lists both hidden notes in table order; the second entry
# shows note 1 alone ("show all" would show both).
d.check(len(d.tray_menu()) == 1, "the tray menu opens")
d.key("d")
d.check(len(d.menus_shown(2)) == 2, "'表示／非表示 (&D)' opens the list of hidden notes")
d.key("Down", "Return")
shown = d.wait_for(d.note_windows)
d.check(len(shown) == 1 and d.geometry(shown[0])[:2] == (400, 150),
        "choosing the second listed note shows that note only")
d.check(d.wait_for(lambda: d.shown_flags(data_path) == [0, 1]), "the data file stores it shown again")
d.check(sorted(n for n in os.listdir(data_dir) if n.startswith("VLM")) == ["VLM00000.txt", "VLM00001.txt"],
        "the text files stay as they were")
d.check(d.stop(p) == 0, "SIGTERM ends the program")
