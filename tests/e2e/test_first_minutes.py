#!/usr/bin/env python3
"""A new user's first minutes, with a fresh home whose ~/.local/bin is not
on PATH: scripts/install-and-start.sh (start.sh after the build), run in a
terminal, ends with one note on the screen and a word on how to begin, and
the program outlives the terminal's hang-up; a second run adds a note. The
installed launcher starts the program through dex; scripts/uninstall.sh
leaves only the notes and no empty folder."""

import os
import pty
import re
import subprocess
import sys

import desktop as d

program = sys.argv[1]
root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
home = d.private_folder("home")
local = os.path.join(home, ".local")
env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_") or k == "XDG_RUNTIME_DIR"}
env.update(HOME=home, BUILD_DIR=os.path.dirname(os.path.abspath(program)))
env.pop("PREFIX", None)


def program_of(window):
    """The program that shows this window, ended by the test when it ends."""
    return d.adopt(int(d.run("xdotool", "getwindowpid", str(window))), d.log_file("installed-"))


# The script in a terminal of its own, whose shell stays until the terminal
# is closed, as a user's does.
pid, terminal = pty.fork()
if pid == 0:
    os.execve("/bin/bash", ["bash", "-c", '"$0"; echo "status $?"; exec sleep 600',
                            os.path.join(root, "scripts/install-and-start.sh")], env)
output = b""
while not re.search(rb"status \d+\r?\n", output):
    try:
        chunk = os.read(terminal, 4096)
    except OSError:
        break
    if not chunk:
        break
    output += chunk
text = output.decode("utf-8", "replace")
d.check("status 0" in text, "the script ends well:\n" + text)
data = os.path.join(local, "share/cevelmo/Data")
d.check(data in text and "Ctrl+double-click" in text and os.path.join(local, "bin/cevelmo") in text,
        "it says where the notes are, how to write, and how to start the program before the next login:\n" + text)
notes = d.wait_for(lambda: len(d.note_windows()) == 1 and d.note_windows())
d.check(notes, "one note is on the screen: %s" % d.note_windows())
running = program_of(notes[0])
os.close(terminal)  # the hang-up ends the terminal's shell
os.waitpid(pid, 0)
d.check(d.wait_for(lambda: d.stored_count(os.path.join(data, d.DATA_FILE)) == 1), "the note is stored")
# A second run installs again and hands the running program a new note.
again = subprocess.run([os.path.join(root, "scripts/install-and-start.sh")], env=env, capture_output=True, text=True)
d.check(again.returncode == 0, "a second run ends well: " + again.stdout + again.stderr)
d.check(d.wait_for(lambda: len(d.note_windows()) == 2), "a second run adds a note: %s" % d.note_windows())
d.check(running.poll() is None, "the program outlived its terminal's hang-up and took the note")
d.check(d.stop(running) == 0, "SIGTERM ends the program")

# The menu's launcher, with the PATH of a first login.
launcher = os.path.join(local, "share/applications/org.example.cevelmo.desktop")
with open(d.log_file("dex-"), "wb") as log:
    subprocess.run(["dex", launcher], env=env, stdout=subprocess.DEVNULL, stderr=log, timeout=30)
notes = d.wait_for(lambda: len(d.note_windows()) == 2 and d.note_windows())
d.check(notes, "dex starts the installed program from its launcher, with both notes")
d.check(d.stop(program_of(notes[0])) == 0, "SIGTERM ends it")

removed = subprocess.run([os.path.join(root, "scripts/uninstall.sh")], env=env, capture_output=True, text=True)
d.check(removed.returncode == 0, "uninstall.sh ends well: " + removed.stdout + removed.stderr)
left = [os.path.relpath(os.path.join(folder, name), local)
        for folder, folders, files in os.walk(local) for name in files + ([] if folders or files else ["(empty)"])]
d.check(left and all(path.startswith("share/cevelmo/Data/") for path in left),
        "only the notes stay, and no empty folder: %s" % left)
