#!/usr/bin/env python3
"""Installed and unpacked copies of the real program, with a fresh home
folder. An unpacked copy keeps its Data folder beside itself; its Uninstall
leaves the program and the user's file beside it and opens its folder. A
copy installed with cmake --install into a prefix of its own keeps its notes
in the user's data folder, never beside the program; Help opens the
installation's page; Uninstall from the tray menu asks the installed copy's
question (one line longer than the unpacked copy's), removes the data and
the launchers under any name, leaves everything else, hands the software
centre's page to the desktop and ends the program. The desktop's opener
(xdg-open) is a stand-in on PATH that writes down what it was asked to
open."""

import os
import stat
import subprocess
import sys

import desktop as d

ID = "org.example.cevelmo"
program = sys.argv[1]
build = os.path.dirname(os.path.abspath(program))
prefix = d.private_folder("prefix")
home = d.private_folder("home")
bin_folder = os.path.join(prefix, "bin")
installed = subprocess.run(["cmake", "--install", build, "--prefix", prefix], capture_output=True, text=True)
d.check(installed.returncode == 0, "cmake --install puts the program into a prefix: " + installed.stderr)
d.check(os.listdir(bin_folder) == ["cevelmo"], "the prefix's bin folder holds the program alone")
with open(os.path.join(prefix, "share/cevelmo/install-record"), encoding="utf-8") as f:
    d.check("InstlDir=%s\n" % os.path.realpath(bin_folder) in f.read(), "the install record names the bin folder")

# The desktop's opener, replaced by one that writes down its argument.
tools = d.private_folder("tools")
opened_log = os.path.join(tools, "opened")
opener = os.path.join(tools, "xdg-open")
with open(opener, "w") as f:
    f.write('#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s"\n' % opened_log)
os.chmod(opener, stat.S_IRWXU)


def opened():
    return (d.read(opened_log, b"").decode("utf-8")).splitlines()


env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_") or k == "XDG_RUNTIME_DIR"}
env.update(HOME=home, PATH=tools + os.pathsep + os.environ["PATH"])
user_data = os.path.join(home, ".local/share/cevelmo")
data_path = os.path.join(user_data, "Data", "CeVlmDat.bin")

# Launchers of the program on the desktop and in autostart, one as the
# settings make it and one a user made under another name, and files that
# are none of the program's.
desktop_folder = os.path.join(home, "Desktop")
autostart = os.path.join(home, ".config", "autostart")
os.makedirs(desktop_folder)
os.makedirs(autostart)
real_program = os.path.realpath(os.path.join(bin_folder, "cevelmo"))
launchers = {
    os.path.join(desktop_folder, "CeVelmo.desktop"): '"%s"' % real_program,
    os.path.join(autostart, "my notes.desktop"): real_program,
}
for path, command in launchers.items():
    with open(path, "w", encoding="utf-8") as f:
        f.write("[Desktop Entry]\nType=Application\nName=CeVelmo\nExec=%s\n" % command)
    os.chmod(path, 0o755)
unrelated = {
    os.path.join(desktop_folder, "editor.desktop"): "[Desktop Entry]\nType=Application\nName=Ed\nExec=ed\n",
    os.path.join(desktop_folder, "shopping.txt"): "milk\n",
}
for path, text in unrelated.items():
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def uninstall_box():
    """Chooses Uninstall in the tray menu; the geometry of the question."""
    before = d.note_windows()
    d.check(d.tray_menu() and d.choose("h", "u"), "Uninstall is chosen from the tray menu's CeVelmo (&H) submenu")
    boxes = d.wait_for(lambda: [w for w in d.note_windows() if w not in before])
    d.check(len(boxes) == 1 and d.wait_for(lambda: d.focused_window() == boxes[0]),
            "Uninstall asks first, and the question has the keyboard")
    return d.geometry(boxes[0])


# An unpacked copy first: a folder of its own with a file of the user's
# beside the program, which the uninstall must leave.
folder = d.program_folder(program)
with open(os.path.join(folder, "report.txt"), "w") as f:
    f.write("the user's\n")
beside_program = sorted(os.listdir(folder))
p = d.start(folder, env=env)
icon = d.wait_for(d.tray_icon)
d.check(icon is not None and d.wait_for(lambda: os.path.isdir(os.path.join(folder, "Data"))),
        "an unpacked copy keeps its Data folder beside the program")
unpacked_box = uninstall_box()
d.key("Return")
d.check(d.wait_for(lambda: p.poll() is not None) and p.returncode == 0, "Yes ends the unpacked copy")
d.check(sorted(os.listdir(folder)) == beside_program,
        "the program, its help page and the user's file stay; Data goes: %s" % sorted(os.listdir(folder)))
d.check(d.wait_for(lambda: "file://" + folder in opened()), "the program's folder is opened: %s" % opened())
d.check(not os.path.exists(user_data), "the unpacked copy never touched the user's data folder")
d.check(all(os.path.exists(path) for path in launchers), "launchers of the installed copy are not the unpacked copy's")

# The installed copy, started from the prefix; a second start makes a note.
p = d.start(bin_folder, env=env)
icon = d.wait_for(d.tray_icon)
d.check(icon is not None, "the installed copy shows its tray icon")
code, _, _ = d.finish(d.start(bin_folder, env=env))
d.check(code == 0, "a second start hands a new note to it")
d.check(d.wait_for(lambda: len(d.note_windows()) == 1), "the note shows")
d.check(d.wait_for(lambda: d.stored_count(data_path) == 1),
        "the note is stored in the user's data folder: " + data_path)
d.check(os.listdir(bin_folder) == ["cevelmo"], "nothing lands beside the installed program")
d.check(stat.S_IMODE(os.stat(user_data).st_mode) == 0o700, "the user's data folder is the user's alone")

# Help from the tray menu's CeVelmo submenu.
d.check(d.tray_menu() and d.choose("h", "h"), "Help is chosen from the tray menu's CeVelmo (&H) submenu")
help_page = os.path.join(prefix, "share/cevelmo/CeVelmo.htm")
d.check(d.wait_for(lambda: help_page in opened()), "Help opens the installed page: %s" % opened())

# Uninstall from the tray menu.
installed_box = uninstall_box()
d.key("Return")
d.check(d.wait_for(lambda: p.poll() is not None) and p.returncode == 0,
        "Yes ends the program (exit code %s)" % p.returncode)
d.check(not os.path.exists(user_data), "the user's data folder is gone with its notes")
d.check(not any(os.path.exists(path) for path in launchers), "both launchers are gone")
d.check(all(os.path.exists(path) for path in unrelated), "the desktop's other files stay")
d.check(os.listdir(bin_folder) == ["cevelmo"] and os.path.exists(help_page),
        "the installation stays for the package manager to remove")
d.check(d.wait_for(lambda: "appstream://" + ID in opened()), "the software centre's page is opened: %s" % opened())
d.check(not os.path.exists(data_path), "the data file did not come back before the program ended")
# The two questions differ in their last lines: the installed copy's asks
# the user to pick the program in the removal page, one line more.
d.check(installed_box[2] == unpacked_box[2] and installed_box[3] > unpacked_box[3],
        "the question is the installed copy's, not the unpacked copy's: %s, %s" % (installed_box, unpacked_box))
