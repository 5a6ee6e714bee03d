"""Helpers for the end-to-end tests: a fresh program folder, the program
started and stopped by process id, windows found and measured with the X
tools, and data files written byte by byte at their documented offsets.

Whatever a test starts or makes is undone when it ends, however it ends (a
failed check, an exception, Ctrl+C, SIGTERM or SIGHUP): every program still
running is killed by its process id and the temporary folder goes. A program
built with the sanitizers that reports an error fails the test, even when
the report comes as it exits."""

import atexit
import ctypes
import ctypes.util
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

TITLE = "付箋紙"
# What AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer print
# first when they find something.
SANITIZER_REPORT = re.compile(rb"ERROR: (Address|Leak)Sanitizer|runtime error:")

_workspace = None   # the test's temporary folder: program folders and logs
_programs = []      # (process, stderr log) of every program started
_helpers = []       # other processes started for the test (a tray host, clipboard owners)
_reported = False   # the programs' errors are printed once


def _workspace_folder():
    global _workspace
    if _workspace is None:
        _workspace = tempfile.mkdtemp(prefix="cevelmo-e2e-")
    return _workspace


def _sanitizer_reports():
    return [(process, log) for process, log in _programs if SANITIZER_REPORT.search(read(log, b""))]


def _print_program_errors():
    """The standard error of the programs that wrote any, once."""
    global _reported
    if _reported:
        return
    _reported = True
    for process, log in _programs:
        text = read(log, b"").decode("utf-8", "replace")
        if text.strip():
            print("--- standard error of the program (pid %d):" % process.pid, flush=True)
            print("\n".join(text.splitlines()[-80:]), flush=True)


def _end():
    for process in [p for p, _ in _programs] + _helpers:
        if process.poll() is None:
            process.kill()
            process.wait()
    reports = _sanitizer_reports()
    if reports and not _reported:
        print("FAIL: the program reported memory or undefined-behaviour errors (pid %s)"
              % ", ".join(str(p.pid) for p, _ in reports), flush=True)
        _print_program_errors()
    if _workspace is not None:
        shutil.rmtree(_workspace, ignore_errors=True)
    if reports:
        # An exit handler cannot change the exit status any other way.
        os._exit(1)


atexit.register(_end)
# Python ends on these without running exit handlers unless they are caught.
for _signal in (signal.SIGTERM, signal.SIGHUP):
    signal.signal(_signal, lambda number, frame: sys.exit(128 + number))


def fail(message):
    print("FAIL: " + message, flush=True)
    _print_program_errors()
    sys.exit(1)


def check(condition, message):
    # A sanitizer report means the program is gone or its state is not to be
    # trusted: say so rather than whatever check happens to come next.
    reports = _sanitizer_reports()
    if reports:
        fail("the program (pid %d) reported a memory or undefined-behaviour error" % reports[0][0].pid)
    if not condition:
        fail(message)
    print("ok: " + message, flush=True)


def wait_for(predicate, timeout=20.0, step=0.1):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()


def program_folder(program):
    """A fresh folder holding a copy of the program with its help page and
    the icon of its launchers, removed when the test ends."""
    folder = tempfile.mkdtemp(prefix="program-", dir=_workspace_folder())
    shutil.copy2(program, os.path.join(folder, "cevelmo"))
    for beside in ("CeVelmo.htm", "CeVelmo.svg"):
        path = os.path.join(os.path.dirname(program), beside)
        if os.path.exists(path):
            shutil.copy2(path, folder)
    return folder


def scratch_folder(prefix):
    """A fresh folder in the test's workspace, removed when the test ends."""
    return tempfile.mkdtemp(prefix=prefix, dir=_workspace_folder())


# The data file: a version, the settings, the count of records, then the
# records, little-endian at fixed offsets.
DATA_FILE = "CeVlmDat.bin"
SETTINGS = 164
RECORD = 256
SETTINGS_AT = 4
COUNT_AT = SETTINGS_AT + SETTINGS
RECORDS_AT = COUNT_AT + 4
# In the settings: the hotkey's letter, its three modifiers, the tray icon
# switch, the default font, then the editing gesture and input mode.
HOTKEY, MODIFIERS, TRAY_ICON, DEFAULT_FONT, GESTURE = 0, 4, 16, 20, 112
FONT = 92  # bytes of a font description: five numbers, eight flags, the face
# In a record.
BOUNDS, Z_LEVEL, SHOWN, FILE_NAME, CREATED, RECORD_FONT, BACK = 8, 24, 28, 36, 64, 104, 204


