#!/usr/bin/env python3
"""A desktop whose tray speaks D-Bus (a StatusNotifierWatcher on the session
bus, here a stand-in) and has no X tray: the program's icon registers there
as a StatusNotifierItem, no note is needed to show that the program runs,
and activating the item or asking for its context menu opens the tray menu
at the pointer, since such a tray does not tell where its icons stand. The
menu such a tray draws itself holds the tray menu, and a choice from it
reaches the program. Runs on a desktop begun without
an X tray (DESKTOP_TRAY=none)."""

import os
import re
import subprocess
import sys

import desktop as d

program = sys.argv[1]
folder = d.program_folder(program)
bus = d.start_session_bus()
env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=bus)
watcher = subprocess.Popen([os.path.join(os.path.dirname(os.path.abspath(__file__)), "status_notifier_watcher.py")],
                           env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
d.add_helper(watcher)
d.check(watcher.stdout.readline().strip() == "ready", "the stand-in watcher is on the session bus")

p = d.start(folder, env=env)
registered = watcher.stdout.readline().split()
d.check(registered[:1] == ["registered"], "the program's icon registers with the watcher: %s" % (registered,))
item = registered[1]

x, y = 600, 500
d.move_to(x, y)
# A left click (Activate), and a right click of a tray that asks the item for
# its menu (ContextMenu), open the program's menu.
for method in ("Activate", "ContextMenu"):
    d._gdbus(bus, item, "/StatusNotifierItem", "org.kde.StatusNotifierItem." + method, str(x), str(y))
    menus = d.menus_shown()
    d.check(len(menus) == 1, "%s opens the tray menu" % method)
    left, top, width, height = menus[0]
    d.check((left + width, top + height) == (x, y),
            "the menu's bottom-right corner is at the pointer: %s" % (menus[0],))
    d.check(d.choose("Escape"), "Escape closes the menu")
# By now the program has long finished starting.
d.check(d.note_windows() == [], "with the icon in the tray, no note is shown for want of one")

# A tray that draws the item's menu itself for the right button (Xfce,
# LXQt) reads it over D-Bus, as it is when the tray is about to show it.
path = re.search(r"'(/\w+)'", d._gdbus(bus, item, "/StatusNotifierItem", "org.freedesktop.DBus.Properties.Get",
                                        "org.kde.StatusNotifierItem", "Menu")).group(1)
d._gdbus(bus, item, path, "com.canonical.dbusmenu.AboutToShow", "0")
layout = d._gdbus(bus, item, path, "com.canonical.dbusmenu.GetLayout", "--", "0", "-1", "[]")
labels = re.findall(r"'label': <'([^']*)'>", layout)
d.check(labels[:1] == ["付箋紙の新規作成 (_N)"] and "CeVelmo 終了 (_X)" in labels,
        "the item's menu (%s) holds the tray menu's items: %s" % (path, layout))
new_note = re.search(r"\((\d+), \{[^{}]*'label': <'付箋紙の新規作成 \(_N\)'>", layout)
d._gdbus(bus, item, path, "com.canonical.dbusmenu.Event", new_note.group(1), "clicked", "<0>", "0")
d.check(d.wait_for(lambda: len(d.note_windows()) == 1), "choosing 付箋紙の新規作成 there makes a note")
d.check(d.stop(p) == 0, "SIGTERM ends the program")
