// Tab stops and the line pitch of a font, and the editor's document layout
// that keeps to the pitch.
#include "platform/qt/qt_text_lines.h"

#include <QFontMetrics>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QtMath>

#include <algorithm>

namespace platform::qt {
namespace {

// Latin with its accents and descenders, Greek, Cyrillic, kanji, hiragana,
// katakana in both widths, full-width brackets and Hangul: each script
// whose glyphs a Latin face may have to borrow from another face.
constexpr char16_t kSample[] = u"ÅgjΩЖ付箋紙あアｱ（）한";

LinePitch MeasurePitch(const QFont& font)
{
    QTextLayout layout(QString::fromUtf16(kSample), font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return LinePitch{};
    const int baseline = qCeil(line.ascent());
    const int below = qCeil(line.descent() + std::max<qreal>(0, line.leading()));
    return LinePitch{std::max(1, baseline + below), baseline};
}

// QPlainTextEdit's layout, whose every placement of a block (painting, the
// caret, hit tests, scrolling) asks for the block's rectangle first: there
// its lines move to the pitch.
class PitchedLayout final : public QPlainTextDocumentLayout {
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

    QRectF blockBoundingRect(const QTextBlock& block) const override
    {
        QRectF rect = QPlainTextDocumentLayout::blockBoundingRect(block);
        QTextLayout* layout = block.layout();
        if (!block.isVisible() || !layout || layout->lineCount() == 0)
            return rect;
        const LinePitch pitch = Pitch();
        for (int i = 0; i < layout->lineCount(); ++i) {
            QTextLine line = layout->lineAt(i);
            line.setPosition(QPointF(line.x(), i * pitch.height + LineOffsetInPitch(pitch, line)));
        }
        rect.setHeight(layout->lineCount() * pitch.height);
        return rect;
    }

private:
    LinePitch Pitch() const
    {
        const QFont font = document()->defaultFont();
        if (font != font_) {
            font_ = font;
            pitch_ = LinePitchOf(font);
        }
        return pitch_;
    }

    mutable QFont font_;
    mutable LinePitch pitch_ = LinePitchOf(QFont());
};

}  // namespace

qreal TabStopDistance(const QFont& font) { return 8.0 * QFontMetrics(font).averageCharWidth(); }

LinePitch LinePitchOf(const QFont& font)
{
    // Never destroyed: Qt objects must not outlive Qt's own teardown at exit.
    static auto* known = new QHash<QString, LinePitch>;
    const QString key = font.key();
    auto it = known->constFind(key);
    if (it == known->constEnd())
        it = known->insert(key, MeasurePitch(font));
    return *it;
}

qreal LineOffsetInPitch(const LinePitch& pitch, const QTextLine& line)
{
    // A line that includes its leading draws its baseline that much lower.
    const qreal base = line.ascent() + (line.leadingIncluded() ? std::max<qreal>(0, line.leading()) : 0);
    return pitch.baseline - base;
}

QPlainTextDocumentLayout* NewPitchedLayout(QTextDocument* document) { return new PitchedLayout(document); }

}  // namespace platform::qt
