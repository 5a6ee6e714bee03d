#!/usr/bin/env python3
"""A drag under a compositing manager that casts shadows: the dotted outline
is drawn by windows of its own (the compositor would hide drawing on the
screen itself), and shows as a thin dotted ring, never as a dark box."""

import sys

import desktop as d

L, T, W, H = 100, 100, 200, 80
folder, _, _ = d.fresh_folder(sys.argv[1], [d.record_bytes((L, T, L + W, T + H))])

d.start_compositor()
p = d.start(folder)
notes = d.wait_for(d.note_windows)
d.check(len(notes) == 1, "the stored note is mapped")
d.check(d.wait_for(lambda: d.pixel(L + 100, T + 40) != d.pixel(L + 100, T + 200)), "the note is painted")

# The note is dragged 300 pixels to the right and 200 down; the outline
# stands there, over bare desktop. The shadows of its thin sides may shade
# the desktop for a few pixels along them, never further in.
DX, DY = 300, 200
left, top = L + DX, T + DY
inside = [(left + W // 2, top + H // 2), (left + 30, top + 30), (left + W - 31, top + H - 31)]
edge = [(left + 20 + i, top) for i in range(16)]
before = d.Screenshot()
d.press_at(L + 50, T + 20)
d.move_to(L + 50 + DX // 2, T + 20 + DY // 2)
d.move_to(L + 50 + DX, T + 20 + DY)


def outline_shown():
    shot = d.Screenshot()
    return shot if len({shot.pixel(x, y) for x, y in edge}) == 2 else None


shot = d.wait_for(outline_shown)
d.check(shot is not None, "the dotted outline shows at the dragged rectangle")
colours = sorted({shot.pixel(x, y) for x, y in edge})
d.check(colours == [(0, 0, 0), (255, 255, 255)], "the outline is dotted black and white: %s" % (colours,))
d.check(all(shot.pixel(x, y) == before.pixel(x, y) for x, y in inside),
        "inside the outline the desktop shows as before, with no shadow: %s, before %s"
        % ([shot.pixel(x, y) for x, y in inside], [before.pixel(x, y) for x, y in inside]))
d.release()
d.check(d.wait_for(lambda: d.geometry(notes[0])[:2] == (left, top)), "the note moves to the outline's place")
d.check(d.stop(p) == 0, "SIGTERM ends the program")
