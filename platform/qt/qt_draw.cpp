// Drawing on Qt: the program's drawing calls paint through the QPainter of
// the paint event in progress, with anti-aliasing off so that every pixel is
// exactly the colour asked for. Also text extents, whole-screen repainting,
// the arrow cursor and reading a window's pixels back (by grabbing it).
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QTextOption>

#include <functional>
#include <map>
#include <string>
#include <unordered_map>

#include "platform/draw.h"
#include "platform/inspect.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/qt_windows.h"
#include "platform/shared/line_raster.h"

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

// The desktop's line breaks are CR LF, CR or LF; Qt breaks at LF.
QString WithLineFeeds(std::u16string_view text)
{
    QString s = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar(u'\r'), QChar(u'\n'));
    return s;
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
    QPolygon points;
    for (const Point p : shared::LinePixels(from, to)) points << QPoint(p.x, p.y);
    painter->save();
    painter->setPen(QPen(ToQColor(colour), 0));  // cosmetic: one pixel whatever the transform
    painter->drawPoints(points);
    painter->restore();
}

void DrawTextInRect(DrawContext context, std::u16string_view text, Rect rect, Colour colour, FontHandle font)
{
    QPainter* painter = Painter(context);
    if (!painter || rect.Width() <= 0 || rect.Height() <= 0) return;
    painter->save();
    painter->setFont(FontOrDefault(font, painter->font()));
    painter->setPen(ToQColor(colour));
    painter->setBackgroundMode(Qt::TransparentMode);
    painter->setClipRect(qt::ToQRect(rect));
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(8.0 * QFontMetrics(painter->font()).averageCharWidth());
    // A QTextOption layout knows no mnemonics, so "&" is drawn as itself.
    painter->drawText(QRectF(qt::ToQRect(rect)), WithLineFeeds(text), option);
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
        const QString s = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
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
    // Grabbing paints the window into an image through its own paint handling.
    const QImage image = widget->grab(QRect(client.x, client.y, 1, 1)).toImage();
    if (image.isNull()) return false;
    colour = FromQRgb(image.pixel(0, 0));
    return true;
}

}  // namespace platform
