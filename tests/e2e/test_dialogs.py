#!/usr/bin/env python3
"""The about box and the font chooser of the real program. The about box
opens from the tray menu in the middle of the screen with the program's
icon and closes with Enter; its web button opens the help page, and where
nothing can open it (no xdg-open, no browser) a message box says so.
The font chooser opens from a note's menu with the note's font selected;
choosing the largest size with the keyboard and pressing Enter repaints the
note larger and stores -35 in the note's record; the default font's chooser
closed with Escape changes nothing but writes the data file.

Set CEVELMO_E2E_SHOTS to a folder to keep screenshots of both dialogs."""

import os
import sys

import desktop as d

NOTE = (300, 200, 700, 330)
folder, data_dir, data_path = d.fresh_folder(
    sys.argv[1], [d.record_bytes(NOTE, file_name="VLM00000.txt", font=d.font_bytes(-16, "DejaVu Sans"))],
    {"VLM00000.txt": "付箋紙 Abc"})


def closed(title):
    return d.wait_for(lambda: d.windows_named(title) == [])


def dark_pixels(bounds):
    """Pixels of the note drawn in its black text colour."""
    shot = d.Screenshot()
    left, top, right, bottom = bounds
    return sum(1 for y in range(top + 3, bottom - 3) for x in range(left + 3, right - 3)
               if max(shot.pixel(x, y)) < 80)


p = d.start(folder, env=dict(os.environ, PATH=d.private_folder("empty-path")))
d.check(d.wait_for(lambda: len(d.note_windows()) == 1), "the stored note is up")
d.wait_for(d.tray_icon)

# The about box, from the tray menu's application submenu.
d.check(d.tray_menu() and d.choose("h", "a"), "the about item of the tray menu's CeVelmo (&H) submenu is chosen")
about = d.dialog("ﾊﾞｰｼﾞｮﾝ情報")
left, top, width, height = d.geometry(about)
screen = d.Screenshot()
d.check(abs(left + width // 2 - screen.width // 2) <= 2 and abs(top + height // 2 - screen.height // 2) <= 40,
        "the about box stands in the middle of the screen: %s" % ((left, top, width, height),))
d.check(left >= 0 and top >= 0 and left + width <= screen.width and top + height <= screen.height,
        "the about box is whole on the screen")
d.save_screenshot("about")


def icon_shown():
    shot = d.Screenshot()
    return any(abs(r - 0xFF) + abs(g - 0xE4) + abs(b - 0x5C) < 60 for x in range(left, left + 60)
               for y in range(top, top + 60) for r, g, b in [shot.pixel(x, y)])


d.check(d.wait_for(icon_shown), "the program's icon (its yellow note) stands in the box's top-left corner")
d.key("Return")
d.check(closed("ﾊﾞｰｼﾞｮﾝ情報"), "Enter closes the about box (its OK button)")

# Its web button opens the help page; on a desktop without xdg-open or a
# browser (this program's PATH has none) a message box says so.
d.check(d.tray_menu() and d.choose("h", "a"), "the about item is chosen again")
d.dialog("ﾊﾞｰｼﾞｮﾝ情報")
d.key("Tab", "space")  # past OK and the greyed mail button
d.check(closed("ﾊﾞｰｼﾞｮﾝ情報"), "the web button closes the about box")
d.check(d.wait_for(lambda: len(d.note_windows()) == 2), "a message box tells that the help page cannot be opened")
d.save_screenshot("help-not-opened")
d.key("Return")
d.check(d.wait_for(lambda: len(d.note_windows()) == 1), "OK closes it")

# The font chooser, from the note's menu.
note_bounds = NOTE
before = dark_pixels(note_bounds)
d.check(before > 0, "the note shows its text")
d.check(d.note_menu(NOTE[0] + 20, NOTE[1] + 100) and d.choose("f"), "the note's font item is chosen")
chooser = d.dialog("フォント選択")
d.save_screenshot("font")
writes = d.Replacements(data_dir, d.DATA_FILE)
# The family list has the keys; Tab reaches the weights, then the sizes.
d.key("Tab", "Tab", "End", "Return")
d.check(closed("フォント選択"), "Enter confirms the choice")
count, records = d.records(d.wait_for(lambda: writes.poll() and d.read(data_path)))
height, weight, italic, face = d.record_font(records[0])
d.check((height, weight, italic, face) == (-35, 400, 0, "DejaVu Sans"),
        "the record holds the chosen size as -35 in DejaVu Sans: %s" % ((height, weight, italic, face),))
after = d.wait_for(lambda: dark_pixels(note_bounds) > 2 * before and dark_pixels(note_bounds))
d.check(after, "the note is repainted in the larger font: %d dark pixels, before %d"
        % (dark_pixels(note_bounds), before))
d.check(d.geometry(d.note_windows()[0]) == (NOTE[0], NOTE[1], NOTE[2] - NOTE[0], NOTE[3] - NOTE[1]),
        "the note keeps its size")

# The default font's chooser closed with Escape: the settings keep their
# font, and the data file is written all the same.
font_before = d.settings_field(d.read(data_path), d.DEFAULT_FONT, d.FONT)
writes = d.Replacements(data_dir, d.DATA_FILE)
d.check(d.tray_menu() and d.choose("h", "f"), "the font item of the tray menu's CeVelmo (&H) submenu is chosen")
d.dialog("フォント選択")
d.key("Escape")
d.check(closed("フォント選択"), "Escape closes the chooser")
d.check(d.wait_for(writes.poll), "the data file is written after Escape")
d.check(d.settings_field(d.read(data_path), d.DEFAULT_FONT, d.FONT) == font_before, "the default font is unchanged")

d.check(d.stop(p) == 0, "SIGTERM ends the program")