def record_at(index):
    return RECORDS_AT + RECORD * index


def utf16_field(text, units):
    data = text.encode("utf-16-le")
    return (data + b"\0" * (units * 2))[: units * 2]


def utf16_text(field):
    return field.decode("utf-16-le").split("\0")[0]


def font_bytes(height=-16, face="DejaVu Sans"):
    return struct.pack("<5i8B", height, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0) + utf16_field(face, 32)


def settings_bytes(tray_icon=1, input_mode=0):
    data = bytearray(SETTINGS)
    data[HOTKEY:HOTKEY + 4] = utf16_field("F", 2)
    struct.pack_into("<i", data, TRAY_ICON, tray_icon)
    data[DEFAULT_FONT:DEFAULT_FONT + FONT] = font_bytes(-12)
    struct.pack_into("<ii", data, GESTURE, 1, input_mode)  # edit gesture: Ctrl + double click
    return bytes(data)


def record_bytes(bounds, z_level=-2, shown=1, file_name="", back=0x00D0FFFF, created="2024/05/06 07:08:09",
                 font=None):
    data = bytearray(RECORD)
    struct.pack_into("<4i", data, BOUNDS, *bounds)
    struct.pack_into("<ii", data, Z_LEVEL, z_level, shown)
    data[FILE_NAME:CREATED] = utf16_field(file_name, 14)
    data[CREATED:RECORD_FONT] = utf16_field(created, 20)
    data[RECORD_FONT:RECORD_FONT + FONT] = font if font is not None else font_bytes()
    struct.pack_into("<I", data, BACK, back)
    return bytes(data)


def data_file(records, tray_icon=1, input_mode=0):
    return (struct.pack("<I", 1) + settings_bytes(tray_icon, input_mode) + struct.pack("<i", len(records))
            + b"".join(records))


def write_notes(data_dir, records=None, texts=None, **settings):
    """Writes a data file of these records (none when records is None) and
    text files {name: text} into data_dir; the settings go to data_file."""
    if records is not None:
        with open(os.path.join(data_dir, DATA_FILE), "wb") as f:
            f.write(data_file(records, **settings))
    for name, text in (texts or {}).items():
        with open(os.path.join(data_dir, name), "wb") as f:
            f.write(text.encode("utf-8"))


def fresh_folder(program, records=None, texts=None, **settings):
    """A fresh program folder with a Data folder holding what write_notes
    writes: (program folder, Data folder, data file's path)."""
    folder = program_folder(program)
    data_dir = os.path.join(folder, "Data")
    os.makedirs(data_dir)
    write_notes(data_dir, records, texts, **settings)
    return folder, data_dir, os.path.join(data_dir, DATA_FILE)


def read(path, default=None):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return default


def records(data):
    """(count, [record bytes]) of a data file's image."""
    count = struct.unpack_from("<i", data, COUNT_AT)[0]
    return count, [data[record_at(i):record_at(i + 1)] for i in range(count)]


def stored_count(path):
    """The count of records in the data file, None while there is none."""
    data = read(path)
    return records(data)[0] if data else None


def stored_records(path):
    """Per stored record: (bounds, z_level, shown, back colour)."""
    count, stored = records(read(path))
    return [(struct.unpack_from("<4i", r, BOUNDS),) + struct.unpack_from("<ii", r, Z_LEVEL)
            + struct.unpack_from("<I", r, BACK) for r in stored if len(r) == RECORD]


def record_shown(record):
    return struct.unpack_from("<i", record, SHOWN)[0]


def shown_flags(path):
    """Each stored note's shown flag, in table order."""
    return [record_shown(r) for r in records(read(path))[1]]


def record_font(record):
    """(height, weight, italic, face name) of a record's font description."""
    height, _, _, _, weight = struct.unpack_from("<5i", record, RECORD_FONT)
    italic = record[RECORD_FONT + 20]
    return height, weight, italic, utf16_text(record[RECORD_FONT + 28:RECORD_FONT + FONT])


def record_file_name(record):
    return utf16_text(record[FILE_NAME:CREATED])


