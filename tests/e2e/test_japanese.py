#!/usr/bin/env python3
"""Qt's own words read Japanese whatever the locale: in an English locale
(C.UTF-8) the buttons of the peel-off questions read はい, いいえ and
キャンセル. The buttons are read back as the desktop's accessibility bus
(AT-SPI) tells them, on a private session bus."""

import os
import re
import sys

import desktop as d

folder, _, _ = d.fresh_folder(sys.argv[1], [
    d.record_bytes((100, 100, 260, 140)), d.record_bytes((400, 100, 560, 140), file_name="VLM00000.txt"),
], {"VLM00000.txt": "買い物"})

bus = d.start_session_bus()
env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8", LANGUAGE="", DBUS_SESSION_BUS_ADDRESS=bus,
           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
p = d.start(folder, env=env)
d.check(d.wait_for(lambda: len(d.note_windows()) == 2), "both notes are up")
d.check(d.start_settled(d.window_at(400, 100)), "the last note shown at start has the keyboard")


def box_buttons():
    """The labels of the open message box's buttons, their keys left out
    ("はい(Y)" reads "はい"), or None while no box is open."""
    objects = d.accessible_objects(bus)
    roles = [role for role, _ in objects]
    if "alert message" not in roles:
        return None
    after = objects[roles.index("alert message"):]
    return [re.sub(r"\(.\)$", "", name) for role, name in after if role == "push button"]


for (x, y), question, expected in (
    ((130, 120), "the question for an empty note", ["はい", "いいえ"]),
    ((430, 120), "the question for a note with text", ["はい", "いいえ", "キャンセル"]),
):
    d.check(d.click_to_focus(d.window_at(x - 30, y - 20), x, y), "a click gives the note the keyboard")
    d.key("Delete")
    buttons = d.wait_for(box_buttons)
    d.check(buttons == expected, "%s has the buttons %s: %s" % (question, " ".join(expected), buttons))
    d.key("Escape")
    d.check(d.wait_for(lambda: box_buttons() is None), "Escape closes the box")

d.check(len(d.note_windows()) == 2, "no note was peeled")
d.check(d.stop(p) == 0, "SIGTERM ends the program")
