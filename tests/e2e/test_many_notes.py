#!/usr/bin/env python3
"""Many notes on the real desktop: 300 stored notes all come back, each at
its stored rectangle, the topmost ones above the others, all of them out of
the taskbar, and the desktop activates only the last one; the program's own
idea of every place is the stored one, so it saves them unmoved."""

import re
import sys

import desktop as d

COUNT = 300
COLUMNS = 15



def place(i):
    """A rectangle of its own for each note, inside the work area."""
    left, top = 10 + i % COLUMNS * 80, 10 + i // COLUMNS * 36
    return (left, top, 70, 30)


def bounds(i):
    """The stored rectangle: left, top, right, bottom."""
    left, top, width, height = place(i)
    return (left, top, left + width, top + height)


def topmost(i):
    return i % 25 == 12


records, texts = [], {}
for i in range(COUNT):
    name = "VLM%05d.txt" % i
    texts[name] = "付箋紙 %d" % i if i % 3 == 1 else "note %d" % i
    records.append(d.record_bytes(bounds(i),
                                  z_level=-1 if topmost(i) else -2, file_name=name))
folder, _, data_path = d.fresh_folder(sys.argv[1], records, texts)

p = d.start(folder)
shown = d.wait_for(lambda: len(d.note_windows()) == COUNT and d.note_windows(), timeout=120, step=0.5)
d.check(shown and len(shown) == COUNT, "all %d notes are mapped (%d seen)" % (COUNT, len(d.note_windows())))


def mapped_rectangles():
    """Window id -> (left, top, width, height) of the mapped note windows,
    from one listing of the whole window tree."""
    ids = set(shown)
    found = {}
    for line in d.run("xwininfo", "-root", "-tree").splitlines():
        m = re.match(r"\s*(0x[0-9a-f]+) .*\s(\d+)x(\d+)[+-]-?\d+[+-]-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$", line)
        if m and int(m.group(1), 16) in ids:
            width, height, left, top = (int(m.group(k)) for k in (2, 3, 4, 5))
            found[int(m.group(1), 16)] = (left, top, width, height)
    return found


by_place = {rect: w for w, rect in mapped_rectangles().items()}
missing = [i for i in range(COUNT) if place(i) not in by_place]
d.check(not missing, "every note stands at its stored rectangle (missing: %s)" % missing[:10])

states = {i: d.net_wm_state(by_place[place(i)]) for i in range(COUNT) if i % 5 == 2}
d.check(all(("_NET_WM_STATE_ABOVE" in s) == topmost(i) for i, s in states.items()),
        "the topmost notes, and only they, are kept above (%d checked)" % len(states))
d.check(all("_NET_WM_STATE_SKIP_TASKBAR" in s for s in states.values()), "the notes keep out of the taskbar")

last = by_place[place(COUNT - 1)]
active = d.wait_for(lambda: "0x%x" % last in d.run("xprop", "-root", "_NET_ACTIVE_WINDOW"))
d.check(active, "the last note restored is the active window")
d.check(p.poll() is None, "the program keeps running")
d.check(d.stop(p) == 0, "SIGTERM ends the program with code 0")
saved = [r[0] for r in d.stored_records(data_path)]
moved = [i for i in range(COUNT) if saved[i:i + 1] != [bounds(i)]]
d.check(not moved, "every note is saved at its stored rectangle (moved: %s)" % moved[:10])
