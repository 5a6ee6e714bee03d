// Drawing on Qt: the program's drawing calls paint through the QPainter of
// the paint event in progress, with anti-aliasing off so that every pixel is
// exactly the colour asked for. Also text extents, whole-screen repainting,
// the arrow cursor and reading a window's pixels back (by grabbing it).
//
// Coordinates are Qt's logical pixels. On a screen scaled by 2 (HiDPI) a
// logical pixel is 2 x 2 device pixels, so lines are filled as logical
// pixels: a pen one device pixel wide would leave them dotted.
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTextOption>

#include <vector>

#include "platform/draw.h"
#include "platform/inspect.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/qt_windows.h"
#include "platform/shared/line_raster.h"

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
    const QFontMetrics metrics(FontOrDefault(font, QGuiApplication::font()));
    const QString s = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    return TextSize{metrics.horizontalAdvance(s), metrics.height()};
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
    if (!record || !record->widget) return false;
    if (client.x < 0 || client.y < 0 || client.x >= record->widget->width() || client.y >= record->widget->height())
        return false;
    // Grabbing paints the window into an image through its own paint
    // handling. On a scaled screen the image holds every device pixel of the
    // point, which must all show the one colour.
    const QImage image = record->widget->grab(QRect(client.x, client.y, 1, 1)).toImage();
    if (image.isNull()) return false;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first) return false;
    colour = FromQRgb(first);
    return true;
}

}  // namespace platform
