#!/usr/bin/env python3
"""The real program's menus on a desktop: the tray menu opens at the tray
icon and makes a new note; a right click opens a note's menu at
the pointer, from which a note is peeled off with logging. The data file,
the note files and the log are checked on disk after each step."""

import os
import re
import sys

import desktop as d

folder, data_dir, data_path = d.fresh_folder(sys.argv[1])
log_path = os.path.join(folder, "VlmLog.txt")


def text_files():
    return sorted(n for n in os.listdir(data_dir) if n.startswith("VLM"))


# The tray menu: a new note with the keyboard.
p = d.start(folder)
icon = d.wait_for(d.tray_icon)
d.check(icon is not None, "the tray icon sits in the system tray")
d.check(os.path.exists(os.path.join(folder, "CeVelmo.htm")), "the help page lies beside the program")
menus = d.tray_menu()
d.check(len(menus) == 1, "clicking the tray icon opens one menu")
left, top, width, height = menus[0]
d.check((left + width, top + height) == d.tray_menu_corner(),
        "the tray menu's bottom-right corner is at the icon's top-right: %s" % (menus[0],))
d.check(d.choose("n"), "the menu closes after the choice")
notes = d.wait_for(d.note_windows)
d.check(len(notes) == 1, "'付箋紙の新規作成 (&N)' makes one new note")
d.check(d.geometry(notes[0]) == (40, 40, 160, 40), "the new note stands at 40, 40, 160 x 40")
d.check(d.wait_for(lambda: d.stored_count(data_path) == 1), "the new note is in the data file")
d.check(text_files() == [], "a new note has no text file")
d.check(d.stop(p) == 0, "SIGTERM ends the program")

# A note's menu at the pointer: peel a note off with logging.
records = [
    d.record_bytes((100, 120, 300, 180), file_name="VLM00000.txt", created="2024/05/06 07:08:09"),
    d.record_bytes((400, 150, 520, 250), back=0x008CFF60),
]
text = "ログのテスト\r\n二行目"
d.write_notes(data_dir, records, {"VLM00000.txt": text})

p = d.start(folder)
d.check(len(d.wait_for(lambda: len(d.note_windows()) == 2 and d.note_windows())) == 2, "both stored notes are up")
menus = d.note_menu(130, 140)
d.check(len(menus) == 1 and menus[0][:2] == (130, 140),
        "a right click opens the note's menu with its top-left corner at the pointer: %s" % (menus,))
d.check(d.choose("d", "l"), "はがす (&D) → はがす（ログ出力あり） (&L) is chosen")
d.check(d.wait_for(lambda: len(d.note_windows()) == 1), "the note is peeled off")
d.check(d.geometry(d.note_windows()[0])[:2] == (400, 150), "the other note stays")
count, kept = d.records(d.wait_for(lambda: d.read(data_path) != d.data_file(records) and d.read(data_path)))
d.check(count == 1 and kept[0] == records[1], "the data file holds only the other note's record")
d.check(d.wait_for(lambda: text_files() == []), "the peeled note's text file is deleted once that data file is on disk")
log = d.wait_for(lambda: d.read(log_path))
separator = b"-" * 31 + b"\r\n"
entry = re.fullmatch(
    re.escape(separator + "■作成日時:2024/05/06 07:08:09\r\n  削除日時:".encode("utf-8"))
    + rb"\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\r\n" + re.escape((text + "\r\n").encode("utf-8") + separator),
    log or b"")
d.check(entry is not None, "VlmLog.txt beside the program holds the entry: %r" % (log,))
d.check(not os.path.exists(os.path.join(data_dir, "VlmLog.txt")), "the log is not in Data")

# The log item of the tray menu is enabled now; choosing nothing changes
# nothing. The right button opens the menu at the icon too.
d.click_window(d.wait_for(d.tray_icon), button=3)
menus = d.menus_shown()
d.check(len(menus) == 1 and (menus[0][0] + menus[0][2], menus[0][1] + menus[0][3]) == d.tray_menu_corner(),
        "a right click opens the tray menu at the icon: %s" % (menus,))
d.check(d.choose("Escape"), "Escape closes the tray menu")
d.check(d.stop(p) == 0, "SIGTERM ends the program")
count, kept = d.records(d.read(data_path))
d.check(count == 1 and kept[0] == records[1], "the data file is unchanged at the end")
