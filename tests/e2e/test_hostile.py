#!/usr/bin/env python3
"""The real program against special files in Data, too little memory for a
paste, its lock file deleted or replaced, a read-only Data folder, and a
signal while a start-up that cannot run shows why."""

import os
import resource
import subprocess
import sys

import desktop as d

program = sys.argv[1]
names = ["VLM%05d.txt" % i for i in range(4)]
folder, data_dir, _ = d.fresh_folder(program, [d.record_bytes((100 + 150 * i, 100, 220 + 150 * i, 160), file_name=name)
                                               for i, name in enumerate(names)], {names[3]: "kept"})
lock = os.path.join(data_dir, "CE_VELMO.lock")
os.mkfifo(os.path.join(data_dir, names[0]))
os.symlink("/dev/zero", os.path.join(data_dir, names[1]))
open(os.path.join(data_dir, names[2]), "wb").truncate(2 << 30)

p = d.start(folder)
d.check(d.wait_for(lambda: len(d.note_windows()) == 4), "past a FIFO, /dev/zero and 2 GB, all four notes are up")
d.check(d.wait_for(lambda: d.read(lock, b"").endswith(b"\n")), "and the program listens for later starts")

if "ASAN_OPTIONS" in os.environ:
    print("skipped: an instrumented program cannot run in a limited address space")
else:
    size = int(next(line for line in open("/proc/%d/status" % p.pid) if line.startswith("VmSize:")).split()[1])
    d.offer_clipboard("x" * (20 << 20))
    # Room for the clipboard's text but not for it in the note, then not even for that.
    for room in (170, 30):
        resource.prlimit(p.pid, resource.RLIMIT_AS, ((size << 10) + (room << 20), resource.RLIM_INFINITY))
        d.check(d.note_menu(560, 130) and d.choose("e", "p"), "the note menu's paste is chosen")
        d.check(d.wait_for(lambda: len(d.note_windows()) == 5), "%d MB left: a paste of 20 MB says no memory" % room)
        d.key("Return")
        d.check(d.wait_for(lambda: len(d.note_windows()) == 4) and d.stored_text(data_dir, 3) == b"kept",
                "and the note keeps its text")
    resource.prlimit(p.pid, resource.RLIMIT_AS, (resource.RLIM_INFINITY, resource.RLIM_INFINITY))

def hands_over(why):
    before = len(d.note_windows())
    code, _, err = d.finish(d.start(folder))
    d.check(code == 0 and d.wait_for(lambda: len(d.note_windows()) == before + 1),
            "%s: a second start hands its note over (%d: %s)" % (why, code, err.strip()))


os.unlink(lock)
hands_over("the lock file deleted")
d.run("sh", "-c", "echo /a/stale/address > %s.new && mv %s.new %s" % (lock, lock, lock))
hands_over("the lock file replaced")
if os.geteuid() != 0 or subprocess.run(["mount", "--bind", data_dir, data_dir]).returncode != 0:
    print("skipped: a read-only bind mount of Data needs root and a system that lets it mount")
else:
    try:
        subprocess.run(["mount", "-o", "remount,ro,bind", data_dir], check=True)
        hands_over("Data read-only")
    finally:
        subprocess.run(["umount", data_dir], check=True)

d.check(d.stop(p) == 0, "SIGTERM ends the program")
log = d.read(next(log for process, log in d._programs if process is p), b"").decode()
d.check(all("%s is " % name in log for name in names[:3]), "each skipped file is named on stderr")

# A start that cannot make its Data folder shows why; SIGTERM ends it then.
folder = d.program_folder(program)
open(os.path.join(folder, "Data"), "w").close()
p = d.start(folder)
d.check(d.wait_for(d.note_windows) and d.stop(p) == 0, "SIGTERM ends a start-up that shows why it cannot run")
