#!/usr/bin/env python3
"""The real program with its Data folder read-only (a read-only bind mount,
so it needs root; elsewhere the test says why and passes): a cut cannot be
saved, the user is told at the tray icon, and nothing on disk changes; once
the folder can be written again, a paste brings the text back and it is
saved, and a restart finds it."""

import atexit
import os
import subprocess
import sys

import desktop as d

folder, data_dir, data_path = d.fresh_folder(
    sys.argv[1], [d.record_bytes((200, 200, 400, 260), file_name="VLM00000.txt")], {"VLM00000.txt": "一枚目"})


def read_only(on):
    """Makes Data read-only (a bind mount of itself) or writable again."""
    if on:
        return (subprocess.run(["mount", "--bind", data_dir, data_dir]).returncode == 0 and
                subprocess.run(["mount", "-o", "remount,bind,ro", data_dir]).returncode == 0)
    return subprocess.run(["umount", data_dir]).returncode == 0


def stored_text():
    """The text of the file that the data file on disk names for its note."""
    count, stored = d.records(d.read(data_path))
    name = d.record_file_name(stored[0])
    return d.read(os.path.join(data_dir, name), b"").decode("utf-8") if name else None


def other_windows():
    """The program's shown windows that are neither notes nor its tray icon:
    its menus while one is open, and a message at the tray icon."""
    known = set(d.note_windows()) | {d.tray_icon()}
    return [int(w) for w in d.run("xdotool", "search", "--onlyvisible", "--classname", "cevelmo").split()
            if int(w) not in known]


def choose_from_note_menu(*keys):
    d.check(len(d.note_menu(250, 220)) == 1, "a right click opens the note's menu")
    d.check(d.choose(*keys), "the item is chosen")


if os.geteuid() != 0:
    print("skip: making a folder read-only for root needs a bind mount, which needs root")
    sys.exit(0)

p = d.start(folder)
d.wait_for(d.note_windows)
d.wait_for(d.tray_icon)
if not read_only(True):
    print("skip: cannot bind-mount the Data folder read-only here")
    sys.exit(0)
atexit.register(lambda: os.path.ismount(data_dir) and read_only(False))
before = d.read(data_path)

d.check(other_windows() == [], "no message before anything failed")
choose_from_note_menu("e", "t")  # 編集 (&E) → 切り取り (&T)
# The menus close at once; what stays is the message.
balloon = d.wait_for(lambda: len(other_windows()) == 1 and other_windows())
d.check(balloon and len(balloon) == 1, "a cut that cannot be saved is told at the tray icon")
left, top, width, height = d.geometry(balloon[0])
tray_left, tray_top, _, _ = d.geometry(d.tray_icon())
d.check(left <= tray_left <= left + width + 40 and top <= tray_top <= top + height + 40,
        "the message stands beside the tray icon")
d.check(d.read(data_path) == before and stored_text() == "一枚目", "nothing on disk changed")
d.click_window(balloon[0])
d.check(d.wait_for(lambda: other_windows() == []), "a click puts the message away")

d.check(read_only(False), "the Data folder can be written again")
choose_from_note_menu("e", "p")  # 編集 (&E) → 貼り付け (&P)
d.check(d.wait_for(lambda: d.read(data_path) != before), "the paste is saved")
d.check(stored_text() == "一枚目", "the data file names a file with the pasted text")
d.check(sorted(n for n in os.listdir(data_dir) if n.startswith("VLM")) != ["VLM00000.txt"],
        "the text moved to a file of its own and the old one went")
d.check(d.stop(p) == 0, "SIGTERM ends the program")

p = d.start(folder)
d.check(len(d.wait_for(d.note_windows)) == 1, "the note is there after a restart")
d.check(stored_text() == "一枚目", "with its text")
d.check(d.stop(p) == 0, "SIGTERM ends the program again")
