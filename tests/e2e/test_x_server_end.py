#!/usr/bin/env python3
"""The X server ends under the program while an editor holds typing not yet
copied: the program ends with exit code 1, as Qt ends it, but first writes
the typing's recovery copy."""

import os
import signal
import sys

import desktop as d

folder, data_dir, _ = d.fresh_folder(sys.argv[1], [d.record_bytes((200, 150, 360, 210), file_name="VLM00000.txt")],
                                     {"VLM00000.txt": "old"})
copy = os.path.join(data_dir, "~CeVlmEdit.tmp")
p = d.start(folder)
edited = d.wait_for(lambda: d.window_at(200, 150))
d.ctrl_double_click(280, 180)
d.check(d.wait_for(lambda: d.pixel(210, 160) == (255, 255, 255)), "the editor opens, the caret before 'old'")
d.type_text("typed\r\r\r", delay=1)  # once the Returns made the note taller, every key was handled
d.check(d.wait_for(lambda: d.geometry(edited)[3] > 60, step=0.01), "the note grows")
written = os.path.exists(copy)
os.kill(int(d.run("pgrep", "-P", str(os.getppid()), "-x", "Xvfb")), signal.SIGKILL)  # with_desktop.sh's
d.check(p.wait(20) == 1, "the program ends with the X server, with exit code 1")
d.check(d.read(copy, b"").endswith(b"\n\ntyped\r\n\r\n\r\nold"),
        "the copy (written before the kill: %s) holds the typing: %r" % (written, d.read(copy)))
