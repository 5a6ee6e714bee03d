// Drawing on Qt: the program's drawing calls paint through the QPainter of
// the paint event in progress, with anti-aliasing off so that every pixel is
// exactly the colour asked for. Also text extents, whole-screen repainting,
// the arrow cursor and reading a window's pixels back (by grabbing it).
//
// Coordinates are Qt's logical pixels. On a screen scaled by 2 (HiDPI) a
// logical pixel is 2 x 2 device pixels, so lines are filled as logical
// pixels: a line drawn one device pixel wide would leave them dotted.
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <vector>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>

#include "platform/draw.h"
#include "platform/inspect.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/qt_text.h"
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
    QFontMetrics metrics;
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

Colour FromQRgb(QRgb rgb)
{
    return static_cast<Colour>(qRed(rgb)) | (static_cast<Colour>(qGreen(rgb)) << 8) |
           (static_cast<Colour>(qBlue(rgb)) << 16);
}

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

// Draws one line of text (no breaks in it) with its top at `top` and
// returns how far down the next line starts. Only the part that can show is
// laid out: a start that reaches well past the right edge (two lines'
// heights, so that no character near the cut changes how a shown one looks
// or how high the line is). A line with right-to-left text is laid out
// whole, since its order depends on all of it.
qreal DrawOneLine(QPainter& painter, std::u16string_view line, const QRect& rect, qreal top,
                  const QTextOption& option)
{
    const QFontMetricsF metrics(painter.font());
    const qreal reach = rect.width() + 2.0 * metrics.height();
    std::size_t take = std::max<std::size_t>(64, static_cast<std::size_t>(rect.width()) + 16);
    for (;;) {
        take = std::min(take, line.size());
        // Never cut between the two halves of a surrogate pair.
        if (take < line.size() && QChar::isHighSurrogate(line[take - 1])) ++take;
        const QString shown = qt::ToShownQString(line.substr(0, take));
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
        if (!textLine.isValid()) return metrics.lineSpacing();
        if (take < line.size() && textLine.naturalTextWidth() < reach) {
            take *= 4;
            continue;
        }
        layout.draw(&painter, QPointF(rect.left(), top));
        return metrics.leading() + textLine.height();
    }
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
    const std::vector<Point> pixels = shared::LinePixels(from, to);
    if (pixels.empty()) return;
    // A row or a column of pixels is one rectangle; a slanting line (the
    // grip's) is filled pixel by pixel.
    QRect span(QPoint(pixels.front().x, pixels.front().y), QSize(1, 1));
    for (const Point p : pixels) span |= QRect(p.x, p.y, 1, 1);
    const QColor fill = ToQColor(colour);
    if (span.width() == 1 || span.height() == 1) {
        painter->fillRect(span, fill);
        return;
    }
    for (const Point p : pixels) painter->fillRect(QRect(p.x, p.y, 1, 1), fill);
}

// Each line is laid out on its own, and only as far as it can show: a paint
// costs the lines and characters it shows, not the whole text. A line is as
// high as the characters it shows need (a character of a taller fallback
// font makes its line taller), plus the font's leading.
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
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::NoWrap);
    // Lines read from the left edge whatever script the text begins with.
    option.setTextDirection(Qt::LeftToRight);
    option.setTabStopDistance(8.0 * QFontMetrics(painter->font()).averageCharWidth());
    // A QTextLayout knows no mnemonics, so "&" is drawn as itself.
    std::size_t start = 0;
    for (qreal top = area.top(); top < area.top() + area.height();) {
        const std::size_t end = shared::LineEnd(text, start);
        top += std::max<qreal>(1.0, DrawOneLine(*painter, text.substr(start, end - start), area, top, option));
        if (!shared::NextLine(text, end, start)) break;
    }
    painter->restore();
}

TextSize MeasureText(FontHandle font, std::u16string_view text)
{
    auto& fonts = qt::ExtentsByFont();
    auto it = fonts.find(font);
    if (it == fonts.end())
        it = fonts.emplace(font, qt::Extents{QFontMetrics(FontOrDefault(font, QGuiApplication::font())), {}}).first;
    qt::Extents& extents = it->second;
    auto known = extents.widths.find(text);
    if (known == extents.widths.end()) {
        if (extents.widths.size() >= qt::kMaxKeptWidths) extents.widths.clear();
        const QString s = qt::ToShownQString(text);
        known = extents.widths.emplace(std::u16string(text), extents.metrics.horizontalAdvance(s)).first;
    }
    return TextSize{known->second, extents.metrics.height()};
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

bool ReadWindowPixel(WindowHandle window, Point client, Colour& colour)
{
    const qt::WindowRecord* record = qt::FindRecord(window);
    QWidget* widget = record ? qt::WidgetOf(*record) : nullptr;
    if (!widget) return false;
    if (client.x < 0 || client.y < 0 || client.x >= widget->width() || client.y >= widget->height())
        return false;
    // Grabbing paints the window into an image through its own paint
    // handling. On a scaled screen the image holds every device pixel of the
    // point, which must all show the one colour.
    const QImage image = widget->grab(QRect(client.x, client.y, 1, 1)).toImage();
    if (image.isNull()) return false;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first) return false;
    colour = FromQRgb(first);
    return true;
}

}  // namespace platform
