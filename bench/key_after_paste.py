#!/usr/bin/env python3
"""How long a key waits after a paste when the disk flushes slowly.

    key_after_paste.py --shim LIB [--flush-ms MS] [--runs N] NAME=PROGRAM...

Run on a desktop (tests/e2e/with_desktop.sh; bench/key_after_paste.sh does
all of it). For each program and run: one note with a short text, the
program started with LIB preloaded (bench/slow_fsync.cpp: every flush takes
MS milliseconds longer), a text of eight lines put on the clipboard by
another program, the note clicked, "貼り付け (&P)" chosen from its menu (a right
click, then E and P), and at once the Left key pressed at the note. Reported per run: how long after the key the
note stood one pixel further left (the key handled), and how long after the
choice the data file named the pasted text (the paste on disk)."""

import argparse
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import desktop as d  # noqa: E402

# Eight short lines: the note fitted to them stays where it stands.
TEXT = "\n".join("line %d of the pasted text" % n for n in range(8))


def one_run(program, shim, flush_ms):
    folder = d.program_folder(program)
    data_dir = os.path.join(folder, "Data")
    os.makedirs(data_dir)
    with open(os.path.join(data_dir, "VLM00000.txt"), "wb") as f:
        f.write(b"before the paste")
    with open(os.path.join(data_dir, "CeVlmDat.bin"), "wb") as f:
        f.write(d.data_file([d.record_bytes((300, 200, 500, 280), file_name="VLM00000.txt")]))
    env = dict(os.environ, LD_PRELOAD=os.path.abspath(shim), CEVELMO_BENCH_FLUSH_MS=str(flush_ms))
    process = d.start(folder, env=env)
    note = d.wait_for(lambda: d.window_at(300, 200), timeout=30)
    d.check(note, "the note is up")
    d.offer_clipboard(TEXT)
    d.click(330, 220)  # the click activates the note; its keys go to it
    time.sleep(0.5)
    d.click(330, 220, button=3)
    d.check(d.wait_for(d.popup_menus), "a right click opens the note's menu")
    d.run("xdotool", "key", "e")
    time.sleep(0.3)
    chosen = time.monotonic()
    d.run("xdotool", "key", "p")
    left = 300  # where the note stands, before the paste and after it
    pressed = time.monotonic()
    d.run("xdotool", "key", "Left")
    d.check(d.wait_for(lambda: d.geometry(note)[0] == left - 1, timeout=120, step=0.002),
            "Left moved the note: %s" % (d.geometry(note),))
    handled = time.monotonic() - pressed
    d.check(d.wait_for(lambda: d.stored_text(data_dir, 0) == TEXT.replace("\n", "\r\n").encode(), timeout=120, step=0.01),
            "the pasted text is on disk")
    on_disk = time.monotonic() - chosen
    d.stop(process)
    return handled, on_disk


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--shim", required=True)
    parser.add_argument("--flush-ms", type=int, default=2000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("programs", nargs="+")
    args = parser.parse_args()
    for named in args.programs:
        name, program = named.split("=", 1)
        results = [one_run(program, args.shim, args.flush_ms) for _ in range(args.runs)]
        keys = [round(k * 1000) for k, _ in results]
        disks = [round(p * 1000) for _, p in results]
        print(f"{name}: flush +{args.flush_ms} ms: key handled after {keys} ms (median "
              f"{statistics.median(keys)} ms); paste on disk after {disks} ms (median {statistics.median(disks)} ms)",
              flush=True)


if __name__ == "__main__":
    main()