def settings_field(data, at, size):
    """The bytes of a settings field in a data file's image."""
    return data[SETTINGS_AT + at:SETTINGS_AT + at + size]


def settings_hotkey(data):
    """(key, alt, ctrl, shift) of a data file's settings."""
    return (utf16_text(settings_field(data, HOTKEY, 4)),) + struct.unpack("<3i", settings_field(data, MODIFIERS, 12))


def settings_tray_icon(data):
    return struct.unpack("<i", settings_field(data, TRAY_ICON, 4))[0]


def stored_text(data_dir, index):
    """The text file that the data file in data_dir names for note `index`,
    as bytes; None when it names none or the file is missing."""
    data = read(os.path.join(data_dir, DATA_FILE))
    if not data:
        return None
    count, recs = records(data)
    name = record_file_name(recs[index]) if index < count else ""
    return read(os.path.join(data_dir, name)) if name else None


class Adopted:
    """A program that something else started (an autostart runner), watched
    and ended by its process id like the programs the test starts."""

    def __init__(self, pid):
        self.pid = pid

    def poll(self):
        try:
            with open("/proc/%d/stat" % self.pid) as f:
                state = f.read().rsplit(")", 1)[1].split()[0]
        except OSError:
            return 0
        return 0 if state in ("Z", "X") else None

    def send_signal(self, sig):
        if self.poll() is None:
            os.kill(self.pid, sig)

    def kill(self):
        self.send_signal(signal.SIGKILL)

    def wait(self, timeout=30):
        end = time.time() + (timeout if timeout is not None else 3600)
        while self.poll() is None:
            if time.time() > end:
                raise subprocess.TimeoutExpired("pid %d" % self.pid, timeout)
            time.sleep(0.05)
        return 0


def adopt(pid, log):
    """Watches a program started by someone else whose standard error goes
    to the log; it is killed when the test ends, as the test's own are."""
    program = Adopted(pid)
    _programs.append((program, log))
    return program


def log_file(prefix):
    """A fresh file in the workspace for a program's standard error."""
    fd, path = tempfile.mkstemp(prefix=prefix, suffix=".log", dir=_workspace_folder())
    os.close(fd)
    return path


def start(folder, args=(), env=None):
    """Starts the program in the folder, with these arguments and environment
    (this process's by default); its standard error goes to a log that is
    searched for sanitizer reports and shown when the test fails."""
    log_fd, log = tempfile.mkstemp(prefix="stderr-", suffix=".log", dir=_workspace_folder())
    out_fd, out = tempfile.mkstemp(prefix="stdout-", suffix=".log", dir=_workspace_folder())
    with os.fdopen(log_fd, "wb") as stderr, os.fdopen(out_fd, "wb") as stdout:
        process = subprocess.Popen([os.path.join(folder, "cevelmo"), *args], cwd=folder, env=env,
                                   stdout=stdout, stderr=stderr)
    process.stdout_log = out
    _programs.append((process, log))
    return process


def finish(process, timeout=30):
    """Waits for a program that ends on its own: (exit code, standard output,
    standard error)."""
    try:
        process.wait(timeout)
    except subprocess.TimeoutExpired:
        fail("the program (pid %d) did not end within %d s" % (process.pid, timeout))
    log = next(log for p, log in _programs if p is process)
    text = lambda path: read(path, b"").decode("utf-8", "replace")
    return process.returncode, text(process.stdout_log), text(log)


def private_folder(name):
    """A fresh folder of this user's only (mode 0700) in the test's folder."""
    path = os.path.join(_workspace_folder(), name)
    os.mkdir(path, 0o700)
    return path


def stop(process, sig=signal.SIGTERM, timeout=30):
    process.send_signal(sig)
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        fail("the program did not end after signal %d" % sig)


def start_tray():
    """Starts the desktop's tray host (on a desktop begun with DESKTOP_TRAY=none)
    and waits for its panel."""
    command = os.environ.get("TRAY_HOST_COMMAND", "").split()
    if not command:
        fail("no tray host to start: TRAY_HOST_COMMAND is not set")
    host = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _helpers.append(host)
    if not wait_for(lambda: '("panel" "trayer")' in run("xwininfo", "-root", "-tree")):
        fail("the tray host did not show its panel")
    return host


