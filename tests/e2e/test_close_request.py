#!/usr/bin/env python3
"""The desktop's close on the real program: Alt+F4 through the window
manager and a plain WM_DELETE_WINDOW never remove a note. With the tray
icon on they hide it, which the data file records; the note's record, text
file and the log stay as they were, and the note comes back from the tray
menu. With the tray icon off the note stays where it is."""

import os
import sys

import desktop as d

program = sys.argv[1]
folder = d.program_folder(program)
data_dir = os.path.join(folder, "Data")
data_path = os.path.join(data_dir, "CeVlmDat.bin")
log_path = os.path.join(folder, "VlmLog.txt")
os.makedirs(data_dir)
with open(data_path, "wb") as f:
    f.write(d.data_file([
        d.record_bytes((100, 120, 300, 180), file_name="VLM00000.txt"),
        d.record_bytes((400, 150, 560, 250), file_name="VLM00001.txt", back=0x008CFF60),
    ]))
texts = {"VLM00000.txt": "閉じないで", "VLM00001.txt": "second note"}
for name, text in texts.items():
    with open(os.path.join(data_dir, name), "wb") as f:
        f.write(text.encode("utf-8"))


def shown_flags():
    count, stored = d.records(d.read(data_path))
    return [d.record_shown(r) for r in stored]


def texts_intact():
    return all(d.read(os.path.join(data_dir, name)) == text.encode("utf-8") for name, text in texts.items())


p = d.start(folder)
first = d.wait_for(lambda: d.window_at(100, 120))
second = d.wait_for(lambda: d.window_at(400, 150))
d.check(first and second, "both stored notes are shown")

# Alt+F4 on the focused note: the window manager asks it to close.
d.click(200, 150)
d.check(d.wait_for(lambda: d.run("xdotool", "getwindowfocus").strip() == str(first)), "a click focuses the note")
d.run("xdotool", "key", "alt+F4")
d.check(d.wait_for(lambda: d.window_at(100, 120) is None, timeout=5), "Alt+F4 takes the note off the screen")
d.check(d.wait_for(lambda: shown_flags() == [0, 1], timeout=3), "the data file keeps both notes, the first hidden")
d.check(p.poll() is None, "the program keeps running")

# WM_DELETE_WINDOW sent straight to the other note, as task bars do.
d.close_request(second)
d.check(d.wait_for(lambda: d.window_at(400, 150) is None, timeout=5), "WM_DELETE_WINDOW hides the second note")
d.check(d.wait_for(lambda: shown_flags() == [0, 0], timeout=3), "both notes are stored hidden")
d.check(texts_intact() and not os.path.exists(log_path), "the text files are untouched and nothing was logged")

# Both come back from the tray menu's "show all".
d.click_window(d.wait_for(d.tray_icon))
d.check(len(d.wait_for(d.popup_menus)) == 1, "the tray menu opens")
d.key("d", "r")
d.check(d.wait_for(lambda: d.window_at(100, 120) and d.window_at(400, 150), timeout=5),
        "'すべての付箋紙を再表示 (&R)' brings both notes back")
d.check(d.wait_for(lambda: shown_flags() == [1, 1], timeout=3), "both are stored shown again")

# With the tray icon off a hidden note could not be found again: the
# desktop's close changes nothing.
d.click(450, 200, button=3)
d.check(len(d.wait_for(d.popup_menus)) == 1, "a right click opens the note's menu")
d.key("h", "i")  # CeVelmo (&H) → TaskTray ICON (&I)
d.check(d.wait_for(lambda: d.settings_tray_icon(d.read(data_path)) == 0, timeout=5),
        "the tray icon is switched off, and the data file says so at once")
first = d.window_at(100, 120)
d.close_request(first)
d.click(200, 150)
d.run("xdotool", "key", "alt+F4")
d.wait_for(lambda: d.window_at(100, 120) is None, timeout=1.5)
d.check(d.window_at(100, 120) == first, "without a tray icon the note stays on the screen")
d.check(shown_flags() == [1, 1] and texts_intact(), "the data file and the text files are as they were")
d.check(d.stop(p) == 0, "SIGTERM ends the program")
count, stored = d.records(d.read(data_path))
d.check(count == 2 and [d.record_file_name(r) for r in stored] == ["VLM00000.txt", "VLM00001.txt"],
        "both notes and their text files are stored at the end")
