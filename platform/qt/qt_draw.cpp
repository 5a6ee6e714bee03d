// Drawing on Qt: the program's drawing calls paint through the QPainter of
// the paint event in progress, with anti-aliasing off so that every pixel is
// exactly the colour asked for. Also text extents, whole-screen repainting
// and the arrow cursor.
//
// Coordinates are Qt's logical pixels. On a screen scaled by 2 (HiDPI) a
// logical pixel is 2 x 2 device pixels, so lines are filled as logical
// pixels: a line drawn one device pixel wide would leave them dotted.
#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <QtMath>

#include <algorithm>
#include <vector>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>

#include "platform/draw.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/qt_text_lines.h"
#include "platform/qt/qt_windows.h"
#include "platform/shared/line_raster.h"
#include "platform/shared/text_lines.h"

namespace platform::qt {
namespace {

// The extent of every line of a note's text is asked for at every key while
// the note is edited, and shaping a line is what costs: a line's width in a
// font never changes, so the widths are kept per font until the font object
// goes, and the table is emptied when it grows large.
struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view s) const { return std::hash<std::u16string_view>{}(s); }
};
struct Extents {
    QFont font;
    QFontMetricsF metrics;
    LinePitch pitch;
    std::unordered_map<std::u16string, int, Hash, std::equal_to<>> widths;
};
constexpr std::size_t kMaxKeptWidths = 50000;

std::map<FontHandle, Extents>& ExtentsByFont()
{
    // Never destroyed: Qt objects must not outlive Qt's own teardown at exit.
    static auto* fonts = new std::map<FontHandle, Extents>;
    return *fonts;
}

}  // namespace

void ForgetTextExtents(FontHandle font) { ExtentsByFont().erase(font); }

}  // namespace platform::qt

namespace platform {
namespace {

QColor ToQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QPainter* Painter(DrawContext context)
{
    QPainter* painter = qt::PainterOf(context);
    if (painter) painter->setRenderHint(QPainter::Antialiasing, false);
    return painter;
}

QFont FontOrDefault(FontHandle font, const QFont& fallback)
{
    const QFont* chosen = font != 0 ? qt::FontOf(font) : nullptr;
    return chosen ? *chosen : fallback;
}

// A right-to-left character puts the characters around it in an order that
// depends on the rest of its line.
bool HasRightToLeft(const QString& s)
{
    for (const QChar c : s) {
        switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI: return true;
        default: break;
        }
    }
    return false;
}

// The options of every line laid out: never wrapped, read from the left
// edge whatever script the text begins with, the font's tab stops. A
// QTextLayout knows no mnemonics, so "&" is drawn as itself.
QTextOption LineOption(const QFont& font)
{
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    option.setTabStopDistance(qt::TabStopDistance(font));
    return option;
}

// Draws one line of text (no breaks in it) in the line pitch whose top is
// at `top`. Only the part that can show is laid out: a start that reaches
// well past the right edge (two lines' heights, so that no character near
// the cut changes how a shown one looks). A line with right-to-left text is
// laid out whole, since its order depends on all of it.
void DrawOneLine(QPainter& painter, std::u16string_view line, const QRect& rect, int top,
                 const qt::LinePitch& pitch, const QTextOption& option)
{
    const qreal reach = rect.width() + 2.0 * pitch.height;
    std::size_t take = std::max<std::size_t>(64, static_cast<std::size_t>(rect.width()) + 16);
    for (;;) {
        take = std::min(take, line.size());
        // Never cut between the two halves of a surrogate pair.
        if (take < line.size() && QChar::isHighSurrogate(line[take - 1])) ++take;
        const QString shown = QString::fromUtf16(line.data(), static_cast<qsizetype>(take));
        if (take < line.size() && HasRightToLeft(shown)) {
            take = line.size();
            continue;
        }
        QTextLayout layout(shown, painter.font(), painter.device());
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine textLine = layout.createLine();
        if (textLine.isValid()) textLine.setLineWidth(rect.width());
        layout.endLayout();
        if (!textLine.isValid()) return;
        if (take < line.size() && textLine.naturalTextWidth() < reach) {
            take *= 4;
            continue;
        }
        layout.draw(&painter, QPointF(rect.left(), top + qt::LineOffsetInPitch(pitch, textLine)));
        return;
    }
}

// A line's width as it is drawn. A line without tabs is as wide as its
// advance, which costs a tenth of a layout.
qreal LineWidth(const qt::Extents& extents, std::u16string_view text)
{
    const QString s = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    if (!s.contains(QLatin1Char('\t'))) return extents.metrics.horizontalAdvance(s);
    QTextLayout layout(s, extents.font);
    layout.setTextOption(LineOption(extents.font));
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return line.isValid() ? line.naturalTextWidth() : 0;
}

}  // namespace

