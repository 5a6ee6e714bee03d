#!/usr/bin/env python3
"""The real program on a desktop: first start, restoring stored notes, a
second start handing a new note to the first, and the end of the session."""

import os
import sys

import desktop as d

program = sys.argv[1]
folder = d.program_folder(program)
data_dir = os.path.join(folder, "Data")
data_path = os.path.join(data_dir, "CeVlmDat.bin")

# First start: the Data folder appears, no notes, and the program stays up.
p = d.start(folder)
d.check(d.wait_for(lambda: os.path.isdir(data_dir)), "first start creates Data/")
d.check(d.wait_for(lambda: d.run("xdotool", "search", "--classname", "cevelmo").split() != []),
        "the program has windows on the display")
d.check(d.note_windows() == [], "no note window is mapped, and the hidden main window neither")


def ancestors(window):
    """Names of the windows above this one, up to the root."""
    names = []
    for _ in range(10):
        lines = [l for l in d.run("xwininfo", "-id", window, "-tree").splitlines() if "Parent window id" in l]
        if not lines or "(the root window)" in lines[0]:
            break
        window = lines[0].split()[3]
        names.append(lines[0])
    return names


def tray_icon_windows():
    """The program's windows that the tray host has taken in."""
    return [w for w in d.run("xdotool", "search", "--classname", "cevelmo").split()
            if any("trayer" in name or '"panel"' in name for name in ancestors(w))]


d.check(d.wait_for(tray_icon_windows), "the tray icon sits in the tray host")
d.check(p.poll() is None, "the program keeps running")
d.check(d.stop(p) == 0, "SIGTERM ends the program with code 0")
d.check(not os.path.exists(data_path), "an empty first run writes no data file")

# Three stored notes: one hidden, one topmost.
records = [
    d.record_bytes((100, 120, 300, 180), z_level=-1, file_name="VLM00000.txt"),
    d.record_bytes((400, 150, 520, 250), z_level=-2, file_name="VLM00001.txt", back=0x008CFF60),
    d.record_bytes((600, 300, 700, 360), z_level=-2, shown=0),
]
d.write_notes(data_dir, records, {"VLM00000.txt": "付箋紙のテスト"})
with open(os.path.join(data_dir, "VLM00001.txt"), "wb") as f:
    f.write("付箋紙".encode("cp932"))
stored = d.read(data_path)

writes = d.Replacements(data_dir, d.DATA_FILE)
p = d.start(folder)
shown = d.wait_for(lambda: len(d.note_windows()) == 2 and d.note_windows())
d.check(shown and len(shown) == 2, "two shown notes are mapped, the hidden one is not")
places = sorted(d.geometry(w) for w in shown)
d.check(places == [(100, 120, 200, 60), (400, 150, 120, 100)],
        "notes stand at their stored rectangles: %s" % places)
by_place = {d.geometry(w)[:2]: w for w in shown}
d.check("_NET_WM_STATE_ABOVE" in d.net_wm_state(by_place[(100, 120)]), "the topmost note is kept above")
d.check("_NET_WM_STATE_ABOVE" not in d.net_wm_state(by_place[(400, 150)]), "the normal note is not above")
d.check("_NET_WM_STATE_SKIP_TASKBAR" in d.net_wm_state(by_place[(400, 150)]), "notes keep out of the taskbar")

# Starting changes nothing, so nothing is written.
d.check(d.read(data_path) == stored and writes.poll() == 0, "nothing was written by merely starting")

# A second start asks the running program for one new note and ends at once.
second = d.start(folder)
d.check(second.wait(15) == 0, "the second start exits with code 0")
fourth = d.wait_for(lambda: [w for w in d.note_windows() if w not in shown])
d.check(len(fourth) == 1, "exactly one new note appears")
d.check(d.geometry(fourth[0]) == (64, 52, 160, 40), "the new note stands at (40 + 8*3, 40 + 4*3), 160 x 40")

# The new note is written without being asked; the stored notes stay as
# they were, and its write is the only one since the start.
with_new = d.wait_for(lambda: d.stored_count(data_path) == 4 and d.read(data_path))
d.check(with_new and len(with_new) == d.record_at(4), "the new note is in the data file")
d.check(writes.poll() == 1, "the new note's write is the first since the start")
d.check(with_new[:d.COUNT_AT] == stored[:d.COUNT_AT] and with_new[d.RECORDS_AT:d.record_at(3)] == stored[d.RECORDS_AT:],
        "the settings and the stored notes are written back unchanged")
d.check(d.stop(p) == 0, "SIGTERM ends the program with code 0")
d.check(d.read(data_path) == with_new, "the data file is still whole, and nothing waited to be written")
