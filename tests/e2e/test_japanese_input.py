#!/usr/bin/env python3
"""Japanese through a real input method: fcitx5 (or IBus) with the Anthy
engine and Qt's module for it, in a D-Bus session and home folder of their own
(with_input_method.sh). Editing opens the input method as the settings say,
from the first edit of a note that has not had the keyboard since the start:
romaji (typing "nihongo" grows a narrow note while the word is still being
composed; Space and Return compose 日本語, which lands in its text file; IBus
has the user's layout back after it), on fcitx5 kana (Anthy's typing method
is set for the edit and is the user's again after it, or at the start after
a run killed during it) and direct (the input method stays closed and keys
type as they are; opened by hand, it types with the user's own typing method)."""

import os
import signal
import subprocess
import sys

import desktop as d

FRAMEWORK = os.environ.get("CEVELMO_INPUT_METHOD", "fcitx")
if os.environ.get("QT_IM_MODULE") != FRAMEWORK:
    here = os.path.dirname(os.path.abspath(__file__))
    os.execv(os.path.join(here, "with_input_method.sh"),
             ["with_input_method.sh", sys.executable, os.path.abspath(__file__)] + sys.argv[1:])

program = sys.argv[1]
ROMAJI, KANA, DIRECT = 0, 1, 2


def input_method_state():
    """fcitx5's word on the focused input context: 0 none, 1 closed, 2 open
    (on IBus, whose engine is the desktop's: 2 for Anthy, 1 for a layout)."""
    if FRAMEWORK == "ibus":
        engine = subprocess.run(["ibus", "engine"], capture_output=True, text=True).stdout.strip()
        return "2" if engine == "anthy" else "1" if engine.startswith("xkb:") else "0"
    return subprocess.run(["fcitx5-remote"], capture_output=True, text=True).stdout.strip()


def anthy_typing_method():
    path = os.path.join(os.environ["XDG_CONFIG_HOME"], "fcitx5", "conf", "anthy.conf")
    for line in (d.read(path, b"") or b"").decode().splitlines():
        if line.startswith("TypingMethod="):
            return line.split("=", 1)[1]
    return None


def edit_session(input_mode, bounds):
    """A program with two notes, editing the first, which the start did not
    give the keyboard; returns (process, note window, text of the note's
    file once editing ends as a function, program folder)."""
    folder, data_dir, _ = d.fresh_folder(program, [d.record_bytes(bounds), d.record_bytes((600, 400, 700, 440))],
                                         input_mode=input_mode)
    p = d.start(folder)
    note = d.wait_for(lambda: d.window_at(bounds[0], bounds[1]))
    d.check(d.wait_for(lambda: len(d.note_windows()) == 2), "both notes are shown")

    def stored_text():
        return d.stored_text(data_dir, 0)

    left, top = bounds[0], bounds[1]
    d.ctrl_double_click(left + 15, top + 15)
    d.check(d.wait_for(lambda: d.pixel(left + 7, top + 7) == (255, 255, 255)), "the note is being edited")
    return p, note, stored_text, folder


# Romaji: a word being composed grows a narrow note, and lands in its text
# file. The input method takes the keys in order: Space converts before
# Return finishes the word.
p, note, stored_text, _ = edit_session(ROMAJI, (200, 150, 240, 190))
d.check(d.wait_for(lambda: input_method_state() == "2"), "editing opens the input method (romaji)")
d.check(anthy_typing_method() in (None, "Romaji"), "Anthy types romaji")
d.type_text("nihongo", delay=80)
d.check(d.wait_for(lambda: d.geometry(note)[2] > 40), "the word being composed widens the note: %s" % (d.geometry(note),))
d.key("space")
d.key("Return")
d.key("Escape")
d.check(d.wait_for(lambda: stored_text() == "日本語".encode("utf-8")),
        "the composed word is the note's text: %r" % (stored_text(),))
d.check(FRAMEWORK != "ibus" or d.wait_for(lambda: input_method_state() == "1"), "the user's layout is back")
d.check(d.stop(p) == 0, "SIGTERM ends the program")
if FRAMEWORK == "ibus":
    sys.exit(0)  # IBus's Anthy takes no typing method from a program

# Kana: Anthy's typing method follows the setting for the edit, and is the
# user's own again once the edit ends, or at the next start when the program
# was killed during the edit.
users_method = anthy_typing_method() or "Romaji"
for killed in (False, True):
    p, note, stored_text, folder = edit_session(KANA, (200, 150, 360, 210))
    d.check(d.wait_for(lambda: input_method_state() == "2"), "editing opens the input method (kana)")
    d.check(d.wait_for(lambda: anthy_typing_method() == "Kana"), "Anthy types kana: %s" % anthy_typing_method())
    if killed:
        d.stop(p, signal.SIGKILL)
        p = d.start(folder)
    else:
        d.key("Escape")
    d.check(d.wait_for(lambda: anthy_typing_method() == users_method), "the user's typing method is back (%s): %s"
            % ("at the start after a kill" if killed else "after the edit", anthy_typing_method()))
    d.check(d.stop(p) == 0, "SIGTERM ends the program")

# Direct: the input method is closed and the keys type themselves; opened by
# hand, it types with the user's typing method.
p, note, stored_text, _ = edit_session(DIRECT, (200, 150, 360, 210))
d.check(d.wait_for(lambda: input_method_state() == "1"), "editing closes the input method (direct)")
d.type_text("nihongo")
d.run("fcitx5-remote", "-o")
d.check(d.wait_for(lambda: input_method_state() == "2"), "the user opens the input method")
d.type_text("ka", delay=80)
d.key("Return")
d.key("Escape")
d.check(d.wait_for(lambda: stored_text() == "nihongoか".encode("utf-8")),
        "the keys typed as they are, then romaji: %r" % (stored_text(),))
d.check(d.stop(p) == 0, "SIGTERM ends the program")
