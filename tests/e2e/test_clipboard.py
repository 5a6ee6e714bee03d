#!/usr/bin/env python3
"""Whole notes through the desktop's clipboard, with other programs (xclip).
"コピー" in a note's menu puts its text there with the desktop's line
breaks; "貼り付け" replaces a note's text with what another program put
there, stores it with CR LF line breaks and fits the note to it; and Ctrl+V
in the editor grows the note for the pasted text before it lands."""

import sys

import desktop as d

folder, data_dir, data_path = d.fresh_folder(sys.argv[1], [
    d.record_bytes((200, 150, 360, 210), file_name="VLM00000.txt"),
    d.record_bytes((600, 150, 640, 180)),
], {"VLM00000.txt": "Line one\r\n二行目"})

p = d.start(folder)


def stored_text(index):
    return d.stored_text(data_dir, index)


def choose_from_edit_submenu(x, y, accelerator):
    """The note menu's "編集 (&E)" submenu holds cut, copy and paste."""
    d.check(len(d.note_menu(x, y)) == 1, "a right click opens the note's menu")
    d.check(d.choose("e", accelerator), "choosing '%s' closes the menus" % accelerator)


first = d.wait_for(lambda: d.window_at(200, 150))
small = d.wait_for(lambda: d.window_at(600, 150))
d.check(first and small, "both stored notes are up")

choose_from_edit_submenu(250, 170, "c")
d.check(d.wait_for(lambda: d.clipboard() == "Line one\n二行目".encode("utf-8")),
        "another program reads the copied note with LF line breaks: %r" % (d.clipboard(),))

d.offer_clipboard("from xclip\nsecond line of it")
choose_from_edit_submenu(620, 165, "p")
d.check(d.wait_for(lambda: stored_text(1) == b"from xclip\r\nsecond line of it"),
        "the pasted text is the note's, stored with CR LF: %r" % (stored_text(1),))
left, top, width, height = d.geometry(small)
d.check((left, top) == (600, 150) and width > 100 and height > 30,
        "the note is fitted to the pasted text: %s" % ((left, top, width, height),))

d.offer_clipboard(" and pasted in the editor at the end of the line")
d.ctrl_double_click(250, 170)
d.check(d.wait_for(lambda: d.pixel(210, 160) == (255, 255, 255)), "the first note is being edited")
d.key("End")
width_before = d.geometry(first)[2]
d.key("ctrl+v")
d.check(d.wait_for(lambda: d.geometry(first)[2] > width_before + 150),
        "Ctrl+V widens the note for the pasted text: %s" % (d.geometry(first),))
d.key("Escape")
d.check(d.wait_for(lambda: stored_text(0) == "Line one and pasted in the editor at the end of the line\r\n二行目"
                   .encode("utf-8")),
        "the pasted text is stored in the line it went into: %r" % (stored_text(0),))

d.check(d.stop(p) == 0, "SIGTERM ends the program")
