#!/usr/bin/env python3
"""The real program's command line: --help and --version answer and end
without starting or reaching a running program, anything else is refused
with the usage, and a start without a desktop says why and ends with 1
instead of crashing."""

import glob
import os
import sys

import desktop as d

program = sys.argv[1]
folder = d.program_folder(program)
data_dir = os.path.join(folder, "Data")

USAGE = "Usage: cevelmo [--help | --version]"


def answered(args, env=None):
    return d.finish(d.start(folder, args, env))


# Asked before any instance runs: nothing starts, not even the Data folder.
code, out, err = answered(["--help"])
d.check(code == 0 and out.startswith(USAGE) and err == "", "--help prints the usage and exits 0")
code, out, err = answered(["--version"])
d.check((code, out, err) == (0, "CeVelmo 1.20\n", ""), "--version prints 1.20 and exits 0: %r" % out)
code, out, err = answered(["--frobnicate"])
d.check(code == 2 and out == "" and "unknown option '--frobnicate'" in err and USAGE in err,
        "an unknown option prints the usage to standard error and exits 2")
code, out, err = answered(["notes.txt"])
d.check(code == 2 and "unexpected argument 'notes.txt'" in err, "so does an argument")
d.check(not os.path.exists(data_dir), "none of them started the program")

# With the program running, they still only answer: no note appears.
running = d.start(folder)
d.check(d.wait_for(lambda: d.read(os.path.join(data_dir, "CE_VELMO.lock"), b"").endswith(b"\n")),
        "the program runs and listens for later starts")
for args, expected in ((["--help"], 0), (["--version"], 0), (["--bogus"], 2)):
    code, _, _ = answered(args)
    d.check(code == expected, "%s exits %d beside a running program" % (args[0], expected))
# A plain start hands its note over after theirs would have come.
d.check(answered([])[0] == 0 and d.wait_for(d.note_windows), "a plain start hands a note to the running program")
d.check(len(d.note_windows()) == 1, "and the running program made no note for them")
d.check(running.poll() is None, "the running program is still there")

# No desktop at all: one line saying so, exit code 1, no crash.
bare = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
other_folder = d.program_folder(program)
code, out, err = d.finish(d.start(other_folder, env=bare))
d.check(code == 1, "without a display the program exits 1 (was %d)" % code)
d.check(len(err.splitlines()) == 1 and err.startswith("cevelmo: ") and "DISPLAY" in err,
        "and says why in one line: %r" % err)
d.check(not os.path.exists(os.path.join(other_folder, "Data")), "before touching anything")

# An X display that nobody serves.
unused = next(n for n in range(4000, 5000) if not glob.glob("/tmp/.X11-unix/X%d" % n))
code, out, err = d.finish(d.start(other_folder, env=dict(bare, DISPLAY=":%d" % unused)))
d.check(code == 1 and err.startswith("cevelmo: ") and len(err.splitlines()) == 1,
        "a display that does not answer: exit 1 with one line: %r" % err)

d.check(d.stop(running) == 0, "SIGTERM ends the running program with code 0")
