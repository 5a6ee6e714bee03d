#!/usr/bin/env python3
"""A desktop whose tray speaks D-Bus (a StatusNotifierWatcher on the session
bus, here a stand-in) and has no X tray: the program's icon registers there
as a StatusNotifierItem, no note is needed to show that the program runs,
and activating the item opens the tray menu at the pointer, since such a
tray does not tell where its icons stand. Runs on a desktop begun without
an X tray (DESKTOP_TRAY=none)."""

import os
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
subprocess.run(["gdbus", "call", "--address", bus, "--dest", item, "--object-path", "/StatusNotifierItem",
                "--method", "org.kde.StatusNotifierItem.Activate", str(x), str(y)], env=env, capture_output=True)
menus = d.menus_shown()
d.check(len(menus) == 1, "activating the item opens the tray menu")
left, top, width, height = menus[0]
d.check((left + width, top + height) == (x, y),
        "the menu's bottom-right corner is at the pointer: %s" % (menus[0],))
d.check(d.choose("Escape"), "Escape closes the menu")
# By now the program has long finished starting.
d.check(d.note_windows() == [], "with the icon in the tray, no note is shown for want of one")
d.check(d.stop(p) == 0, "SIGTERM ends the program")
