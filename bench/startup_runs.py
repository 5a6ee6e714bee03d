#!/usr/bin/env python3
"""The start-up benchmark's runs, on the desktop that bench/startup.sh sets
up: for each number of notes, the floor program and CeVelmo start one after
the other, RUNS times each, and each run reports the time from exec until
every note window is mapped, the resident memory once it is idle, and the
processor time that the program, the X server and the window manager spent
until the last window was mapped.

    startup_runs.py BUILD_DIR [--runs N] [--sizes 1,100,1000] [--timeout S]
                              [--program NAME=PATH]... [--after-close SIZES]
                              [--round-trips]

--program adds another build of CeVelmo to compare (say, the one before a
change); each gets its own copy of the same notes.

--round-trips loads bench/x_round_trips.cpp into every program started and
adds the round trips to the X server each made until it was idle, by
request, in all and per note (the difference between the smallest and the
largest size, divided by the difference in notes).

--after-close adds the start on a busy desktop: with each of SIZES notes,
one program starts on a quiet desktop and, once it has mapped its windows
and the desktop is idle, is killed, and the next starts at once, while the
window manager still lets go of the first one's windows. Every program
follows every program, itself included; the second program's times are
reported, against the floor's after the same first program."""

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
COUNTER = None   # the round-trip counter to load into each program, if any


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
        self.complete = len(words) >= 4 and words[0] == "ok"
        self.ms = int(words[1]) if self.complete else None
        self.first_ms = int(words[2]) if len(words) >= 4 and int(words[2]) >= 0 else None
        self.rss_mb = int(words[3]) / 1024 if len(words) >= 4 and int(words[3]) > 0 else None
        self.cpu = [int(w) for w in words[4:7]] if len(words) >= 7 else None
        self.trips = {}


def read_round_trips(path):
    trips = {}
    try:
        with open(path) as f:
            for line in f:
                name, count = line.split()
                trips[name] = int(count)
    except (OSError, ValueError):
        pass
    return trips


def run_once(watch, count, timeout, command, kill=False):
    env = dict(os.environ)
    if kill:
        env["MAP_WATCH_KILL"] = "1"
    if COUNTER:
        with tempfile.NamedTemporaryFile(prefix="cevelmo-trips-", delete=False) as f:
            counts = f.name
        env["X_ROUND_TRIPS_FILE"] = counts
        command = ["env", "LD_PRELOAD=" + COUNTER] + command
    words = subprocess.run([watch, str(count), str(timeout * 1000), str(QUIET_MS)] + command,
                           capture_output=True, text=True, env=env).stdout.split()
    run = Run(words)
    if COUNTER:
        run.trips = read_round_trips(counts)
        os.unlink(counts)
    return run


EVENTS = {"event:%d" % n: name for n, name in [
    (12, "Expose"), (18, "UnmapNotify"), (19, "MapNotify"), (21, "ReparentNotify"), (22, "ConfigureNotify"),
    (28, "PropertyNotify"), (33, "ClientMessage"), (9, "FocusIn"), (10, "FocusOut"), (35, "GenericEvent")]}
EVENTS["event:22s"] = "ConfigureNotify (synthetic)"


def key_names(trips):
    """Names the atoms of "GetProperty@ATOM" and "PropertyNotify@ATOM" with
    the X server's words, and the events by their types."""
    atoms = [int(k.split("@")[1]) for t in trips for k in t if "@" in k]
    names = dict((k, "event " + v) for k, v in EVENTS.items())
    if atoms:
        listing = subprocess.run(["xlsatoms", "-range", "%d-%d" % (min(atoms), max(atoms))],
                                 capture_output=True, text=True).stdout
        for line in listing.splitlines():
            number, _, name = line.partition("\t")
            if number.strip().isdigit():
                names["GetProperty@" + number.strip()] = "GetProperty " + name.strip()
                names["PropertyNotify@" + number.strip()] = "event PropertyNotify " + name.strip()
    return names


def is_request(key):
    return "@" not in key and not key.startswith("event:")


def print_round_trips(rows, names):
    """Median counts per program and size, and per note between the smallest
    and the largest size."""
    medians = {}
    for size, results in rows:
        for name in names:
            trips = [r.trips for r in results[name] if r.trips]
            keys = set(k for t in trips for k in t)
            medians[(size, name)] = {k: statistics.median(t.get(k, 0) for t in trips) for k in keys}
    atoms = key_names(medians.values())
    sizes = [size for size, _ in rows]
    print()
    print("Round trips to the X server until idle (replies waited for), and the events read; median of the runs:")
    print()
    print("| program | request | " + " | ".join("%d notes" % s for s in sizes) +
          (" | per note |" if len(sizes) > 1 else " |"))
    print("|---|---|" + "---:|" * (len(sizes) + (len(sizes) > 1)))
    for name in names:
        counts = [medians[(s, name)] for s in sizes]
        total = [sum(v for k, v in c.items() if is_request(k)) for c in counts]
        last = counts[-1]

        def order(key):
            """Requests, then events, by count; the properties under theirs."""
            parent = {"GetProperty": "GetProperty", "PropertyNotify": "event:28"}.get(key.split("@")[0]) \
                if "@" in key else None
            head = parent or key
            return (head.startswith("event:"), -last.get(head, 0), head, parent is not None, -last.get(key, 0))
        keys = sorted(set(k for c in counts for k in c), key=order)
        for key, values in [("all", total)] + [(k, [c.get(k, 0) for c in counts]) for k in keys]:
            if max(values) < 2 * len(sizes) and key != "all":
                continue
            per_note = ""
            if len(sizes) > 1:
                per_note = " %.2f |" % ((values[-1] - values[0]) / (sizes[-1] - sizes[0]))
            print("| %s | %s | %s |%s" % (name, atoms.get(key, key), " | ".join("%g" % v for v in values), per_note))
    print()


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


