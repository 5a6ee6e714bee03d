#!/usr/bin/env python3
"""How long the real program takes with one note of a huge text: start-up
until the note is painted, a repaint (Shift+B), hide-all and show-all from
the tray menu, and a drag. Run it on a desktop:

    tests/e2e/with_desktop.sh python3 bench/huge_note.py build/cevelmo [MB]

The text is MB megabytes (100 unless given) of 80-character lines, Japanese
and ASCII mixed, stored as UTF-8. Each figure is the time from the input to
the moment the screen shows its effect, so it includes the X round trips of
the measuring tools (about 10 to 30 ms)."""

import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import desktop as d  # noqa: E402

PAPER = 0x00D0FFFF
NEXT = 0x008CFF60

program = sys.argv[1]
megabytes = int(sys.argv[2]) if len(sys.argv) > 2 else 100
folder = d.program_folder(program)
data_dir = os.path.join(folder, "Data")
os.makedirs(data_dir)
L, T, W, H = 200, 150, 300, 200
with open(os.path.join(data_dir, "CeVlmDat.bin"), "wb") as f:
    f.write(d.data_file([d.record_bytes((L, T, L + W, T + H), file_name="VLM00000.txt", back=PAPER)]))
line = ("付箋紙のテスト line %08d " + "x" * 80)[:78] + "\r\n"
with open(os.path.join(data_dir, "VLM00000.txt"), "wb") as f:
    written = 0
    n = 0
    chunk = []
    while written < megabytes * 1000 * 1000:
        encoded = (line % n).encode("utf-8")
        chunk.append(encoded)
        written += len(encoded)
        n += 1
        if len(chunk) == 10000:
            f.write(b"".join(chunk))
            chunk = []
    f.write(b"".join(chunk))
print("text file: %.1f MB, %d lines" % (written / 1e6, n), flush=True)


def timed(what, action, done, timeout=120):
    start = time.monotonic()
    action()
    ok = d.wait_for(done, timeout=timeout, step=0.005)
    elapsed = time.monotonic() - start
    print("%-40s %8.0f ms%s" % (what, elapsed * 1000, "" if ok else "  (did not happen)"), flush=True)
    return ok


# The outer left line of the frame is drawn in the note's colour, and no
# text reaches it.
def note_filled(colour, x=L, y=T + H // 2):
    return lambda: d.pixel(x, y) == d.rgb(colour)


p = None


def start():
    global p
    p = d.start(folder)


timed("start until the note is painted", start, note_filled(PAPER))
note = d.note_windows()[0]
d.click(L + W - 20, T + H - 30)
d.wait_for(lambda: d.run("xdotool", "getwindowfocus").strip() == str(note))
timed("Shift+B until repainted", lambda: d.run("xdotool", "key", "shift+b"), note_filled(NEXT))
timed("Shift+B again", lambda: d.run("xdotool", "key", "shift+b"), note_filled(0x00B0F080))

icon = d.wait_for(d.tray_icon)
if icon:
    d.click_window(icon)
    d.wait_for(d.popup_menus)
    d.key("d")
    timed("hide all until unmapped", lambda: d.run("xdotool", "key", "h"), lambda: d.note_windows() == [])
    d.click_window(icon)
    d.wait_for(d.popup_menus)
    d.key("d")
    timed("show all until painted", lambda: d.run("xdotool", "key", "r"), note_filled(0x00B0F080))

d.press_at(L + 40, T + 40)
timed("drag: first move until the outline shows", lambda: d.move_to(L + 90, T + 80),
      lambda: d.pixel(L + 50, T + 40 + 40) != d.rgb(0x00B0F080), timeout=20)
timed("drag: release until moved and painted", d.release,
      lambda: d.geometry(note)[:2] == (L + 50, T + 40) and note_filled(0x00B0F080, L + 50, T + 40 + H // 2)())
timed("SIGTERM until ended", lambda: p.send_signal(15), lambda: p.poll() is not None)
