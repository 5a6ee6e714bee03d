#!/usr/bin/env python3
"""Kills the crash driver with SIGKILL at random moments and runs the checker
after every kill.

    run_crash_test.py DRIVER CHECKER [--kills N] [--seed S] [--max-delay SECONDS]
                      [--slow-flush PRELOAD_LIBRARY]

Each round starts the driver on the same program folder, lets it run for a
random time (sometimes almost none, so kills also land in the start-up),
kills it, and runs the checker, which must find the folder in a state the
driver's journal allows. A violation stops the run; the folder is kept and
its path printed. At the end the kills are counted by the operation they cut
off. With --slow-flush the driver runs with the library preloaded that
makes every flush slower (bench/slow_fsync.cpp), by a random 1 to 40 ms per
round, so that most kills land while the disk writer waits for a flush.
"""
import argparse
import collections
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("driver")
    parser.add_argument("checker")
    parser.add_argument("--kills", type=int, default=200)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--max-delay", type=float, default=0.25)
    parser.add_argument("--slow-flush", default=None)
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    chooser = random.Random(seed)
    folder = tempfile.mkdtemp(prefix="cevelmo-crash-")
    print(f"crash test: {args.kills} kills, seed {seed}, folder {folder}", flush=True)
    cut_off = collections.Counter()
    last = {}
    started = time.monotonic()
    for kill in range(1, args.kills + 1):
        env = dict(os.environ)
        if args.slow_flush:
            env["LD_PRELOAD"] = args.slow_flush
            env["CEVELMO_BENCH_FLUSH_MS"] = str(chooser.randint(1, 40))
            # The sanitizers' runtime need not come first when it is preloaded beside.
            env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]))
        driver = subprocess.Popen([args.driver, folder, str(seed + kill)],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
        # A tenth of the kills come almost at once, the rest at any moment.
        delay = chooser.uniform(0, 0.01) if chooser.random() < 0.1 else chooser.uniform(0, args.max_delay)
        time.sleep(delay)
        if driver.poll() is not None:
            print(f"the driver ended by itself with {driver.returncode}:\n{driver.stderr.read().decode()}")
            print(f"folder kept: {folder}")
            return 1
        driver.send_signal(signal.SIGKILL)
        driver.wait()
        check = subprocess.run([args.checker, folder], capture_output=True, text=True)
        if check.returncode != 0:
            print(f"kill {kill} (after {delay * 1000:.1f} ms) left a state that must never be:")
            print(check.stdout + check.stderr)
            print(f"folder kept: {folder}")
            return 1
        fields = dict(item.split("=", 1) for item in check.stdout.split())
        cut_off[fields["inflight"]] += 1
        last = fields
        if kill % 1000 == 0:
            print(f"{kill} kills, {time.monotonic() - started:.0f} s", flush=True)
    elapsed = time.monotonic() - started
    print(f"{args.kills} kills in {elapsed:.0f} s, every state whole")
    print("kills by the operation they cut off: " +
          ", ".join(f"{kind} {count}" for kind, count in sorted(cut_off.items())))
    print(f"at the end: {last.get('notes')} notes, {last.get('unnamed')} unnamed note files left in Data, "
          f"{last.get('cutlog')} log entries cut off by kills")
    shutil.rmtree(folder)
    return 0


if __name__ == "__main__":
    sys.exit(main())
