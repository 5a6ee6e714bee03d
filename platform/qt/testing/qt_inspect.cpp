// The Qt backend's answers to what tests ask (platform/testing/inspect.h):
// windows by class and title, where they stand in the z order, the keyboard
// focus and pointer capture, the pixels a window or a dialog's control
// shows, the editor's text length and whether an input-method framework
// answers. Built into platform_qt_testing, for test programs only.
#include <QImage>
#include <QWidget>

#include <algorithm>
#include <vector>

#include "platform/editor.h"
#include "platform/qt/qt_dialog_box.h"
#include "platform/qt/qt_ime_framework.h"
#include "platform/qt/qt_windows.h"
#include "platform/testing/inspect.h"

namespace platform {
using namespace platform::qt;

namespace {

Colour FromQRgb(QRgb rgb)
{
    return static_cast<Colour>(qRed(rgb)) | (static_cast<Colour>(qGreen(rgb)) << 8) |
           (static_cast<Colour>(qBlue(rgb)) << 16);
}

}  // namespace

WindowHandle FindAppWindow(const std::u16string& className, const std::u16string& title)
{
    for (const auto& [handle, record] : AllRecords()) {
        if (!record->destroying && record->className == className && record->title == title)
            return handle;
    }
    return 0;
}

ZBand GetZBand(WindowHandle window)
{
    const WindowRecord* record = FindRecord(window);
    return record ? record->band : ZBand::Normal;
}

int GetZRank(WindowHandle window)
{
    // Child windows stand inside their parents, not in the desktop's order.
    std::vector<const WindowRecord*> order;
    for (const auto& [handle, record] : AllRecords()) {
        if (!record->parent)
            order.push_back(record.get());
    }
    std::sort(order.begin(), order.end(), [](const WindowRecord* a, const WindowRecord* b) {
        if (a->band != b->band)
            return a->band < b->band;
        return a->stamp > b->stamp;
    });
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i]->handle == window)
            return static_cast<int>(i);
    }
    return -1;
}

WindowHandle GetKeyboardFocus() { return KeyboardFocus(); }
WindowHandle GetPointerCapture() { return PointerCapture(); }

bool ReadWindowPixel(WindowHandle window, Point client, Colour& colour)
{
    const WindowRecord* record = FindRecord(window);
    QWidget* widget = record ? WidgetOf(*record) : nullptr;
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

bool ReadControlPixel(WindowHandle dialog, int id, Point client, Colour& colour)
{
    QWidget* widget = FindWidget(dialog, id);
    if (!widget)
        return false;
    const auto* edit = dynamic_cast<EditControl*>(widget);
    const QRect area = edit ? edit->ClientArea() : widget->rect();
    if (client.x < 0 || client.y < 0 || client.x >= area.width() || client.y >= area.height())
        return false;
    const QImage image = widget->grab(QRect(area.left() + client.x, area.top() + client.y, 1, 1)).toImage();
    if (image.isNull())
        return false;
    colour = FromQRgb(image.pixel(0, 0));
    return true;
}

std::int32_t GetEditorTextLength(WindowHandle editor)
{
    return static_cast<std::int32_t>(GetEditorText(editor).size());
}

bool IsInputMethodAvailable() { return ime::Answering() != ime::Framework::None; }

}  // namespace platform
