#!/usr/bin/env python3
"""The real program on a screen scaled by 2 for HiDPI, asked for in either of
the two usual ways (QT_SCALE_FACTOR=2, or Xft.dpi 192 in the X resources): a
note's frame and grip are solid in every device pixel, and the dotted
outline of a drag stands where the note will, in device pixels."""

import os
import sys

import desktop as d

SCALE = 2
PAPER = 0x00D0FFFF  # palette colour 0
L, T, W, H = 100, 120, 200, 60  # the note, in the program's (logical) pixels
DX, DY = 20, 15                 # how far it is dragged

folder, data_dir, data_path = d.fresh_folder(sys.argv[1])


def shade(colour, k):
    return tuple(max(c - k, 0) for c in d.rgb(colour))


def block(shot, x, y):
    """The device pixels of the logical pixel x, y."""
    return {shot.pixel(x * SCALE + i, y * SCALE + j) for i in range(SCALE) for j in range(SCALE)}


def off_pixels(shot, points, colour):
    """The logical pixels among `points` whose device pixels are not all `colour`."""
    return [(x, y) for x, y in points if block(shot, x, y) != {colour}]


def check_scaled_note(how, env):
    d.write_notes(data_dir, [d.record_bytes((L, T, L + W, T + H), back=PAPER)])
    p = d.start(folder, env=env)
    notes = d.wait_for(d.note_windows)
    d.check(len(notes) == 1, "%s: the stored note is mapped" % how)
    d.check(d.wait_for(lambda: d.geometry(notes[0]) == (L * SCALE, T * SCALE, W * SCALE, H * SCALE)),
            "%s: the note covers twice its size in device pixels: %s" % (how, d.geometry(notes[0])))
    d.check(d.wait_for(lambda: d.pixel((L + 50) * SCALE, (T + 30) * SCALE) == d.rgb(PAPER)),
            "%s: the note is filled in its colour" % how)

    shot = d.Screenshot()
    right, bottom = L + W - 1, T + H - 1
    lines = {
        "outer right": ([(right, y) for y in range(T, T + H)], (0, 0, 0)),
        "outer bottom": ([(x, bottom) for x in range(L, L + W)], (0, 0, 0)),
        "inner right (shade 64)": ([(right - 1, y) for y in range(T + 1, T + H - 2)], shade(PAPER, 64)),
        "inner top (tint)": ([(x, T + 1) for x in range(L + 1, L + W - 2)], (255, 255, 255)),
        "grip d=5 (shade 64)": ([(right - 1, bottom - 3), (right - 2, bottom - 2), (right - 3, bottom - 1)],
                                shade(PAPER, 64)),
        # Its ends lie under the inner frame lines, drawn after the grip.
        "grip d=14 (shade 8)": ([(right - i, bottom - 13 + i) for i in range(2, 12)], shade(PAPER, 8)),
    }
    for name, (points, colour) in lines.items():
        off = off_pixels(shot, points, colour)
        d.check(not off, "%s: the %s line is solid (%d points off: %s)" % (how, name, len(off), off[:4]))

    # A drag: the outline follows the pointer at the device pixels of the
    # rectangle the note will take.
    edge = [((L + DX + 40 + i) * SCALE, (T + DY) * SCALE) for i in range(8)]
    before = [shot.pixel(x, y) for x, y in edge]
    d.press_at((L + 50) * SCALE, (T + 20) * SCALE)
    d.move_to((L + 50 + DX // 2) * SCALE, (T + 20 + DY // 2) * SCALE)
    d.move_to((L + 50 + DX) * SCALE, (T + 20 + DY) * SCALE)
    changed = d.wait_for(lambda: sum(a != b for a, b in zip([d.pixel(x, y) for x, y in edge], before)) >= 3)
    d.check(changed, "%s: the dotted outline is drawn at the dragged rectangle's device pixels" % how)
    d.release()
    d.check(d.wait_for(lambda: d.geometry(notes[0])[:2] == ((L + DX) * SCALE, (T + DY) * SCALE)),
            "%s: the note moves by the dragged distance: %s" % (how, d.geometry(notes[0])))
    d.check(d.wait_for(lambda: d.stored_records(data_path)[0][0] == (L + DX, T + DY, L + DX + W, T + DY + H)),
            "%s: the data file holds the new rectangle in the program's pixels" % how)
    d.check(d.stop(p) == 0, "%s: SIGTERM ends the program" % how)


check_scaled_note("QT_SCALE_FACTOR=2", dict(os.environ, QT_SCALE_FACTOR=str(SCALE)))
d.run("xprop", "-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER", "Xft.dpi:\t192")
check_scaled_note("Xft.dpi 192", dict(os.environ))
