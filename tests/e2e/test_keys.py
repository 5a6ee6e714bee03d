#!/usr/bin/env python3
"""Keys at a note of the real program. The main window is never on the
screen and never has the keyboard, so the notes offer its keys: Ctrl+Tab
opens the tray menu at the tray icon. Keys pressed with Alt held are the desktop's: Alt+P
opens the note's menu once, Alt+Left and Alt+Delete do nothing to the
note, while Left nudges it and Delete asks to peel it off."""

import os
import sys
import time

import desktop as d

program = sys.argv[1]
folder = d.program_folder(program)
data_dir = os.path.join(folder, "Data")
os.makedirs(data_dir)
with open(os.path.join(data_dir, "CeVlmDat.bin"), "wb") as f:
    f.write(d.data_file([d.record_bytes((200, 150, 360, 210))]))

p = d.start(folder)
notes = d.wait_for(d.note_windows)
d.check(len(notes) == 1, "the stored note is up")
note = notes[0]
d.click(250, 170)  # the click activates the note; its keys go to it


def menus_closed():
    return d.wait_for(lambda: d.popup_menus() == [])


d.key("ctrl+Tab")
menus = d.wait_for(d.popup_menus)
d.check(len(menus) == 1 and (menus[0][0] + menus[0][2], menus[0][1] + menus[0][3]) == d.tray_menu_corner(),
        "Ctrl+Tab at the note opens the tray menu at the tray icon: %s" % (menus,))
d.key("Escape")
d.check(menus_closed(), "Escape closes the tray menu")

d.key("alt+p")
menus = d.wait_for(d.popup_menus)
d.check(len(menus) == 1 and menus[0][:2] == (280, 180),
        "Alt+P opens the note's menu at the note's centre: %s" % (menus,))
d.key("Escape")
d.check(menus_closed(), "Escape closes the note's menu")
time.sleep(0.5)
d.check(d.popup_menus() == [], "Alt+P opened the menu once: no second one follows")

d.key("alt+Left")
time.sleep(0.3)
d.check(d.geometry(note) == (200, 150, 160, 60), "Alt+Left leaves the note where it is")
d.key("Left")
d.check(d.wait_for(lambda: d.geometry(note) == (199, 150, 160, 60)), "Left nudges the note one pixel left")

d.key("alt+Delete")
time.sleep(0.5)
d.check(d.note_windows() == [note], "Alt+Delete asks nothing")
d.key("Delete")
d.check(d.wait_for(lambda: len(d.note_windows()) == 2), "Delete asks whether to peel the note off")
d.key("Escape")
d.check(d.wait_for(lambda: d.note_windows() == [note]), "Escape answers no: the note stays")

d.check(d.stop(p) == 0, "SIGTERM ends the program")
