#!/usr/bin/env python3
"""The desktop's close on the real program: the window manager's close (as
its Alt+F4 does) and a plain WM_DELETE_WINDOW never remove a note. With
the tray icon on they hide it, which the data file records; the note's
record, text file and the log stay as they were, and the note comes back
from the tray menu. With the tray icon off the note stays where it is."""

import os
import sys

import desktop as d

texts = {"VLM00000.txt": "閉じないで", "VLM00001.txt": "second note"}
folder, data_dir, data_path = d.fresh_folder(sys.argv[1], [
    d.record_bytes((100, 120, 300, 180), file_name="VLM00000.txt"),
    d.record_bytes((400, 150, 560, 250), file_name="VLM00001.txt", back=0x008CFF60),
], texts)
log_path = os.path.join(folder, "VlmLog.txt")


def texts_intact():
    return all(d.read(os.path.join(data_dir, name)) == text.encode("utf-8") for name, text in texts.items())


p = d.start(folder)
first = d.wait_for(lambda: d.window_at(100, 120))
second = d.wait_for(lambda: d.window_at(400, 150))
d.check(first and second, "both stored notes are shown")

# The window manager's close of the note that has the keyboard: it asks the
# note to close.
d.check(d.start_settled(second), "the last note shown at start has the keyboard")
d.window_manager_close(second)
d.check(d.wait_for(lambda: d.window_at(400, 150) is None),
        "the window manager's close takes the note off the screen (first shown %s, keyboard at %s, stored %s)"
        % (d.window_at(100, 120) == first, d.focused_window(), d.shown_flags(data_path)))
d.check(d.wait_for(lambda: d.shown_flags(data_path) == [1, 0]), "the data file keeps both notes, the second hidden")
d.check(p.poll() is None, "the program keeps running")

# WM_DELETE_WINDOW sent straight to the other note, as task bars do.
d.close_request(first)
d.check(d.wait_for(lambda: d.window_at(100, 120) is None), "WM_DELETE_WINDOW hides the first note")
d.check(d.wait_for(lambda: d.shown_flags(data_path) == [0, 0]), "both notes are stored hidden")
d.check(texts_intact() and not os.path.exists(log_path), "the text files are untouched and nothing was logged")

# Both come back from the tray menu's "show all".
menus = d.tray_menu()
d.check(len(menus) == 1, "the tray menu opens: %s" % (menus,))
d.check(d.choose("d", "r"), "'表示／非表示 (&D)' → 'すべての付箋紙を再表示 (&R)' is chosen")
d.check(d.wait_for(lambda: d.window_at(100, 120) and d.window_at(400, 150)), "both notes come back")
d.check(d.wait_for(lambda: d.shown_flags(data_path) == [1, 1]), "both are stored shown again")

# With the tray icon off a hidden note could not be found again: the
# desktop's close changes nothing. Whether the program heard the close
# shows by a later key, which it reads after it: the window manager's own
# close goes through the window manager, which has passed it on once it
# has made the other note the active one.
first, second = d.window_at(100, 120), d.window_at(400, 150)
d.check(len(d.note_menu(450, 200)) == 1, "a right click opens the note's menu")
d.check(d.choose("h", "i"), "CeVelmo (&H) → TaskTray ICON (&I) is chosen")
d.check(d.wait_for(lambda: d.settings_tray_icon(d.read(data_path)) == 0),
        "the tray icon is switched off, and the data file says so")
d.close_request(first)
d.window_manager_close(first)
d.run("xdotool", "windowactivate", str(second))
d.check(d.wait_for(lambda: d.focused_window() == second), "the window manager makes the other note active")
d.key("Right")
d.check(d.wait_for(lambda: d.window_at(401, 150) == second), "the other note takes the keys after the close")
d.check(d.window_at(100, 120) == first, "without a tray icon the note stays on the screen")
d.check(d.shown_flags(data_path) == [1, 1] and texts_intact(), "the data file and the text files are as they were")
d.check(d.stop(p) == 0, "SIGTERM ends the program")
count, stored = d.records(d.read(data_path))
d.check(count == 2 and [d.record_file_name(r) for r in stored] == ["VLM00000.txt", "VLM00001.txt"],
        "both notes and their text files are stored at the end")
