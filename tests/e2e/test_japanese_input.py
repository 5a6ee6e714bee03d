#!/usr/bin/env python3
"""Japanese through a real input method: fcitx5 with the Anthy engine and
Qt's fcitx module, in a D-Bus session and home folder of their own
(with_input_method.sh). Editing opens the input method as the settings say:
romaji (typing "nihongo", Space and Return composes 日本語, which grows a
narrow note and lands in its text file), kana (Anthy's typing method is set)
and direct (the input method stays closed and keys type as they are)."""

import os
import subprocess
import sys

import desktop as d

if os.environ.get("QT_IM_MODULE") != "fcitx":
    here = os.path.dirname(os.path.abspath(__file__))
    os.execv(os.path.join(here, "with_input_method.sh"),
             ["with_input_method.sh", sys.executable, os.path.abspath(__file__)] + sys.argv[1:])

program = sys.argv[1]
ROMAJI, KANA, DIRECT = 0, 1, 2


def input_method_state():
    """fcitx5's word on the focused input context: 0 none, 1 closed, 2 open."""
    return subprocess.run(["fcitx5-remote"], capture_output=True, text=True).stdout.strip()


def anthy_typing_method():
    path = os.path.join(os.environ["XDG_CONFIG_HOME"], "fcitx5", "conf", "anthy.conf")
    for line in (d.read(path, b"") or b"").decode().splitlines():
        if line.startswith("TypingMethod="):
            return line.split("=", 1)[1]
    return None


def edit_session(input_mode, bounds):
    """A program with one note, editing it; returns (process, note window,
    text of the note's file once editing ends as a function)."""
    folder, data_dir, _ = d.fresh_folder(program, [d.record_bytes(bounds)], input_mode=input_mode)
    p = d.start(folder)
    note = d.wait_for(d.note_windows)[0]

    def stored_text():
        return d.stored_text(data_dir, 0)

    left, top = bounds[0], bounds[1]
    d.ctrl_double_click(left + 15, top + 15)
    d.check(d.wait_for(lambda: d.pixel(left + 7, top + 7) == (255, 255, 255)), "the note is being edited")
    return p, note, stored_text


def composition_fills_editor(note):
    """Whether what the editor (white, 5 pixels inside the note) shows
    reaches its right edge: a composition too wide for it."""
    left, top, width, height = d.geometry(note)
    shown = d.ink_box(d.Screenshot(), (left + 5, top + 5, width - 10, height - 10), lambda rgb: rgb != (255, 255, 255))
    return shown is not None and shown[2] >= width - 13


# Romaji: a composed word grows a narrow note and lands in its text file.
p, note, stored_text = edit_session(ROMAJI, (200, 150, 240, 190))
d.check(d.wait_for(lambda: input_method_state() == "2"), "editing opens the input method (romaji)")
d.check(anthy_typing_method() in (None, "Romaji"), "Anthy types romaji")
d.type_text("nihongo")
d.key("space")
# The converted word shows in the editor, too wide for the narrow note,
# before Return finishes it.
d.check(d.wait_for(lambda: composition_fills_editor(note)), "the composition fills the editor")
d.check(d.geometry(note)[2] == 40, "the note waits for the finished word: %s" % (d.geometry(note),))
d.key("Return")
d.check(d.wait_for(lambda: d.geometry(note)[2] > 40), "the composed word widens the note: %s" % (d.geometry(note),))
d.key("Escape")
d.check(d.wait_for(lambda: stored_text() == "日本語".encode("utf-8")),
        "the composed word is the note's text: %r" % (stored_text(),))
d.check(d.stop(p) == 0, "SIGTERM ends the program")

# Kana: Anthy's typing method follows the setting.
p, note, stored_text = edit_session(KANA, (200, 150, 360, 210))
d.check(d.wait_for(lambda: input_method_state() == "2"), "editing opens the input method (kana)")
d.check(d.wait_for(lambda: anthy_typing_method() == "Kana"), "Anthy types kana: %s" % anthy_typing_method())
d.key("Escape")
d.check(d.stop(p) == 0, "SIGTERM ends the program")

# Direct: the input method is closed and the keys type themselves.
p, note, stored_text = edit_session(DIRECT, (200, 150, 360, 210))
d.check(d.wait_for(lambda: input_method_state() == "1"), "editing closes the input method (direct)")
d.type_text("nihongo")
d.key("Escape")
d.check(d.wait_for(lambda: stored_text() == b"nihongo"), "the keys typed as they are: %r" % (stored_text(),))
d.check(d.stop(p) == 0, "SIGTERM ends the program")
