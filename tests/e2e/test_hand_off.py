#!/usr/bin/env python3
"""The hand-off socket of the real program, probed as a hostile local process
would: only the one request makes a note, anything else is dropped with the
connection; a size promised in a header buys nothing; silent connections are
closed; a flood of them, or running out of descriptors, leaves the program
reachable by later starts."""

import os
import resource
import socket
import struct
import sys
import time

import desktop as d

program = sys.argv[1]
REQUEST = b"VELMO hand-off 1\n"

folder = d.program_folder(program)
data_dir = os.path.join(folder, "Data")
program_process = d.start(folder)


def address():
    text = d.read(os.path.join(data_dir, "CE_VELMO.lock"), b"")
    return text[:-1].decode() if text.endswith(b"\n") else None


d.check(d.wait_for(address), "the program listens for later starts")
path = address()


def connect():
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.settimeout(10)
    s.connect(path)
    return s


def answer(s, timeout=20):
    """What the program answers before it closes the connection: b"" when it
    closes without an answer, None when it keeps it open past the timeout."""
    s.settimeout(timeout)
    try:
        return s.recv(16)
    except socket.timeout:
        return None
    except ConnectionResetError:
        return b""


def resident_kib(pid):
    for line in open("/proc/%d/status" % pid):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


# The request itself, from any process of the user, makes one note.
s = connect()
s.sendall(REQUEST)
d.check(answer(s) == b"\x01", "the request is answered as queued")
s.close()
d.check(d.wait_for(lambda: len(d.note_windows()) == 1), "and makes one note")

# Anything else is dropped, with the connection, and changes nothing.
utf16 = lambda text: struct.pack(">I", len(text) * 2) + text.encode("utf-16-be")
asks_to_exit = utf16("VELMO") + utf16("付箋紙") + struct.pack(">IQq", 0x0111, 114, 0)
for what, data in (("raw bytes", b"\x00\x01\x02garbage\xff" * 4),
                   ("a message of another form that asks the program to end", asks_to_exit),
                   ("the request's beginning, then something else", REQUEST[:6] + b"X" + REQUEST[7:]),
                   ("the request cut short", REQUEST[:-1]),
                   ("the request followed by more", REQUEST + b"VELMO")):
    s = connect()
    s.sendall(data)
    if what == "the request cut short":
        s.shutdown(socket.SHUT_WR)
    d.check(answer(s) == b"", "%s: the connection is closed without an answer" % what)
    s.close()
# The request again: its note comes after any that those would have made.
s = connect()
s.sendall(REQUEST)
d.check(answer(s) == b"\x01" and d.wait_for(lambda: len(d.note_windows()) == 2), "the request still makes a note")
s.close()
d.check(len(d.note_windows()) == 2, "none of the others made a note")
d.check(program_process.poll() is None, "and the program still runs")

# A header promising a gigabyte: the program does not wait for it, nor keep it.
before = resident_kib(program_process.pid)
s = connect()
sent, closed = 0, False
try:
    s.sendall(struct.pack(">I", 1 << 30))
    chunk = b"\0" * (1 << 20)
    while sent < (64 << 20):
        s.sendall(chunk)
        sent += len(chunk)
except (BrokenPipeError, ConnectionResetError, socket.timeout):
    closed = True
s.close()
d.check(closed and sent < (8 << 20), "a header promising 1 GB: closed after %d MiB" % (sent >> 20))
d.check(resident_kib(program_process.pid) - before < 8 * 1024, "and the program holds no buffer for it")

# A silent connection is closed after a short time.
s = connect()
d.check(answer(s, timeout=30) == b"", "a connection that sends nothing is closed")
s.close()

# A flood of silent connections: later starts still get through.
flood = []
for _ in range(300):
    try:
        flood.append(connect())
    except OSError:
        break  # the queue of waiting connections is full, as intended
code, _, err = d.finish(d.start(folder), timeout=60)
d.check(code == 0, "a later start during a flood of %d silent connections exits 0 (%s)" % (len(flood), err.strip()))
d.check(d.wait_for(lambda: len(d.note_windows()) == 3), "and makes its note")
for s in flood:
    s.close()

# Out of descriptors: the program stops accepting for a moment, not for good.
open_now = len(os.listdir("/proc/%d/fd" % program_process.pid))
limits = resource.prlimit(program_process.pid, resource.RLIMIT_NOFILE)
resource.prlimit(program_process.pid, resource.RLIMIT_NOFILE, (open_now + 3, limits[1]))
held = [connect() for _ in range(20)]
# A hold, not a wait: the program stays short of descriptors, with these
# connections waiting, for many of its pauses in accepting (0.2 s).
time.sleep(3)
for s in held:
    s.close()
resource.prlimit(program_process.pid, resource.RLIMIT_NOFILE, limits)
code, _, err = d.finish(d.start(folder), timeout=60)
d.check(code == 0, "after running out of descriptors a later start exits 0 (%s)" % err.strip())
d.check(d.wait_for(lambda: len(d.note_windows()) == 4), "and makes its note")

d.check(d.stop(program_process) == 0, "SIGTERM ends the program with code 0")
