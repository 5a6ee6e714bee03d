#!/usr/bin/env python3
"""Every line of Latin, Japanese and mixed text typed into a note stays in
view, typed and fitted; punctuation and letters of other layouts widen a
note; a note near the bottom-right corner grows where it stands."""

import os
import sys

import desktop as d

program = sys.argv[1]
folder = d.program_folder(program)
data_dir = os.path.join(folder, "Data")
os.makedirs(data_dir)
PLACES = [(200, 150, 400, 176), (200, 450, 300, 490), (1100, 690, 1200, 730)]
with open(os.path.join(data_dir, "CeVlmDat.bin"), "wb") as f:
    f.write(d.data_file([d.record_bytes(place) for place in PLACES], input_mode=2))
p = d.start(folder)
notes = [d.wait_for(lambda place=place: d.window_at(*place[:2])) for place in PLACES]
d.check(all(notes), "the stored notes are up")


def ink_lines(note):
    """The runs [first, last] of rows from the note's top with two dark points
    (the caret alone has one) inside its frame: one per line of text shown."""
    left, top, width, height = d.geometry(note)
    shot, runs = d.Screenshot(), []
    for y in range(2, height - 2):
        if sum(max(shot.pixel(x, top + y)) < 100 for x in range(left + 2, left + width - 2)) >= 2:
            if runs and runs[-1][1] == y - 1:
                runs[-1][1] = y
            else:
                runs.append([y, y])
    return runs


def edit(x, y):
    """Ctrl+double-click until the editor shows (on a busy desktop the two
    clicks may fall too far apart)."""
    return any(d.ctrl_double_click(x, y) or d.wait_for(lambda: d.pixel(x - 40, y - 10) == (255, 255, 255))
               for _ in range(3))


def shows_lines(note, count):
    runs = ink_lines(note)
    return len(runs) == count and runs[0][0] >= 4 and runs[-1][1] <= d.geometry(note)[3] - 4


lines = ["one", "two", "three", "日本語の行", "mixed 日本 text", "Wg付箋y"]
d.check(edit(250, 170), "the first note is being edited")
for n, line in enumerate(lines):
    # xdotool types a character that no key has through a spare key: slowly.
    d.type_text(line, delay=40 if line.isascii() else 250)
    if n + 1 < len(lines):
        height = d.geometry(notes[0])[3]
        d.run("xdotool", "key", "Return")
        d.check(d.wait_for(lambda: d.geometry(notes[0])[3] > height), "Return %d makes the note taller" % (n + 1))
    d.check(d.wait_for(lambda: shows_lines(notes[0], n + 1)),
            "after line %d every line is in full view: %s" % (n + 1, ink_lines(notes[0])))
d.run("xdotool", "key", "Escape")
d.check(d.wait_for(lambda: shows_lines(notes[0], len(lines)) and d.pixel(210, 160) != (255, 255, 255)),
        "the fitted note shows every line in full: %s" % ink_lines(notes[0]))

# Punctuation and the letters of other layouts widen the note as letters
# do; the text never scrolls out to the left.
d.check(edit(250, 470), "the second note is being edited")
d.type_text("." * 30 + "," * 10 + "-" * 10 + "/" * 30)
d.type_text("äéß" * 4, delay=250)
left, top, width, height = d.geometry(notes[1])
d.check(width > 300, "punctuation and other letters widen the note: %s" % ((left, top, width, height),))
d.check(d.ink_box(d.Screenshot(), (left + 5, top + 5, 8, height - 10), lambda rgb: max(rgb) < 100) is not None,
        "the first full stop is still at the editor's left edge")
d.run("xdotool", "key", "Escape")

# A note near the bottom-right corner grows past the work area's edges
# where it stands, and keeps its place in the data file.
d.check(edit(1150, 710), "the third note is being edited")
d.type_text(("W" * 15 + "\n") * 3 + "last")
d.check(d.geometry(notes[2])[:2] == (1100, 690), "growing, the note keeps its place: %s" % (d.geometry(notes[2]),))
d.run("xdotool", "key", "Escape")
stored = lambda: d.stored_records(os.path.join(data_dir, "CeVlmDat.bin"))[2][0]  # noqa: E731
d.check(d.wait_for(lambda: d.stored_text(data_dir, 2) and stored()[:2] == d.geometry(notes[2])[:2] == (1100, 690)),
        "fitted, the note keeps its place, also in the data file: %s, %s" % (d.geometry(notes[2]), stored()))
d.check(d.stop(p) == 0, "SIGTERM ends the program")
