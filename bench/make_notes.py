#!/usr/bin/env python3
"""Prepares a program folder with N stored notes for the benchmarks.

    make_notes.py PROGRAM FOLDER COUNT

FOLDER gets a copy of the program (it keeps its data beside itself), a Data
folder with the data file written byte by byte at its documented offsets
(tests/e2e/desktop.py) and one text file per note, and "places.txt" for the
floor program to show the same windows with the same text in the same face:
a first line "font PIXELS FAMILY", then one note a line, "left top width
height BBGGRR text" with the text's line breaks written as \n.

The notes are what a long-time user has: a few lines each, every third one
Japanese, some of those in Shift JIS as older copies of the data wrote them,
one in twenty kept on top, spread over the screen in overlapping rows."""

import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import desktop as d  # noqa: E402

FACE, PIXELS = "DejaVu Sans", 16  # the notes' font; Japanese comes from the desktop's fallback
PALETTE = [0x00D0FFFF, 0x008CFF60, 0x00B0F080, 0x00CAF0A6, 0x00F0B080, 0x00DCB4F8]
TEXTS = [
    "Buy milk\nCall the office at 3",
    "会議の資料を印刷する\n午後三時までに",
    "Release checklist:\n- tag\n- build\n- upload",
    "Ideas for the weekend",
    "電話番号: 03-1234-5678\n田中さん",
    "TODO: renew the passport",
]


def place(i):
    """A rectangle on a 1280 x 800 screen, above the panel at its foot."""
    width, height = 150 + (i % 3) * 20, 50 + (i % 4) * 10
    left = 10 + (i % 6) * 200 + (i // 60) % 20 * 2
    top = 10 + (i // 6) % 10 * 68 + (i // 60) % 20
    return left, top, width, height


def text(i):
    return TEXTS[i % len(TEXTS)] + "\n#%d" % i


def text_bytes(i):
    # Every other Japanese note is stored as the older copies stored it.
    if i % 3 == 1 and i % 2 == 1:
        return text(i).encode("cp932")
    return text(i).encode("utf-8")


def main():
    program, folder, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
    data = os.path.join(folder, "Data")
    os.makedirs(data, exist_ok=True)
    shutil.copy2(program, os.path.join(folder, "cevelmo"))
    records = []
    with open(os.path.join(folder, "places.txt"), "w", encoding="utf-8") as places:
        places.write("font %d %s\n" % (PIXELS, FACE))
        for i in range(count):
            left, top, width, height = place(i)
            name = "VLM%05d.txt" % i
            with open(os.path.join(data, name), "wb") as f:
                f.write(text_bytes(i))
            back = PALETTE[i % len(PALETTE)]
            records.append(d.record_bytes((left, top, left + width, top + height),
                                          z_level=-1 if i % 20 == 19 else -2, file_name=name, back=back,
                                          font=d.font_bytes(-PIXELS, FACE)))
            escaped = text(i).replace("\\", "\\\\").replace("\n", "\\n")
            places.write("%d %d %d %d %06X %s\n" % (left, top, width, height, back, escaped))
    with open(os.path.join(data, "CeVlmDat.bin"), "wb") as f:
        f.write(d.data_file(records))


if __name__ == "__main__":
    main()
