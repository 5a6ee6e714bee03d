#!/usr/bin/env python3
"""The X server ends under the running program, with typing in an open
editor and a nudge whose save still waits. The program ends at once (exit
code 1, as Qt ends it), but first writes the nudge's save and the typing's
recovery copy, which the next start puts into the note. The program runs on
an X server of the test's own, which the test kills; the next start runs on
the test's desktop."""

import os
import signal
import sys

import desktop as d

program = sys.argv[1]
folder = d.program_folder(program)
data_dir = os.path.join(folder, "Data")
data_path = os.path.join(data_dir, "CeVlmDat.bin")
copy = os.path.join(data_dir, "CeVlmEdit.txt")
os.makedirs(data_dir)
with open(os.path.join(data_dir, "VLM00000.txt"), "wb") as f:
    f.write(b"old")
with open(data_path, "wb") as f:
    f.write(d.data_file([d.record_bytes((200, 150, 360, 210), file_name="VLM00000.txt"),
                         d.record_bytes((500, 150, 660, 210))]))

desktop_display = os.environ["DISPLAY"]
server = d.start_display()
p = d.start(folder)
edited, nudged = d.wait_for(lambda: d.window_at(200, 150)), d.wait_for(lambda: d.window_at(500, 150))
d.check(edited and nudged, "both stored notes are up")
d.click(580, 180)
d.check(d.wait_for(lambda: d.run("xdotool", "getwindowfocus").strip() == str(nudged)), "a click focuses a note")
# Close together, so that both wait at the kill: the nudge, Ctrl+double-click
# on the other note, which opens its editor with the caret before "old", and
# typing whose last keys, Returns, make the note taller; once it is, every key
# before it has been handled.
d.run("xdotool", "key", "Right", "mousemove", "280", "180", "keydown", "ctrl", "click", "--repeat", "2",
      "--delay", "60", "1", "keyup", "ctrl")
d.check(d.wait_for(lambda: d.window_pixel(edited, 10, 10) == (255, 255, 255), step=0.01),
        "Ctrl+double-click opens the editor")
d.run("xdotool", "type", "--delay", "1", "typed\r\r\r")
d.check(d.wait_for(lambda: d.geometry(edited)[3] > 60 and d.geometry(nudged)[0] == 501, step=0.01),
        "the arrow key nudges the note and Return makes the edited one taller: %s %s"
        % (d.geometry(nudged), d.geometry(edited)))
pending = (d.stored_records(data_path)[1][0][0] == 500, not os.path.exists(copy))
server.send_signal(signal.SIGKILL)
d.check(p.wait(20) == 1, "the program ends with the X server, with exit code 1")
print("waiting at the kill: the nudge's save %s, the recovery copy %s" % pending, flush=True)
d.check(d.stored_records(data_path)[1][0][0] == 501, "the data file holds the nudge: %s" % (d.stored_records(data_path),))
d.check(d.read(copy, b"").endswith(b"\n\n" + b"typed\r\n\r\n\r\nold"), "the recovery copy holds the typing: %r" % (d.read(copy),))

os.environ["DISPLAY"] = desktop_display
p = d.start(folder)
d.check(d.wait_for(lambda: not os.path.exists(copy)), "the next start takes the copy in")
d.check(d.stop(p) == 0 and d.stored_text(data_dir, 0) == b"typed\r\n\r\n\r\nold",
        "the note and its text file hold the typing: %r" % (d.stored_text(data_dir, 0),))