def after_close_runs(watch, commands, names, size, runs, timeout, pids):
    """Pairs of starts, the second right after the first program was killed
    with its windows mapped: every program after every program, itself
    included, so that each is compared with the floor after the same
    predecessor (the window manager's work at a program's end depends on
    that program). Returns {(first, second): [the second's Run]}."""
    pairs = [(first, second) for first in names for second in names]
    results = {pair: [] for pair in pairs}
    for run in range(runs):
        for first, second in pairs:
            wait_for_quiet_desktop(pids)
            # Killed, so that the window manager meets the end of all its
            # windows at once, whatever the program would do on its way out.
            run_once(watch, size, timeout, commands[first], kill=True)
            r = run_once(watch, size, timeout, commands[second])
            results[(first, second)].append(r)
            print("%5d notes  %-10s right after %-10s run %d: %s ms (first window %s ms), CPU %s ms" % (
                size, second, first, run + 1, r.ms if r.complete else "incomplete", r.first_ms, r.cpu),
                flush=True)
    return results


def print_after_close(rows, runs):
    print("Started right after the other program ended with its windows mapped:")
    print()
    print("| notes | program | right after | all mapped (ms) min / median / max | first mapped (ms) "
          "| incomplete | CPU (ms) median: program / X server / window manager |")
    print("|---:|---|---|---|---|---:|---|")
    for size, results in rows:
        for (first, second), rs in results.items():
            times = [r.ms for r in rs if r.complete]
            firsts = [r.first_ms for r in rs if r.first_ms is not None]
            cpus = [r.cpu for r in rs if r.complete and r.cpu]
            cpu = " / ".join("%d" % statistics.median(c[i] for c in cpus) for i in range(3)) if cpus else "-"
            print("| %d | %s | %s | %s | %s | %d of %d | %s |" % (size, second, first, spread(times), spread(firsts),
                                                               len(rs) - len(times), runs, cpu))
    print()
    for size, results in rows:
        for (first, second), rs in results.items():
            t = [r.ms for r in rs if r.complete]
            floor_t = [r.ms for r in results[(first, "floor")] if r.complete]
            if second != "floor" and t and floor_t:
                print("%d notes right after %s: %s / the floor (medians): %.2f" % (
                    size, first, second, statistics.median(t) / statistics.median(floor_t)))
    print()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--sizes", default="1,100,1000")
    parser.add_argument("--timeout", type=int, default=60)
    parser.add_argument("--program", action="append", default=[])
    parser.add_argument("--after-close", default="")
    parser.add_argument("--round-trips", action="store_true")
    args = parser.parse_args()
    floor = os.path.join(args.build, "bench", "bench_floor")
    watch = os.path.join(args.build, "bench", "bench_map_watch")
    programs = [("cevelmo", os.path.join(args.build, "cevelmo"))]
    programs += [tuple(p.split("=", 1)) for p in args.program]
    names = ["floor"] + [name for name, _ in programs]
    global COUNTER
    if args.round_trips:
        COUNTER = os.path.join(args.build, "bench", "libbench_x_round_trips.so")
    work = tempfile.mkdtemp(prefix="cevelmo-bench-")
    pids = desktop_pids()
    os.environ["MAP_WATCH_PIDS"] = " ".join(pids)
    try:
        print("load average before: %s" % " ".join(open("/proc/loadavg").read().split()[:3]), flush=True)
        def prepare(size):
            commands = {}
            for name, path in programs:
                folder = os.path.join(work, "%s-%d" % (name, size))
                if not os.path.isdir(folder):
                    subprocess.run([sys.executable, os.path.join(HERE, "make_notes.py"), path, folder, str(size)],
                                   check=True)
                commands[name] = [os.path.join(folder, "cevelmo")]
            commands["floor"] = [floor, os.path.join(work, "%s-%d" % (programs[0][0], size), "places.txt")]
            return commands

        rows = []
        for size in (int(s) for s in args.sizes.split(",") if s):
            commands = prepare(size)
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
        busy_rows = [(size, after_close_runs(watch, prepare(size), names, size, args.runs, args.timeout, pids))
                     for size in (int(s) for s in args.after_close.split(",") if s)]
        print("load average after: %s" % " ".join(open("/proc/loadavg").read().split()[:3]))
        print()
        if rows:
            print_tables(rows, names, args.runs)
        if rows and COUNTER:
            print_round_trips(rows, names)
        if busy_rows:
            print_after_close(busy_rows, args.runs)
        if busy_rows and COUNTER:
            pairs = list(busy_rows[0][1])
            print_round_trips([(size, {"%s after %s" % (b, a): rs for (a, b), rs in results.items()})
                               for size, results in busy_rows], ["%s after %s" % (b, a) for a, b in pairs])
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
