#!/usr/bin/env python3
"""The start-up benchmark's runs, on the desktop that bench/startup.sh sets
up: for each number of notes, the floor program and CeVelmo start one after
the other, RUNS times each, and each run reports the time from exec until
every note window is mapped, the resident memory once it is idle, and the
processor time that the program, the X server and the window manager spent
until the last window was mapped.

    startup_runs.py BUILD_DIR [--runs N] [--sizes 1,100,1000] [--timeout S]
                              [--program NAME=PATH]...

--program adds another build of CeVelmo to compare (say, the one before a
change); each gets its own copy of the same notes."""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
QUIET_MS = 1000  # memory is read once the program has been idle this long


def cpu_ticks(pid):
    try:
        with open("/proc/%s/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])
    except (OSError, IndexError, ValueError):
        return 0


def wait_for_quiet_desktop(pids, timeout=120):
    """The X server and the window manager have finished with the last run:
    a run that starts while the window manager still lets go of a thousand
    windows would measure that too. Quiet means neither has used the
    processor for a second."""
    end = time.time() + timeout
    last, quiet_since = [cpu_ticks(p) for p in pids], time.time()
    while time.time() < end and time.time() - quiet_since < 1.0:
        time.sleep(0.1)
        now = [cpu_ticks(p) for p in pids]
        if now != last:
            last, quiet_since = now, time.time()


def desktop_pids():
    """The X server and the window manager that with_desktop.sh started."""
    parent = os.getppid()
    found = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            with open("/proc/%s/comm" % entry) as f:
                name = f.read().strip()
        except OSError:
            continue
        if int(fields[1]) == parent and name in ("Xvfb", "openbox"):
            found[name] = entry
    return [found.get("Xvfb", "0"), found.get("openbox", "0")]


class Run:
    def __init__(self, words):
        self.complete = len(words) >= 3 and words[0] == "ok"
        self.ms = int(words[1]) if self.complete else None
        self.rss_mb = int(words[2]) / 1024 if len(words) >= 3 and int(words[2]) > 0 else None
        self.cpu = [int(w) for w in words[3:6]] if len(words) >= 6 else None


def run_once(watch, count, timeout, command):
    words = subprocess.run([watch, str(count), str(timeout * 1000), str(QUIET_MS)] + command,
                           capture_output=True, text=True).stdout.split()
    return Run(words)


def spread(values, form="%d"):
    if not values:
        return "-"
    return " / ".join(form % v for v in (min(values), statistics.median(values), max(values)))


def print_tables(rows, names, runs):
    print("| notes | program | mapped (ms) min / median / max | incomplete | RSS (MB) min / median / max "
          "| CPU (ms) median: program / X server / window manager |")
    print("|---:|---|---|---:|---|---|")
    for size, results in rows:
        for name in names:
            rs = results[name]
            times = [r.ms for r in rs if r.complete]
            rss = [r.rss_mb for r in rs if r.rss_mb is not None]
            cpus = [r.cpu for r in rs if r.complete and r.cpu]
            cpu = " / ".join("%d" % statistics.median(c[i] for c in cpus) for i in range(3)) if cpus else "-"
            print("| %d | %s | %s | %d of %d | %s | %s |" % (size, name, spread(times), len(rs) - len(times),
                                                          runs, spread(rss, "%.1f"), cpu))
    print()
    print("| notes | program | median time / floor's | median RSS - floor's (MB) |")
    print("|---:|---|---:|---:|")
    for size, results in rows:
        floor_t = [r.ms for r in results["floor"] if r.complete]
        floor_m = [r.rss_mb for r in results["floor"] if r.rss_mb is not None]
        for name in names[1:]:
            t = [r.ms for r in results[name] if r.complete]
            m = [r.rss_mb for r in results[name] if r.rss_mb is not None]
            ratio = "%.2f" % (statistics.median(t) / statistics.median(floor_t)) if t and floor_t else "-"
            diff = "%+.1f" % (statistics.median(m) - statistics.median(floor_m)) if m and floor_m else "-"
            extra = " (+%d ms)" % (statistics.median(t) - statistics.median(floor_t)) if t and floor_t else ""
            print("| %d | %s | %s%s | %s |" % (size, name, ratio, extra, diff))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", default="1,100,1000")
    parser.add_argument("--timeout", type=int, default=60)
    parser.add_argument("--program", action="append", default=[])
    args = parser.parse_args()
    floor = os.path.join(args.build, "bench", "bench_floor")
    watch = os.path.join(args.build, "bench", "bench_map_watch")
    programs = [("cevelmo", os.path.join(args.build, "cevelmo"))]
    programs += [tuple(p.split("=", 1)) for p in args.program]
    names = ["floor"] + [name for name, _ in programs]
    work = tempfile.mkdtemp(prefix="cevelmo-bench-")
    pids = desktop_pids()
    os.environ["MAP_WATCH_PIDS"] = " ".join(pids)
    try:
        print("load average before: %s" % " ".join(open("/proc/loadavg").read().split()[:3]), flush=True)
        rows = []
        for size in (int(s) for s in args.sizes.split(",")):
            commands = {}
            for name, path in programs:
                folder = os.path.join(work, "%s-%d" % (name, size))
                subprocess.run([sys.executable, os.path.join(HERE, "make_notes.py"), path, folder, str(size)],
                               check=True)
                commands[name] = [os.path.join(folder, "cevelmo")]
            commands["floor"] = [floor, os.path.join(work, "%s-%d" % (programs[0][0], size), "places.txt")]
            results = {name: [] for name in names}
            # The programs take turns, so that a change in the machine's load
            # falls on all of them alike.
            for run in range(args.runs):
                for name in names:
                    wait_for_quiet_desktop(pids)
                    r = run_once(watch, size, args.timeout, commands[name])
                    results[name].append(r)
                    print("%5d notes  %-10s run %d: %s ms, %s MB, CPU %s ms" % (
                        size, name, run + 1, r.ms if r.complete else "incomplete",
                        "%.1f" % r.rss_mb if r.rss_mb else "-", r.cpu), flush=True)
            rows.append((size, results))
        print("load average after: %s" % " ".join(open("/proc/loadavg").read().split()[:3]))
        print()
        print_tables(rows, names, args.runs)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
