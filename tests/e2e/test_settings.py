#!/usr/bin/env python3
"""The settings dialog of the real program, worked with the keyboard: both
launcher boxes ticked make valid desktop entries on the desktop and in the
autostart folder; Ctrl+Alt+K set as the hotkey is stored and raises the
last note at once. Then a fresh session's autostart runner (dex) starts the
program from the launcher in the autostart folder.

The program runs with a home and a configuration folder of its own, so the
user's real folders are never touched. Set CEVELMO_E2E_SHOTS to a folder to
keep a screenshot of the dialog."""

import os
import shlex
import stat
import subprocess
import sys

import desktop as d

# Two notes overlapping at 300..400, 250..300; the second is the last one.
FIRST, SECOND = (100, 200, 400, 300), (300, 250, 600, 350)
FIRST_BACK, SECOND_BACK = 0x00D0FFFF, 0x00FFD0D0
OVERLAP = (350, 275)
folder, data_dir, data_path = d.fresh_folder(
    sys.argv[1], [d.record_bytes(FIRST, back=FIRST_BACK), d.record_bytes(SECOND, back=SECOND_BACK)])

home = d.scratch_folder("home-")
config = os.path.join(home, ".config")
desktop_folder = os.path.join(home, "Desktop")
autostart = os.path.join(config, "autostart")
os.makedirs(desktop_folder)
env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=config)


def launcher_problems(path):
    """What desktop-file-validate says is wrong with the entry (hints aside)."""
    result = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True)
    lines = [line for line in (result.stdout + result.stderr).splitlines() if "hint:" not in line]
    return result.returncode, lines


def exec_line(path):
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("Exec="):
                return line[len("Exec="):].rstrip("\n")
    return None


p = d.start(folder, env=env)
d.check(d.wait_for(lambda: len(d.note_windows()) == 2), "both stored notes are up")
d.wait_for(d.tray_icon)

d.check(d.tray_menu() and d.choose("h", "s"), "the settings item of the tray menu's CeVelmo (&H) submenu is chosen")
d.dialog("SETTING")
d.save_screenshot("settings")
# The focus starts at the desktop box. Tab order: desktop, autostart, the
# two gestures, the three input modes, ALT, CTRL, SHIFT, the key, OK.
d.key("space", "Tab", "space")
d.key(*["Tab"] * 6)
d.key("space", "Tab", "space", "Tab", "Tab", "ctrl+a", "k", "Return")
d.check(d.wait_for(lambda: d.windows_named("SETTING") == []), "Enter confirms the settings")

for where in (autostart, desktop_folder):
    launcher = os.path.join(where, "CeVelmo.desktop")
    d.check(d.wait_for(lambda: os.path.exists(launcher)), "a launcher lies in %s" % where)
    d.check(os.listdir(where) == ["CeVelmo.desktop"], "it is the only file there: %s" % os.listdir(where))
    code, problems = launcher_problems(launcher)
    d.check(code == 0 and problems == [], "desktop-file-validate accepts it: %s" % problems)
    d.check(os.stat(launcher).st_mode & stat.S_IXUSR, "it is executable")
    d.check(shlex.split(exec_line(launcher)) == [os.path.join(folder, "cevelmo")],
            "it starts the program: %s" % exec_line(launcher))

key = d.wait_for(lambda: d.settings_hotkey(d.read(data_path)) == ("K", 1, 1, 0))
d.check(key, "the data file holds Ctrl+Alt+K: %s" % (d.settings_hotkey(d.read(data_path)),))

# The hotkey raises the last note over the first.
d.click(FIRST[0] + 20, FIRST[1] + 20)
d.check(d.wait_for(lambda: d.pixel(*OVERLAP) == d.rgb(FIRST_BACK)), "a click brings the first note forward")
d.key("ctrl+alt+k")
d.check(d.wait_for(lambda: d.pixel(*OVERLAP) == d.rgb(SECOND_BACK)), "Ctrl+Alt+K raises the last note")
d.check(d.stop(p) == 0, "SIGTERM ends the program")
d.check(d.note_windows() == [], "the program's notes are gone")

# A fresh session: the autostart runner reads the launcher and starts the
# program, which comes up with its notes.
runner_log = d.log_file("dex-")
with open(runner_log, "wb") as log:
    runner = subprocess.run(["dex", "--autostart", "--search-paths", autostart], env=env,
                            stdout=subprocess.DEVNULL, stderr=log, timeout=30)
d.check(runner.returncode == 0, "dex ran the session's autostart entries")
notes = d.wait_for(lambda: len(d.note_windows()) == 2 and d.note_windows())
d.check(notes, "the program started from the launcher shows its notes")
pid = int(d.run("xdotool", "getwindowpid", str(notes[0])).strip())
started = d.adopt(pid, runner_log)
d.check(os.path.realpath("/proc/%d/exe" % pid) == os.path.join(os.path.realpath(folder), "cevelmo"),
        "it is this program")
d.check(d.stop(started) == 0, "SIGTERM ends it")
