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

// The document layout of the editor control: QPlainTextEdit's own, with
// every line laid at the pitch of the document's font.
QPlainTextDocumentLayout* NewPitchedLayout(QTextDocument* document);

}  // namespace platform::qt