DrawContext BeginPaint(WindowHandle window) { return qt::PaintContextOf(window); }

void EndPaint(WindowHandle, DrawContext) {}

void FillSolidRect(DrawContext context, Rect rect, Colour colour)
{
    if (QPainter* painter = Painter(context)) painter->fillRect(qt::ToQRect(rect), ToQColor(colour));
}

void DrawLine(DrawContext context, Point from, Point to, Colour colour)
{
    QPainter* painter = Painter(context);
    if (!painter) return;
    const QColor fill = ToQColor(colour);
    // A row or a column of pixels is one rectangle, whatever its length (the
    // frame of a note many screens high); a slanting line (the grip's) is
    // filled pixel by pixel.
    if (Rect span; shared::StraightLineSpan(from, to, span)) {
        if (span.Width() > 0 && span.Height() > 0) painter->fillRect(qt::ToQRect(span), fill);
        return;
    }
    for (const Point p : shared::LinePixels(from, to)) painter->fillRect(QRect(p.x, p.y, 1, 1), fill);
}

// Each line is laid out on its own, and only as far as it can show: a paint
// costs the lines and characters it shows, not the whole text. Every line
// takes the font's line pitch, as the editor's lines and the text extents do.
void DrawTextInRect(DrawContext context, std::u16string_view text, Rect rect, Colour colour, FontHandle font)
{
    QPainter* painter = Painter(context);
    if (!painter || rect.Width() <= 0 || rect.Height() <= 0) return;
    painter->save();
    painter->setFont(FontOrDefault(font, painter->font()));
    painter->setPen(ToQColor(colour));
    painter->setBackgroundMode(Qt::TransparentMode);
    const QRect area = qt::ToQRect(rect);
    painter->setClipRect(area);
    const QTextOption option = LineOption(painter->font());
    const qt::LinePitch pitch = qt::LinePitchOf(painter->font());
    // A window taller than the screen has only its shown part on the desktop
    // (NativeBounds): a note of a megabyte lays out a screenful, not all.
    int bottom = area.top() + area.height();
    if (const qt::WindowRecord* record = qt::FindRecord(qt::WindowOfContext(context)); record && record->widget)
        bottom = std::min(bottom, record->widget->height());
    std::size_t start = 0;
    for (int top = area.top(); top < bottom; top += pitch.height) {
        const std::size_t end = shared::LineEnd(text, start);
        DrawOneLine(*painter, text.substr(start, end - start), area, top, pitch, option);
        if (!shared::NextLine(text, end, start)) break;
    }
    painter->restore();
}

// A line's width is its laid-out width with the tab stops of the painting,
// rounded up to whole pixels; its height is the font's line pitch.
TextSize MeasureText(FontHandle font, std::u16string_view text)
{
    auto& fonts = qt::ExtentsByFont();
    auto it = fonts.find(font);
    if (it == fonts.end()) {
        const QFont chosen = FontOrDefault(font, QGuiApplication::font());
        it = fonts.emplace(font, qt::Extents{chosen, QFontMetricsF(chosen), qt::LinePitchOf(chosen), {}}).first;
    }
    qt::Extents& extents = it->second;
    auto known = extents.widths.find(text);
    if (known == extents.widths.end()) {
        if (extents.widths.size() >= qt::kMaxKeptWidths) extents.widths.clear();
        known = extents.widths.emplace(std::u16string(text), qCeil(LineWidth(extents, text))).first;
    }
    return TextSize{known->second, extents.pitch.height};
}

void InvalidateScreen()
{
    for (const auto& [handle, record] : qt::AllRecords()) InvalidateWindow(handle, true);
}

void SetArrowCursor()
{
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    for (const auto& [handle, record] : qt::AllRecords())
        if (record->widget) record->widget->setCursor(Qt::ArrowCursor);
}

}  // namespace platform
