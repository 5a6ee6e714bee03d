#!/usr/bin/env python3
"""Writing into notes of the real program. Ctrl+double-click lays the editor
over a note; typing widens the note before the text would no longer fit and
Return makes it taller; Esc stores the text (UTF-8, CR LF line breaks) under
a file the data file names and fits the note to it. Clicking another note
ends editing the same way; the middle button's paste of the selection never
reaches the editor. Alt+P opens the edit menu, whose "select all" and "cut"
empty the editor and put the text on the desktop's clipboard."""

import os
import sys

import desktop as d

PAPER = 0x00D0FFFF  # palette colour 0

folder, data_dir, data_path = d.fresh_folder(sys.argv[1], [
    d.record_bytes((200, 150, 300, 190), back=PAPER),
    d.record_bytes((600, 150, 760, 210), back=PAPER),
])

p = d.start(folder)


def stored_text(index):
    return d.stored_text(data_dir, index)


def is_text(rgb):
    return max(rgb) < 100  # the notes' text is black on a light note


first = d.wait_for(lambda: d.window_at(200, 150))
second = d.wait_for(lambda: d.window_at(600, 150))
d.check(first and second, "both stored notes are up")

# Editing starts: the editor (white, as the desktop's text fields are) lies
# 5 pixels inside the note.
d.ctrl_double_click(250, 170)
d.check(d.wait_for(lambda: d.pixel(210, 160) == (255, 255, 255)), "Ctrl+double-click lays the editor over the note")
d.check(d.pixel(202, 152) == d.rgb(PAPER), "the note's border stays around the editor")

# Typing grows the note, never moving its corner. The sizes are taken while
# the program reads the keys; Return comes after the line, so once the note
# is taller the whole line has been read.
sizes = []
height_before = d.geometry(first)[3]
for chunk in ["Sticky", " notes grow", " while you type"]:
    d.type_text(chunk)
    sizes.append(d.geometry(first))
d.key("Return")
d.check(d.wait_for(lambda: d.geometry(first)[3] > height_before), "Return makes the note taller")
sizes.append(d.geometry(first))
widths = [s[2] for s in sizes]
d.check(all(s[:2] == (200, 150) for s in sizes), "the note keeps its corner while it grows: %s" % (sizes,))
d.check(widths == sorted(widths) and widths[-1] > 100, "the note widens as the line grows: %s" % (widths,))
left_ink = d.ink_box(d.Screenshot(), (205, 155, 10, 20), is_text)
d.check(left_ink is not None and left_ink[0] <= 2,
        "the line's first letter is still at the editor's left edge: the editor never had to scroll")

d.type_unmapped("日本語のメモ")
d.key("Escape")
expected = "Sticky notes grow while you type\r\n日本語のメモ".encode("utf-8")
d.check(d.wait_for(lambda: stored_text(0) == expected),
        "Esc stores the text in UTF-8 with CR LF, in the file the data file names: %r" % (stored_text(0),))
d.check(d.wait_for(lambda: d.pixel(210, 160) != (255, 255, 255) or d.pixel(206, 156) == d.rgb(PAPER)),
        "the editor is gone")


def stored_matches_window():
    bounds = d.stored_records(data_path)[0][0]
    left, top, width, height = d.geometry(first)
    return bounds == (left, top, left + width, top + height)


d.check(d.wait_for(stored_matches_window),
        "the data file holds the note's new size: %s, %s" % (d.stored_records(data_path)[0][0], d.geometry(first)))
left, top, width, height = d.geometry(first)
# The text's ink inside the note's two-pixel frame, in note coordinates.
ink = d.ink_box(d.Screenshot(), (left + 2, top + 2, width - 4, height - 4), is_text)
ink = ink and (ink[0] + 2, ink[1] + 2, ink[2] + 2, ink[3] + 2)
d.check(ink is not None and 3 <= width - 1 - ink[2] <= 8 and 3 <= ink[0] <= 8,
        "the note fits its widest line with a margin of about 5 pixels: %dx%d, text %s" % (width, height, ink))
d.check(ink is not None and 2 <= height - 1 - ink[3] <= 12 and 3 <= ink[1] <= 14,
        "the note fits its two lines: %dx%d, text %s" % (width, height, ink))

# Clicking another note ends editing the same way; the middle button's paste
# of the selection is switched off in the editor.
d.ctrl_double_click(650, 170)
d.check(d.wait_for(lambda: d.pixel(610, 160) == (255, 255, 255)), "the second note is being edited")
d.type_text("second")
d.offer_clipboard("FROM THE SELECTION", selection="primary")
d.click(700, 170, button=2)
d.click(250, 170)
d.check(d.wait_for(lambda: stored_text(1) == b"second"),
        "a click on another note stores the text, without the selection's: %r" % (stored_text(1),))
d.check(stored_text(0) == expected, "the first note keeps its text")

# The edit menu: select all, then cut, empties the editor.
d.ctrl_double_click(250, 170)
d.check(d.wait_for(lambda: d.pixel(210, 160) == (255, 255, 255)), "the first note is edited again")
for item in ("a", "t"):
    d.key("alt+p")
    d.check(len(d.menus_shown()) == 1, "Alt+P opens the edit menu")
    d.check(d.choose(item), "choosing '%s' closes the menu" % item)
d.check(d.wait_for(lambda: d.clipboard() == "Sticky notes grow while you type\n日本語のメモ".encode("utf-8")),
        "the cut text is on the desktop's clipboard with the desktop's line breaks: %r" % (d.clipboard(),))
d.key("Escape")
d.check(d.wait_for(lambda: stored_text(0) is None and d.geometry(first)[2:] == (26, 26)),
        "the emptied note keeps no text file and shrinks to 26 x 26: %s" % (d.geometry(first),))
# The old file goes once the data file no longer names it.
d.check(d.wait_for(lambda: not any(n.endswith(".txt") and n != d.record_file_name(d.records(d.read(data_path))[1][1])
                                   for n in os.listdir(data_dir))), "the old text file is gone")

d.check(d.stop(p) == 0, "SIGTERM ends the program")
