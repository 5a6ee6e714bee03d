#!/usr/bin/env python3
"""Keys at a note of the real program. The main window is never on the
screen and never has the keyboard, so the notes offer its keys: Ctrl+Tab
opens the tray menu at the tray icon. Keys pressed with Alt held are the desktop's: Alt+P
opens the note's menu once, Alt+Left and Alt+Delete do nothing to the
note, while the arrow keys nudge it and Delete asks to peel it off.

Whether a key did nothing shows once a later key has done what it does:
the program reads the keys in order."""

import sys

import desktop as d

folder, _, _ = d.fresh_folder(sys.argv[1], [d.record_bytes((200, 150, 360, 210))])
p = d.start(folder)
notes = d.wait_for(d.note_windows)
d.check(len(notes) == 1, "the stored note is up")
note = notes[0]
d.check(d.click_to_focus(note, 250, 170), "a click activates the note: its keys go to it")


def moved_to(left, top):
    return d.wait_for(lambda: d.geometry(note)[:2] == (left, top))


d.key("ctrl+Tab")
menus = d.menus_shown()
d.check(len(menus) == 1 and (menus[0][0] + menus[0][2], menus[0][1] + menus[0][3]) == d.tray_menu_corner(),
        "Ctrl+Tab at the note opens the tray menu at the tray icon: %s" % (menus,))
d.check(d.choose("Escape"), "Escape closes the tray menu")

d.key("alt+p")
menus = d.menus_shown()
d.check(menus[:1] and menus[0][:2] == (280, 180), "Alt+P opens the note's menu at the note's centre: %s" % (menus,))
d.check(d.choose("Escape"), "Escape closes the note's menu")

d.key("alt+Left", "Down")
d.check(moved_to(200, 151), "Alt+Left leaves the note where it is, Down nudges it down: %s" % (d.geometry(note),))
d.check(d.popup_menus() == [], "Alt+P opened the menu once: no second one took the keys")
d.key("Left")
d.check(moved_to(199, 151), "Left nudges the note one pixel left")

d.key("alt+Delete", "Right")
d.check(moved_to(200, 151) and d.note_windows() == [note], "Alt+Delete asks nothing: Right still nudges the note")
d.key("Delete")
d.check(d.wait_for(lambda: len(d.note_windows()) == 2), "Delete asks whether to peel the note off")
d.key("Escape")
d.check(d.wait_for(lambda: d.note_windows() == [note]), "Escape answers no: the note stays")

d.check(d.stop(p) == 0, "SIGTERM ends the program")
