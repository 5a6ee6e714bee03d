#!/usr/bin/env python3
"""Notes on the real desktop: painted frame and grip, the above state of a
topmost note, dragging with its outline, resizing by the corner, the clamp
at the screen's edge, Shift+click colour cycling and arrow-key nudges, read
back from the windows, the screen and the data file."""

import sys

import desktop as d

PAPER = 0x00D0FFFF  # palette colour 0
NEXT = 0x008CFF60   # palette colour 1

folder, data_dir, data_path = d.fresh_folder(sys.argv[1], [
    d.record_bytes((200, 150, 360, 210), back=PAPER),
    d.record_bytes((700, 150, 860, 210), z_level=-1, back=NEXT),
])

p = d.start(folder)


def stored(index):
    records = d.stored_records(data_path)
    return records[index] if index < len(records) else None


def shade(colour, k):
    return tuple(max(c - k, 0) for c in d.rgb(colour))


note = d.wait_for(lambda: d.window_at(200, 150))
topmost = d.wait_for(lambda: d.window_at(700, 150))
d.check(note and topmost, "both stored notes are mapped at their rectangles")
d.check("_NET_WM_STATE_ABOVE" in d.net_wm_state(topmost), "the topmost note reports the above state")

# Frame and grip of a 160 x 60 note in palette colour 0, as the painting
# tests on the headless backend expect them.
L, T, W, H = 200, 150, 160, 60
d.check(d.wait_for(lambda: d.pixel(L + 80, T + 30) == d.rgb(PAPER)), "the note is filled in its colour")
shot = d.Screenshot()
expected = {
    "outer right (top end is black)": ((L + W - 1, T), (0, 0, 0)),
    "outer bottom": ((L + 30, T + H - 1), (0, 0, 0)),
    "outer left": ((L, T + 20), d.rgb(PAPER)),
    "outer top": ((L + 30, T), d.rgb(PAPER)),
    "inner left (tint)": ((L + 1, T + 20), (255, 255, 255)),
    "inner right (shade 64)": ((L + W - 2, T + 20), shade(PAPER, 64)),
    "inner bottom, left end (shade 64)": ((L + 1, T + H - 2), shade(PAPER, 64)),
    "grip d=5 (shade 64)": ((L + W - 3, T + H - 3), shade(PAPER, 64)),
    "grip d=6 (shade 8)": ((L + W - 3, T + H - 4), shade(PAPER, 8)),
    "grip d=8 (shade 51)": ((L + W - 5, T + H - 4), shade(PAPER, 51)),
    "no grip line at d=7": ((L + W - 3, T + H - 5), d.rgb(PAPER)),
}
for name, ((x, y), colour) in expected.items():
    d.check(shot.pixel(x, y) == colour, "%s at %d,%d: %s" % (name, x, y, shot.pixel(x, y)))

# A drag: the dotted outline shows during it, the note moves on release and
# the data file is written with the new rectangle.
def top_edge(shot, x, y, n=8):
    return [shot.pixel(x + i, y) for i in range(n)]


before = top_edge(d.Screenshot(), 240, 180)
d.press_at(L + 50, T + 20)
d.move_to(L + 70, T + 35)
d.move_to(L + 90, T + 50)
changed = d.wait_for(lambda: sum(a != b for a, b in zip(top_edge(d.Screenshot(), 240, 180), before)) >= 3)
d.check(changed, "a dotted outline is drawn over the screen at the dragged rectangle")
d.check(d.geometry(note)[:2] == (L, T), "the note does not move before the release")
d.release()
d.check(d.wait_for(lambda: d.geometry(note) == (240, 180, 160, 60)), "the dragged note stands at 240,180")
d.check(d.wait_for(lambda: stored(0) and stored(0)[0] == (240, 180, 400, 240)),
        "the data file holds the new rectangle: %s" % (stored(0),))
d.check(d.wait_for(lambda: top_edge(d.Screenshot(), 240, 180) == [d.rgb(PAPER)] * 8),
        "the outline is gone: the note's own top edge shows there")

# The bottom-right corner resizes with the top-left corner in place.
d.drag((240 + 158, 180 + 58), (240 + 198, 180 + 88))
d.check(d.wait_for(lambda: d.geometry(note) == (240, 180, 200, 90)),
        "the corner drag resizes to 200 x 90: %s" % (d.geometry(note),))
d.check(d.wait_for(lambda: stored(0) and stored(0)[0] == (240, 180, 440, 270)), "the new size is stored")

# Shift+click steps the note to the next palette colour.
d.move_to(300, 200)
d.run("xdotool", "keydown", "shift", "click", "1", "keyup", "shift")
d.check(d.wait_for(lambda: d.pixel(300, 220) == d.rgb(NEXT)),
        "Shift+click repaints the note in palette colour 1: %s" % (d.pixel(300, 220),))
d.check(d.wait_for(lambda: stored(0) and stored(0)[3] == NEXT), "the new colour is stored")
d.check(d.geometry(note) == (240, 180, 200, 90), "a Shift+click does not move the note")

# Arrow keys nudge the focused note by one pixel.
d.run("xdotool", "click", "1")
d.check(d.wait_for(lambda: d.run("xdotool", "getwindowfocus").strip() == str(note)), "a click focuses the note")
d.run("xdotool", "key", "Right")
d.check(d.wait_for(lambda: d.geometry(note)[:2] == (241, 180)), "Right moves the note one pixel right")
d.run("xdotool", "key", "Down")
d.check(d.wait_for(lambda: d.geometry(note)[:2] == (241, 181)), "Down moves the note one pixel down")

# Dragged until 5 pixels remain on the right: the release puts the left edge
# 26 pixels inside the work area's right edge, with the size unchanged (the
# window itself ends at the work area's edge).
area = d.work_area()
d.check(area is not None, "the window manager publishes a work area: %s" % (area,))
right = area[2]
d.drag((241 + 2, 181 + 40), (right - 5 + 2, 181 + 40))
d.check(d.wait_for(lambda: d.geometry(note) == (right - 26, 181, 26, 90)),
        "the note is clamped to %d: %s" % (right - 26, d.geometry(note)))
d.check(d.wait_for(lambda: stored(0) and stored(0)[0] == (right - 26, 181, right + 174, 271)),
        "the clamped rectangle is stored: %s" % (stored(0),))

d.check(d.stop(p) == 0, "SIGTERM ends the program with code 0")
