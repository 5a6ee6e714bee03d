#!/usr/bin/env python3
"""What the real program has on disk when it is killed or ended: a new note
is written without being asked, a held arrow key is written a few times
rather than once per step, SIGHUP ends the program with a waiting change
written, a signal during start-up never cuts start-up short, and typing
killed in the middle of an edit comes back at the next start."""

import os
import signal
import sys
import time

import desktop as d

program = sys.argv[1]

# A note made from the tray menu, then the program killed once the data file
# has been replaced: the note is in it.
folder, data_dir, data_path = d.fresh_folder(program)
p = d.start(folder)
d.check(len(d.tray_menu()) == 1, "the tray menu opens")
d.check(d.choose("n"), "'付箋紙の新規作成 (&N)' is chosen")
d.check(len(d.wait_for(d.note_windows)) == 1, "'付箋紙の新規作成 (&N)' makes a note")
d.check(d.wait_for(lambda: d.stored_count(data_path) == 1), "the new note is written without being asked")
p.kill()
p.wait()
d.check(d.stored_count(data_path) == 1, "killed after that, the data file holds it")

# The same for the note a second start hands over.
p = d.start(folder)
d.check(len(d.wait_for(d.note_windows)) == 1, "the stored note comes back")
second = d.start(folder)
d.check(second.wait(15) == 0, "the second start ends at once")
d.check(len(d.wait_for(lambda: len(d.note_windows()) == 2 and d.note_windows())) == 2,
        "the running program makes the new note")
d.check(d.wait_for(lambda: d.stored_count(data_path) == 2), "the handed-over note is written without being asked")
p.kill()
p.wait()
d.check(d.stored_count(data_path) == 2, "killed after that, the data file holds its note")

# An arrow key held for two seconds moves the note many pixels and writes
# the data file a few times, not once per step; the last place is stored.
folder, data_dir, data_path = d.fresh_folder(program, [d.record_bytes((200, 150, 360, 210))])
p = d.start(folder)
note = d.wait_for(lambda: d.note_windows() and d.note_windows()[0])
d.check(note, "the stored note is shown")
d.check(d.click_to_focus(note, 300, 180), "a click focuses the note")
writes = d.Replacements(data_dir, "CeVlmDat.bin")
d.run("xdotool", "keydown", "Right")
held = time.monotonic()
while time.monotonic() - held < 2:
    writes.poll()  # read as they come: the kernel may merge unread events
    time.sleep(0.02)
d.run("xdotool", "keyup", "Right")
moved = d.wait_for(lambda: d.geometry(note)[0] > 200 and d.geometry(note))
steps = moved[0] - 200 if moved else 0
settled = d.wait_for(lambda: writes.poll() and d.stored_records(data_path)[0][0][0] == d.geometry(note)[0],
                     step=0.02)
d.check(settled, "once the key is let go the data file holds the last place: %s" % (d.geometry(note),))
count = writes.poll()
d.check(steps >= 10 and 1 <= count <= steps // 2,
        "a held arrow key moved the note %d pixels and wrote the data file %d times" % (steps, count))
# The next write is the next nudge's: nothing more came of the burst.
before = d.geometry(note)[0]
d.key("Left")
d.check(d.wait_for(lambda: d.stored_records(data_path)[0][0][0] == before - 1), "a nudge is written")
d.check(writes.poll() == count + 1, "nothing more was written after the burst but the nudge")

# SIGHUP (a closed terminal) right after a nudge: the program ends cleanly
# and the nudge is written on the way out.
before = d.geometry(note)[0]
d.key("Left")
d.check(d.wait_for(lambda: d.geometry(note)[0] == before - 1), "Left moves the note one pixel")
d.check(d.stop(p, signal.SIGHUP) == 0, "SIGHUP ends the program with code 0")
d.check(d.stored_records(data_path)[0][0][0] == before - 1, "the nudge waiting to be written is in the data file")

# SIGTERM while the program is still starting: it starts fully, then ends
# with code 0, and the data file is exactly as it was.
records = [d.record_bytes((40 + 3 * (i % 200), 40 + 2 * (i % 150), 200 + 3 * (i % 200), 80 + 2 * (i % 150)),
                          file_name="VLM%05d.txt" % i) for i in range(300)]
texts = {"VLM%05d.txt" % i: "メモ %d" % i for i in range(300)}
folder, data_dir, data_path = d.fresh_folder(program, records, texts)
stored = d.read(data_path)
p = d.start(folder)


def catches_sigterm():
    """True once the program has its handler for SIGTERM in place, which is
    the first thing it does; before that the signal would kill any program."""
    try:
        with open("/proc/%d/status" % p.pid) as status:
            caught = next(line for line in status if line.startswith("SigCgt:"))
    except (OSError, StopIteration):
        return False
    return int(caught.split()[1], 16) & (1 << (signal.SIGTERM - 1)) != 0


d.check(d.wait_for(catches_sigterm, step=0.002), "the program catches SIGTERM from its start")
p.send_signal(signal.SIGTERM)
try:
    code = p.wait(30)
except Exception:
    code = None
d.check(code == 0, "SIGTERM during start-up ends the program cleanly (exit code %s)" % code)
d.check(d.read(data_path) == stored, "the data file is unchanged: no note was left out")
d.check(sorted(n for n in os.listdir(data_dir) if n.startswith("VLM")) == ["VLM%05d.txt" % i for i in range(300)],
        "every note's text file is still there")

# kill -9 in the middle of an edit: once the recovery copy holds the typing,
# the next start puts it into the note and its text file.
folder, data_dir, data_path = d.fresh_folder(
    program, [d.record_bytes((200, 150, 360, 210), file_name="VLM00000.txt")], {"VLM00000.txt": "old"})
copy = os.path.join(data_dir, "~CeVlmEdit.tmp")
editing = d.start(folder)
d.check(d.wait_for(lambda: d.window_at(200, 150)), "the stored note is shown: notes at %s, the program %s"
        % ([d.geometry(w) for w in d.note_windows()], "runs" if editing.poll() is None else "ended"))
d.ctrl_double_click(280, 180)
d.check(d.wait_for(lambda: d.pixel(210, 160) == (255, 255, 255)), "Ctrl+double-click opens the editor")
d.type_text("typed ")
d.check(d.wait_for(lambda: d.read(copy, b"").endswith(b"\n\ntyped old")), "the recovery copy holds the typing")
d.stop(editing, signal.SIGKILL)
editing = d.start(folder)
d.check(d.wait_for(lambda: not os.path.exists(copy)), "the next start takes the copy in")
d.check(d.stop(editing) == 0 and d.stored_text(data_dir, 0) == b"typed old",
        "the note and its text file hold the typing: %r" % (d.stored_text(data_dir, 0),))
