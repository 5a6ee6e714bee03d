// The dotted outline that follows a dragged note, drawn over the whole
// screen in exclusive-or mode. On X11 without a compositing manager it is
// drawn straight onto the root window (over every window) with an XOR GC;
// with a compositor (where such drawing would not show) or off X11, a
// frameless, input-transparent outline window stands in for it. Drawing the
// same rectangle a second time removes it in both cases.
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <xcb/xcb.h>

#include "platform/draw.h"
#include "platform/qt/qt_windows.h"
#include "platform/qt/qt_x11.h"

namespace platform::qt {
namespace {

// A window that shows nothing but a one-pixel dotted ring.
class OutlineWindow : public QWidget {
public:
    OutlineWindow()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput | Qt::X11BypassWindowManagerHint)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_QuitOnClose, false);
    }

    void ShowAt(const Rect& r)
    {
        setGeometry(ToQRect(r));
        const QRect whole(0, 0, r.Width(), r.Height());
        setMask(QRegion(whole).subtracted(QRegion(whole.adjusted(1, 1, -1, -1))));
        show();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

struct OutlineState {
    std::vector<Rect> drawn;  // rectangles drawn an odd number of times
    bool onRoot = false;      // the mode chosen when the first one was drawn
    OutlineWindow* window = nullptr;
};

OutlineState& State()
{
    static OutlineState state;  // its window is never deleted: it outlives nothing of Qt's
    return state;
}

bool CompositorRunning()
{
    xcb_connection_t* connection = x11::Connection();
    const std::string name = "_NET_WM_CM_S0";
    auto atomCookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str());
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(connection, atomCookie, nullptr);
    if (!atom) return false;
    auto ownerCookie = xcb_get_selection_owner(connection, atom->atom);
    std::free(atom);
    xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(connection, ownerCookie, nullptr);
    const bool running = owner && owner->owner != XCB_NONE;
    std::free(owner);
    return running;
}

void XorOnRoot(const Rect& r)
{
    xcb_connection_t* connection = x11::Connection();
    const xcb_window_t root = x11::RootWindowId();
    const xcb_gcontext_t gc = xcb_generate_id(connection);
    const std::uint32_t values[] = {XCB_GX_XOR, 0x00FFFFFF, XCB_LINE_STYLE_ON_OFF_DASH,
                                    XCB_SUBWINDOW_MODE_INCLUDE_INFERIORS};
    xcb_create_gc(connection, gc, root,
                  XCB_GC_FUNCTION | XCB_GC_FOREGROUND | XCB_GC_LINE_STYLE | XCB_GC_SUBWINDOW_MODE, values);
    const std::uint8_t dashes[] = {1, 1};
    xcb_set_dashes(connection, gc, 0, 2, dashes);
    // The root window is in device pixels: on a scaled screen the logical
    // rectangle covers more of them. A rectangle of w x h pixels is outlined
    // by xcb as (w - 1) x (h - 1).
    const double ratio = x11::DevicePixelRatio();
    const auto device = [ratio](std::int32_t v) { return static_cast<std::int32_t>(std::lround(v * ratio)); };
    const xcb_rectangle_t rect{static_cast<std::int16_t>(device(r.left)), static_cast<std::int16_t>(device(r.top)),
                               static_cast<std::uint16_t>(std::max(device(r.Width()) - 1, 0)),
                               static_cast<std::uint16_t>(std::max(device(r.Height()) - 1, 0))};
    xcb_poly_rectangle(connection, root, gc, 1, &rect);
    xcb_free_gc(connection, gc);
    xcb_flush(connection);
}

void ShowStandIn(OutlineState& state)
{
    if (!state.window) state.window = new OutlineWindow;
    if (state.drawn.empty())
        state.window->hide();
    else
        state.window->ShowAt(state.drawn.back());
}

}  // namespace
}  // namespace platform::qt

namespace platform {

void DrawScreenFocusRect(Rect screenRect)
{
    using namespace platform::qt;
    if (screenRect.Width() <= 0 || screenRect.Height() <= 0) return;
    OutlineState& state = State();
    if (state.drawn.empty()) state.onRoot = x11::Available() && !CompositorRunning();
    const auto it = std::find(state.drawn.begin(), state.drawn.end(), screenRect);
    if (it != state.drawn.end())
        state.drawn.erase(it);
    else
        state.drawn.push_back(screenRect);
    if (state.onRoot)
        XorOnRoot(screenRect);
    else
        ShowStandIn(state);
}

}  // namespace platform
