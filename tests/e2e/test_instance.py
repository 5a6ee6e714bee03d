#!/usr/bin/env python3
"""One running program per Data folder: a second start from another session
(another runtime folder) hands its note to the running one; a copy with its
own Data folder runs on its own; a killed program leaves no lock behind;
bursts of starts, cold and warm, make one note per start; runtime folders
that are not the user's own are never used for the socket."""

import os
import pwd
import socket
import sys

import desktop as d

program = sys.argv[1]


def lock_file(folder):
    return os.path.join(folder, "Data", "CE_VELMO.lock")


def address(folder):
    """The socket the running program listens on, as its lock file says."""
    text = d.read(lock_file(folder), b"")
    return text[:-1].decode() if text.endswith(b"\n") else None


def listening(folder):
    """Whether a program listens at the address in the lock file (a killed
    one leaves its address behind until the next one starts)."""
    where = address(folder)
    if not where:
        return False
    with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
        try:
            s.connect(where)
            return True
        except OSError:
            return False


def started(folder, env=None):
    p = d.start(folder, env=env)
    d.check(d.wait_for(lambda: listening(folder)), "the program runs and listens for later starts")
    return p


def later_start(folder, env=None):
    code, _, err = d.finish(d.start(folder, env=env))
    return code, err


def new_notes(before, count, timeout=20):
    """Waits for count note windows beyond those in before; returns them all."""
    found = d.wait_for(lambda: len(set(d.note_windows()) - set(before)) >= count and d.note_windows(), timeout)
    return set(found or d.note_windows()) - set(before)


def env_with(**changes):
    env = dict(os.environ)
    for name, value in changes.items():
        if value is None:
            env.pop(name, None)
        else:
            env[name] = value
    return env


def running_copies(folder):
    exe = os.path.join(folder, "cevelmo")
    pids = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.readlink("/proc/%s/exe" % pid) == exe:
                pids.append(int(pid))
        except OSError:
            pass
    return pids


def saved_record_count(folder, note):
    """Makes the program save (a drag of one note saves every record) and
    returns how many records the data file then holds."""
    left, top, width, height = d.geometry(note)
    data = os.path.join(folder, "Data", "CeVlmDat.bin")
    before = d.read(data)
    d.drag((left + width // 2, top + height // 2), (left + width // 2 + 30, top + height // 2 + 20))
    d.check(d.wait_for(lambda: d.read(data) not in (None, before)), "dragging a note saves the data file")
    return d.records(d.read(data))[0]


# Another session: its own runtime folder, the same Data folder.
folder = d.program_folder(program)
first = started(folder)
other_session = d.private_folder("other-session")
code, err = later_start(folder, env_with(XDG_RUNTIME_DIR=other_session))
d.check(code == 0, "a start from another session exits 0 (%d: %s)" % (code, err.strip()))
d.check(len(new_notes([], 1)) == 1, "and the running program shows its one new note")
d.check(running_copies(folder) == [first.pid], "one instance runs on the Data folder")

# A copy of the program with its own Data folder runs on its own.
copy = d.program_folder(program)
second = started(copy)
d.check(second.poll() is None and first.poll() is None, "a copy with its own Data folder runs beside it")
d.check(len(d.note_windows()) == 1, "and hands nothing to the first")
d.check(d.stop(second) == 0, "the copy ends with SIGTERM")

# Killed, the program leaves no lock behind; its socket is replaced.
notes = d.note_windows()
d.stop(first, sig=9)
d.check(d.wait_for(lambda: d.note_windows() == []), "the killed program's notes are gone")
first = started(folder)
# The note handed over before the kill was saved within a second, so the
# new start shows it again; the later start adds one more.
restored = d.wait_for(d.note_windows) or []
code, _ = later_start(folder)
d.check(code == 0 and len(new_notes(restored, 1)) == 1, "after a kill a new start runs and takes later starts' notes")

# A socket that disappears (a cleaner emptied the runtime folder) comes back.
os.unlink(address(folder))
before = d.note_windows()
code, _ = later_start(folder)
d.check(code == 0 and len(new_notes(before, 1)) == 1, "a deleted socket is made again and still takes notes")
d.check(d.stop(first) == 0, "SIGTERM ends the program")
d.check(d.read(lock_file(folder)) == b"", "its address is taken out of the lock file at the end")

# Runtime folders that another user could write into or own are passed over.
nobody = pwd.getpwnam("nobody").pw_uid
open_folder = d.private_folder("open-runtime")
os.chmod(open_folder, 0o777)
foreign_tmp = d.private_folder("foreign-tmp")
os.chmod(foreign_tmp, 0o1777)
squatted = os.path.join(foreign_tmp, "cevelmo-%d" % os.geteuid())
os.mkdir(squatted, 0o777)
os.chown(squatted, nobody, nobody)
long_runtime = d.private_folder("r" * 100)
own_tmp = d.private_folder("tmp")  # so that nothing is left in /tmp
for name, env in (("open to others", env_with(XDG_RUNTIME_DIR=open_folder, TMPDIR=own_tmp)),
                  ("unset, its folder in TMPDIR taken by another user",
                   env_with(XDG_RUNTIME_DIR=None, TMPDIR=foreign_tmp)),
                  ("too long for a socket path", env_with(XDG_RUNTIME_DIR=long_runtime, TMPDIR=own_tmp))):
    folder = d.program_folder(program)
    p = started(folder, env)
    where = address(folder)
    d.check(os.path.dirname(where) not in (open_folder, squatted, long_runtime),
            "runtime folder %s: the socket goes elsewhere (%s)" % (name, where))
    info = os.stat(os.path.dirname(where))
    d.check(info.st_uid == os.geteuid() and info.st_mode & 0o022 == 0,
            "into a folder of the user's own that no one else may write")
    code, _ = later_start(folder, env)
    d.check(code == 0 and len(new_notes([], 1)) == 1, "and a later start reaches it there")
    d.stop(p)
    d.check(d.wait_for(lambda: d.note_windows() == []), "its notes go with it")

# A burst of 20 cold starts: one becomes the program, every other one a note.
folder = d.program_folder(program)
burst = [d.start(folder) for _ in range(20)]
ends = d.wait_for(lambda: sum(p.poll() is not None for p in burst) >= 19, timeout=60)
running = [p for p in burst if p.poll() is None]
d.check(ends and len(running) == 1, "of 20 cold starts one keeps running")
d.check(all(p.returncode == 0 for p in burst if p is not running[0]), "the other 19 exit 0")
notes = new_notes([], 19)
d.check(len(notes) == 19, "every later start of the burst made one note (%d)" % len(notes))

# A burst of 20 more while it runs: 20 more notes, all of them saved.
burst = [d.start(folder) for _ in range(20)]
results = [d.finish(p, timeout=60) for p in burst]
d.check(all(code == 0 for code, _, _ in results),
        "the 20 starts of a warm burst exit 0: %s" % [(code, err.strip()) for code, _, err in results if code])
more = new_notes(notes, 20)
d.check(len(more) == 20, "20 starts while it runs made 20 notes (%d)" % len(more))
notes |= more
d.check(saved_record_count(folder, sorted(notes)[0]) == 39, "the data file holds all 39 notes")
d.check(d.stop(running[0]) == 0, "SIGTERM ends the program")
