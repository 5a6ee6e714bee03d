#!/usr/bin/env python3
"""Notes kept in step on two computers by a real Syncthing: two copies of the
program on one desktop, each on its own Data folder, and two Syncthing
instances that share the two folders over loopback (syncthing_rig.py). A
note made on A shows up on B, a text written on B shows up on A, a note
peeled on A goes from B, and when both change one note while the folder is
paused, both texts are on both sides once it is resumed. Syncthing ignores
what the README's .stignore lines say, so the lines users copy are the ones
tried: only the data file and the notes' texts travel."""

import os
import re
import shutil
import sys

import desktop as d

if shutil.which("syncthing") is None:
    print("skipped: syncthing is not installed (scripts/install-deps.sh installs it)")
    sys.exit(77)

import syncthing_rig

README = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "README.md")


def ignore_lines():
    """The README's block of .stignore lines: the one that begins with a comment."""
    with open(README, encoding="utf-8") as f:
        block = re.search(r"\n *```\n( *//.*?)\n *```", f.read(), re.S).group(1)
    return [line.strip() for line in block.splitlines()]


def notes(program):
    return [int(w) for w in d.run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(program.pid),
                                  "--name", "^%s$" % d.TITLE).split()]


def note_at(program, corner):
    return next((w for w in notes(program) if d.geometry(w)[:2] == corner), None)


def shape(program, corner):
    """The geometry of the program's note at the corner; None without one."""
    window = note_at(program, corner)
    return window and d.geometry(window)


def menu_of(program, corner, *keys):
    """Gives the program's note at the corner the keyboard, opens its menu
    with P and chooses from it."""
    window = d.wait_for(lambda: note_at(program, corner))
    d.run("xdotool", "windowactivate", str(window))
    d.check(d.wait_for(lambda: d.focused_window() == window), "the note at %s has the keyboard" % (corner,))
    d.key("p")
    d.check(len(d.menus_shown()) == 1 and d.choose(*keys), "its menu: %s" % " ".join(keys))


def write(program, corner, text):
    """Types text at the end of the note at the corner and stores it."""
    menu_of(program, corner, "e", "e")
    d.check(d.wait_for(lambda: d.pixel(corner[0] + 8, corner[1] + 8) == (255, 255, 255)), "its editor is open")
    d.key("ctrl+End")
    d.type_text(text)
    d.key("Escape")


def text_of(program, corner):
    """The text the program holds for the note, as another program reads it
    from the clipboard after the note menu's copy."""
    d.offer_clipboard("-")
    menu_of(program, corner, "e", "c")
    return d.wait_for(lambda: d.clipboard() != b"-" and d.clipboard()).decode("utf-8")


def stored_texts(data_dir):
    data = d.read(os.path.join(data_dir, d.DATA_FILE))
    names = [d.record_file_name(r) for r in d.records(data)[1]] if data else []
    return [d.read(os.path.join(data_dir, n), b"").decode("utf-8", "replace") for n in names if n]


def holds(data_dir, *texts):
    return all(any(t in stored for stored in stored_texts(data_dir)) for t in texts)


program = sys.argv[1]
FIRST = (200, 150)
folder_a, data_a, _ = d.fresh_folder(program, [d.record_bytes(FIRST + (360, 210), file_name="VLM00000.txt")],
                                     {"VLM00000.txt": "shared"}, tray_icon=0)
folder_b, data_b, _ = d.fresh_folder(program)
rig = syncthing_rig.Rig(data_a, data_b, ignore_lines())
d.check(rig.wait_in_sync() and holds(data_b, "shared"), "Syncthing carries A's notes to B over loopback")
a, b = d.start(folder_a), d.start(folder_b)
d.check(d.wait_for(lambda: len(notes(a)) == len(notes(b)) == 1), "A and B each show the one note")

# A note made on A (a later start hands it to A's program) shows up on B.
before = set(notes(a))
d.check(d.finish(d.start(folder_a))[0] == 0 and d.wait_for(lambda: set(notes(a)) - before), "A makes a new note")
made = d.geometry(next(iter(set(notes(a)) - before)))
d.check(d.wait_for(lambda: shape(b, made[:2]) == made, 60), "the note made on A shows up on B at %s: %s, stored %s"
        % (made, [d.geometry(w) for w in notes(b)], d.stored_records(os.path.join(data_b, d.DATA_FILE))))

# A text written on B shows up on A, in the program and not only on disk.
write(b, made[:2], "written on B")
d.check(d.wait_for(lambda: holds(data_a, "written on B"), 60), "Syncthing carries B's text to A")
d.check(d.wait_for(lambda: shape(a, made[:2]) == shape(b, made[:2]), 60),
        "A's note takes the size B's note fitted to its text")
d.check(d.wait_for(lambda: text_of(a, made[:2]) == "written on B", 30, 1), "A's program holds B's text")

# A note peeled on A goes from B.
menu_of(a, made[:2], "d", "n")
d.check(d.wait_for(lambda: len(notes(a)) == 1 and len(notes(b)) == 1, 60), "the note peeled on A goes from B")

# Both change the same note while the folder is paused: once it is resumed
# both texts are on both sides, and no conflict copy is left behind. The
# texts differ in length, so that the notes fitted to them do too and both
# the text file and the data file meet their other side's.
CHANGED = {"A": "shared, changed on A", "B": "shared, and then changed on B"}
d.check(rig.pause(), "the shared folder is paused on both sides")
for program, data_dir, side in ((a, data_a, "A"), (b, data_b, "B")):
    write(program, FIRST, CHANGED[side][len("shared"):])
    d.check(d.wait_for(lambda: holds(data_dir, CHANGED[side])), "%s stores its change" % side)
d.check(rig.pause(False), "the shared folder is resumed")


def conflict_copies():
    # Not Syncthing's temporary file of a copy removed at its source while
    # it was being brought: Syncthing keeps that one and removes it itself.
    return [n for n in os.listdir(data_a) + os.listdir(data_b)
            if ".sync-conflict-" in n and not n.startswith(".syncthing.")]


def settled():
    both = all(holds(data_dir, *CHANGED.values()) for data_dir in (data_a, data_b))
    return both and not conflict_copies() and rig.in_sync()


d.check(d.wait_for(settled, 90, 0.5), "both texts survive on both sides: A %s, B %s; conflict copies %s; in step %s"
        % (stored_texts(data_a), stored_texts(data_b), conflict_copies(), rig.in_sync()))
d.check(d.wait_for(lambda: len(notes(a)) == len(notes(b)) == d.stored_count(os.path.join(data_a, d.DATA_FILE))),
        "each program shows every stored note: %d, %d" % (len(notes(a)), len(notes(b))))


def travelling():
    return sorted(e["name"] for e in rig.a.rest("/rest/db/browse?folder=" + syncthing_rig.FOLDER) or [])


# Both programs may save at once after the folder looked settled; the
# conflict copy that makes travels until a program has taken it in.
d.wait_for(lambda: not any(".sync-conflict-" in n for n in travelling()), 60, 0.5)
shared = travelling()
d.check(d.DATA_FILE in shared and all(n == d.DATA_FILE or re.fullmatch(r"VLM\d{5}\.txt", n) for n in shared),
        "only the data file and the notes' texts travel: %s" % shared)
d.check(rig.loopback_only() is True, "Syncthing used 127.0.0.1 alone: %s" % (rig.loopback_only(),))
d.check(d.stop(a) == 0 and d.stop(b) == 0, "SIGTERM ends both programs")
rig.stop()