def stop_tray(host):
    host.terminate()
    host.wait()


def add_helper(process):
    """A process the test started itself, to be killed when the test ends."""
    _helpers.append(process)


def start_session_bus():
    """Starts a private D-Bus session bus and returns its address. The
    accessibility bus that a program asks it for is started on demand and
    ends with it."""
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    _helpers.append(bus)
    address = bus.stdout.readline().strip()
    if not address:
        fail("the session bus did not start")
    return address


def _gdbus(address, dest, path, method, *args):
    out = subprocess.run(["gdbus", "call", "--address", address, "--dest", dest, "--object-path", path,
                          "--method", method, *args], capture_output=True, text=True, timeout=10)
    return out.stdout.strip()


def accessible_objects(session_bus):
    """(role, name) of every accessible object on the desktop, read through
    the accessibility bus (AT-SPI) of the session bus, depth first."""
    reply = _gdbus(session_bus, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress")
    match = re.fullmatch(r"\('(.*)',\)", reply)
    if not match:
        return []
    address = match.group(1)
    found = []

    def text(dest, path, method, *args):
        # A reply such as "('push button',)" or "(<'はい(Y)'>,)".
        reply = _gdbus(address, dest, path, method, *args)
        match = re.fullmatch(r"\(<?'(.*)'>?,\)", reply)
        return match.group(1) if match else ""

    def walk(dest, path, depth):
        role = text(dest, path, "org.a11y.atspi.Accessible.GetRoleName")
        name = text(dest, path, "org.freedesktop.DBus.Properties.Get", "org.a11y.atspi.Accessible", "Name")
        found.append((role, name))
        if depth == 8:
            return
        # Only the first element of a list names its type: (':1.0', objectpath '/a'), (':1.0', '/b').
        children = _gdbus(address, dest, path, "org.a11y.atspi.Accessible.GetChildren")
        for child_dest, child_path in re.findall(r"\('([^']+)', (?:objectpath )?'([^']+)'\)", children):
            walk(child_dest, child_path, depth + 1)

    walk("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root", 0)
    return found


def start_compositor():
    """Starts a compositing manager that casts shadows under every window (as
    many users set it up) and waits for it to take over the screen."""
    config = os.path.join(_workspace_folder(), "picom.conf")
    with open(config, "w") as f:
        f.write('backend = "xrender";\nvsync = false;\nshadow = true;\n')
    compositor = subprocess.Popen(["picom", "--config", config], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
    _helpers.append(compositor)
    if not wait_for(lambda: '"picom": ("picom" "picom")' in run("xwininfo", "-root", "-children")):
        fail("the compositor did not start")
    return compositor


def run(*args):
    return subprocess.run(args, capture_output=True, text=True).stdout


def windows_named(title):
    """Mapped X windows with exactly this title (a dialog's caption)."""
    return [int(w) for w in run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % re.escape(title)).split()]


def save_screenshot(name):
    """Saves the screen as NAME.png in the folder that CEVELMO_E2E_SHOTS names,
    for a person to look at; nothing when it is not set."""
    folder = os.environ.get("CEVELMO_E2E_SHOTS")
    if folder:
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")])


def note_windows(only_mapped=True):
    """X windows titled like the program's windows."""
    args = ["xdotool", "search"]
    if only_mapped:
        args.append("--onlyvisible")
    args += ["--name", "^%s$" % TITLE]
    return [int(w) for w in run(*args).split()]


def window_at(left, top):
    """The mapped note window whose top-left corner is at the point, or None."""
    for w in note_windows():
        if geometry(w)[:2] == (left, top):
            return w
    return None


def geometry(window):
    """(left, top, width, height) of a window on the screen."""
    info = run("xwininfo", "-id", str(window))
    values = {}
    for line in info.splitlines():
        line = line.strip()
        for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
            if line.startswith(key + ":"):
                values[key] = int(line.split(":")[1])
    return (values.get("Absolute upper-left X"), values.get("Absolute upper-left Y"),
            values.get("Width"), values.get("Height"))


def net_wm_state(window):
    return run("xprop", "-id", str(window), "_NET_WM_STATE")


def work_area():
    """(left, top, right, bottom) of the desktop's work area."""
    values = run("xprop", "-root", "_NET_WORKAREA").split("=")[-1].replace(",", " ").split()
    if len(values) < 4:
        return None
    x, y, w, h = (int(v) for v in values[:4])
    return (x, y, x + w, y + h)


class Screenshot:
    """The whole screen as (red, green, blue) pixels."""

    def __init__(self):
        ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], capture_output=True).stdout
        # Header: P6, width, height, maximum value, each after white space.
        fields = []
        pos = 0
        while len(fields) < 4:
            while ppm[pos:pos + 1].isspace():
                pos += 1
            start = pos
            while not ppm[pos:pos + 1].isspace():
                pos += 1
            fields.append(ppm[start:pos])
        if fields[0] != b"P6" or fields[3] != b"255":
            fail("unexpected screenshot format %r" % fields)
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = ppm[pos + 1:]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])


