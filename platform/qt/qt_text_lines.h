// How the Qt backend lays out lines of text, alike in the note's painting,
// the editor control and the text extents: tab stops every eight average
// character widths, and one line height for all the text of a font. Every
// line advances by the font's line pitch and has its baseline at the same
// depth in it, whatever characters the line holds.
//
// Qt lays a line out as high as the faces its characters come from: a line
// of Japanese drawn in a Latin face takes its glyphs from a taller fallback
// face and is a few pixels higher than a Latin line. Measured one way and
// drawn another, lines went missing. The pitch is the height of a sample
// line that mixes Latin, kana, kanji and full-width forms, so it covers the
// fallback faces a note's text reaches in practice; a glyph of a still
// taller face may reach into the next line, but no line moves.
//
// Internal to the Qt backend.
#pragma once

#include <QFont>
#include <QPlainTextDocumentLayout>
#include <QTextFormat>
#include <QTextLayout>

namespace platform::qt {

// The distance between tab stops in the font.
qreal TabStopDistance(const QFont& font);

struct LinePitch {
    int height = 1;    // from a line's top to the next line's top
    int baseline = 0;  // from a line's top to its baseline
};

// The pitch of the font's lines on the screen.
LinePitch LinePitchOf(const QFont& font);

// How far below its pitch's top a laid-out line goes, so that its
// baseline lies at the pitch's.
qreal LineOffsetInPitch(const LinePitch& pitch, const QTextLine& line);

// The object type of a NUL in the editor's document. A NUL is an object of
// its own there, shown as kShownNul: as a plain character it would show
// nothing. Reading the document back turns the objects into NULs again, so
// a U+2400 the user typed stays what it is. Qt drops an object's type from
// the format that typed text takes on, so nothing typed next to a NUL
// becomes one.
inline constexpr int kNulObject = QTextFormat::UserObject + 1;

// The document layout of the editor control: QPlainTextEdit's own, with
// every line laid at the pitch of the document's font and each NUL object
// drawn as its sign.
QPlainTextDocumentLayout* NewPitchedLayout(QTextDocument* document);

}  // namespace platform::qt