def pixel(x, y):
    return Screenshot().pixel(x, y)


def rgb(colour):
    """(red, green, blue) of a 0x00BBGGRR colour."""
    return (colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF)


def press_at(x, y):
    run("xdotool", "mousemove", "--sync", str(x), str(y), "mousedown", "1")


def move_to(x, y):
    run("xdotool", "mousemove", "--sync", str(x), str(y))


def release():
    run("xdotool", "mouseup", "1")


def drag(start, end, steps=4):
    """Presses at start, moves to end in a few steps, releases there."""
    press_at(*start)
    for i in range(1, steps + 1):
        move_to(start[0] + (end[0] - start[0]) * i // steps, start[1] + (end[1] - start[1]) * i // steps)
    release()


def tray_icon():
    """The program's icon window inside the system tray once it is on the
    screen, mapped and whole inside the tray's panel (which a tray moves and
    widens as icons come); None until then."""
    panel = None
    for line in run("xwininfo", "-root", "-tree").splitlines():
        # ... WIDTHxHEIGHT+X+Y  +LEFT+TOP, the last on the screen.
        size = re.search(r"(\d+)x(\d+)[+-]-?\d+[+-]-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$", line)
        if not size:
            continue
        width, height, left, top = (int(v) for v in size.groups())
        if '("panel" "trayer")' in line:
            panel = (left, top, left + width, top + height)
        elif panel and '("cevelmo" "CeVelmo")' in line:
            icon = int(line.split()[0], 16)
            whole = panel[0] <= left and left + width <= panel[2] and panel[1] <= top and top + height <= panel[3]
            return icon if whole and "IsViewable" in run("xwininfo", "-id", str(icon)) else None
    return None


def tray_menu_corner():
    """Where the tray menu's bottom-right corner belongs: at the tray icon's
    top-right corner, kept inside the work area the tray's panel leaves."""
    left, top, width, height = geometry(tray_icon())
    return (left + width, min(top, work_area()[3]))


def ctrl_double_click(x, y):
    """The default gesture that starts editing a note. The two clicks go out
    without a pause: after one, a loaded machine could wake xdotool later
    than the double-click time."""
    run("xdotool", "mousemove", "--sync", str(x), str(y), "keydown", "ctrl",
        "click", "--repeat", "2", "--delay", "0", "1", "keyup", "ctrl")


def type_text(text, delay=40):
    run("xdotool", "type", "--delay", str(delay), text)


def type_unmapped(text):
    """Types characters that no key has (Japanese, say). xdotool would map a
    spare key to each for a moment only, and a program that reads the key
    after the moment is over reads another character; here each is mapped to
    a spare key of its own before typing, for the rest of the test."""
    map_spare_keys(sorted(set(text)))
    type_text(text)


def clipboard(selection="clipboard"):
    """What another program reads from the desktop's clipboard (or primary
    selection)."""
    return subprocess.run(["xclip", "-o", "-selection", selection], capture_output=True).stdout


def offer_clipboard(text, selection="clipboard"):
    """Puts text on the desktop's clipboard from another program, which keeps
    serving it until the test ends (or another program takes the clipboard)."""
    process = subprocess.Popen(["xclip", "-quiet", "-i", "-selection", selection],
                               stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    process.stdin.write(text.encode("utf-8"))
    process.stdin.close()
    _helpers.append(process)
    if not wait_for(lambda: clipboard(selection) == text.encode("utf-8")):
        fail("xclip did not take the %s selection" % selection)
    return process


def ink_box(shot, rect, is_ink):
    """(left, top, right, bottom) of the pixels inside rect (left, top, width,
    height) that is_ink holds for, relative to the rect; None without any."""
    left, top, width, height = rect
    xs, ys = [], []
    for y in range(top, top + height):
        for x in range(left, left + width):
            if is_ink(shot.pixel(x, y)):
                xs.append(x - left)
                ys.append(y - top)
    if not xs:
        return None
    return (min(xs), min(ys), max(xs), max(ys))


# Two clicks at one place within the desktop's double-click time are a
# double click (Qt's default is 400 ms): a script that clicks the tray icon
# again right after its menu did its work would double-click it.
DOUBLE_CLICK_S = 0.5
last_click = (None, 0.0)


def click(x, y, button=1):
    """One click, never taken with the one before for a double click."""
    global last_click
    place, at = last_click
    if place == (x, y, button):
        time.sleep(max(0.0, at + DOUBLE_CLICK_S - time.monotonic()))
    run("xdotool", "mousemove", str(x), str(y), "click", str(button))
    last_click = ((x, y, button), time.monotonic())


def click_window(window, button=1):
    left, top, width, height = geometry(window)
    click(left + width // 2, top + height // 2, button)


def focused_window():
    """The window that has the keyboard, None when no window has it."""
    focus = run("xdotool", "getwindowfocus").strip()
    return int(focus) if focus.isdigit() else None


def dialog(title):
    """Waits for the one dialog with this caption to open and to have the
    keyboard; its window."""
    windows = wait_for(lambda: windows_named(title))
    check(len(windows) == 1 and wait_for(lambda: focused_window() == windows[0]),
          "the dialog '%s' is open and has the keyboard" % title)
    return windows[0]


def active_window():
    """The window the window manager holds active, None when it holds none."""
    found = re.search(r"window id # (0x[0-9a-f]+)", run("xprop", "-root", "_NET_ACTIVE_WINDOW"))
    return int(found.group(1), 16) if found else None


def has_keyboard(window):
    """Whether the window has the keyboard and the window manager has heard
    so: its own keys (Alt+F4) act on the window it holds active, which it
    learns only after the keyboard has moved."""
    return focused_window() == window and active_window() == window


def start_settled(last_note):
    """At start the program gives the keyboard to the last note it shows, once
    it hears that the desktop mapped it, which on a loaded machine can come
    after a click meant for another note: a script that clicks a note first
    waits for this. Whether the last note came to have the keyboard."""
    return wait_for(lambda: has_keyboard(last_note))


def click_to_focus(window, x=None, y=None, button=1):
    """Clicks the window (at x, y on the screen, by default in its middle)
    and waits until the desktop has given it the keyboard, so that the keys
    that follow reach it; whether it came to have the keyboard."""
    if x is None:
        left, top, width, height = geometry(window)
        x, y = left + width // 2, top + height // 2
    click(x, y, button)
    return wait_for(lambda: has_keyboard(window))


def key(*keys):
    """Keys typed one after the other. The program reads them in order, but
    what they lead to comes later: wait for it (choose, menus_shown)."""
    run("xdotool", "key", *keys)


def menus_shown(count=1):
    """Waits until `count` of the program's popup menus are on the screen:
    their geometries, or those shown when they did not come."""
    return wait_for(lambda: len(menus := popup_menus()) == count and menus) or popup_menus()


def choose(*keys):
    """Keys into the open menus: each but the last opens a submenu, which is
    waited for before the next key; the last chooses an item, and every menu
    closes. Whether they all closed."""
    for k in keys[:-1]:
        opened = len(popup_menus()) + 1
        key(k)
        if not menus_shown(opened):
            return False
    key(keys[-1])
    return wait_for(lambda: popup_menus() == [])


def tray_menu():
    """Clicks the tray icon and waits for the tray menu: its geometries."""
    click_window(wait_for(tray_icon))
    return menus_shown()


def note_menu(x, y):
    """Right-clicks a note at x, y and waits for its menu: its geometries."""
    click(x, y, button=3)
    return menus_shown()


def popup_menus():
    """Geometries of the program's popup menus on the screen, leftmost first:
    its windows named after it, but for its tray icon and the tool tips of
    its messages at the tray icon."""
    tray = tray_icon()
    menus = []
    for w in run("xdotool", "search", "--onlyvisible", "--classname", "cevelmo").split():
        kind = run("xprop", "-id", w, "_NET_WM_NAME", "_NET_WM_WINDOW_TYPE")
        if int(w) != tray and '"CeVelmo"' in kind and "_NET_WM_WINDOW_TYPE_TOOLTIP" not in kind:
            menus.append(geometry(w))
    return sorted(menus)


class Replacements:
    """Counts the files renamed into a folder under one name: every save of
    the data file replaces it by rename. Watches with inotify from the moment
    it is made."""

    IN_MOVED_TO = 0x80

    def __init__(self, folder, name):
        self._libc = ctypes.CDLL(None, use_errno=True)
        self._fd = self._libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
        if self._fd < 0 or self._libc.inotify_add_watch(self._fd, folder.encode(), self.IN_MOVED_TO) < 0:
            fail("inotify cannot watch %s" % folder)
        self._name = name.encode()
        self.count = 0

    def poll(self):
        """The number of replacements so far."""
        while True:
            try:
                data = os.read(self._fd, 65536)
            except BlockingIOError:
                return self.count
            pos = 0
            while pos + 16 <= len(data):
                _, mask, _, length = struct.unpack_from("iIII", data, pos)
                name = data[pos + 16:pos + 16 + length].rstrip(b"\0")
                if mask & self.IN_MOVED_TO and name == self._name:
                    self.count += 1
                pos += 16 + length


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def _x_call(why, calls):
    """Opens the display, does calls(libX11, display), then waits until the
    server has done what they asked and closes the display."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
    x11.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int, ctypes.POINTER(ctypes.c_int)]
    x11.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                           ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
    x11.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        fail("cannot open the display to " + why)
    try:
        return calls(x11, display)
    finally:
        x11.XSync(display, 0)
        x11.XCloseDisplay(display)


def _client_message(why, window, message_type, data, to_root=False):
    """Sends a 32-bit client message about the window: to the window itself,
    or to the root window, where the window manager hears it."""
    def send(x11, display):
        event = _Event()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window
        event.xclient.message_type = x11.XInternAtom(display, message_type, 0)
        event.xclient.format = 32
        for i, value in enumerate(data):
            event.xclient.data[i] = x11.XInternAtom(display, value, 0) if isinstance(value, bytes) else value
        destination = x11.XDefaultRootWindow(display) if to_root else window
        mask = 0x180000 if to_root else 0  # SubstructureRedirect | SubstructureNotify
        x11.XSendEvent(display, destination, 0, mask, ctypes.byref(event))
    _x_call(why, send)


def close_request(window):
    """Asks the window to close as a task bar does: the WM_DELETE_WINDOW
    message of the WM_PROTOCOLS protocol (at CurrentTime)."""
    _client_message("send WM_DELETE_WINDOW", window, b"WM_PROTOCOLS", [b"WM_DELETE_WINDOW", 0])


def window_manager_close(window):
    """Has the window manager close the window, as its Alt+F4 and its close
    button do: _NET_CLOSE_WINDOW, here from a pager (source 2). A key goes
    through the window manager's key grab, which now and then misses a key
    that comes right after it made the window active."""
    _client_message("send _NET_CLOSE_WINDOW", window, b"_NET_CLOSE_WINDOW", [0, 2], to_root=True)


def map_spare_keys(characters):
    """Gives each character a key of its own among the keys the keyboard
    leaves unused, for the rest of the test."""
    def change(x11, display):
        low, high, per_key = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        x11.XDisplayKeycodes(display, ctypes.byref(low), ctypes.byref(high))
        count = high.value - low.value + 1
        keysyms = x11.XGetKeyboardMapping(display, low.value, count, ctypes.byref(per_key))
        spare = [low.value + k for k in range(count)
                 if not any(keysyms[k * per_key.value + i] for i in range(per_key.value))]
        x11.XFree(keysyms)
        if len(spare) < len(characters):
            fail("the keyboard has no spare keys for %r" % characters)
        for code, character in zip(reversed(spare), characters):
            keysym = (ctypes.c_ulong * 1)(0x01000000 | ord(character))  # a Unicode character's keysym
            x11.XChangeKeyboardMapping(display, code, 1, keysym, 1)
    _x_call("map keys", change)
