// The dotted outline that follows a dragged note, drawn over the whole
// screen in exclusive-or mode. On X11 without a compositing manager it is
// drawn straight onto the root window (over every window) with an XOR GC;
// with a compositor (where such drawing would not show) or off X11,
// frameless, input-transparent windows, one per side, stand in for it.
// Drawing the same rectangle a second time removes it in both cases.
#include <QBrush>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <array>
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

// A compositor shows what a window draws only from some moment after the
// window is mapped, which the program cannot see and which comes later on a
// busy machine; what was drawn before it stays unseen until the next change.
// So while a side stands it paints itself again this often.
constexpr int kRepaintWhileShownMs = 100;

// One side of the stand-in outline: a window one pixel thick, white with
// black dots on every other screen pixel. The outline is four of them rather
// than one window cut to a ring, because a compositor that casts shadows
// shadows a window's whole rectangle, which turned the ring into a dark box.
class OutlineSide : public QWidget {
public:
    OutlineSide()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput | Qt::X11BypassWindowManagerHint)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_QuitOnClose, false);
        // Compositors give tooltips a shadow and some transparency, and mostly
        // leave the outline of a drag alone.
        x11::SetWindowType(*this, "_NET_WM_WINDOW_TYPE_DND");
        repaint_.setInterval(kRepaintWhileShownMs);
        QObject::connect(&repaint_, &QTimer::timeout, this, [this] { update(); });
    }

    void ShowAt(const QRect& r)
    {
        if (r.isEmpty()) {
            hide();
            return;
        }
        setGeometry(r);
        show();
        update();
        if (!repaint_.isActive()) repaint_.start();
    }

protected:
    void hideEvent(QHideEvent*) override { repaint_.stop(); }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        // The dots keep to the screen's grid wherever the side stands.
        painter.setBrushOrigin(-pos());
        painter.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
    }

private:
    QTimer repaint_;
};

struct OutlineState {
    std::vector<Rect> drawn;  // rectangles drawn an odd number of times
    bool onRoot = false;      // the mode chosen when the first one was drawn
    std::array<OutlineSide*, 4> sides{};
};

OutlineState& State()
{
    static OutlineState state;  // its windows are never deleted: they outlive nothing of Qt's
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

// The stand-in shows the rectangle drawn last: its top and bottom rows, and
// its left and right columns between them.
void ShowStandIn(OutlineState& state)
{
    for (OutlineSide*& side : state.sides)
        if (!side) side = new OutlineSide;
    if (state.drawn.empty()) {
        for (OutlineSide* side : state.sides) side->hide();
        return;
    }
    const QRect r = ToQRect(state.drawn.back());
    state.sides[0]->ShowAt(QRect(r.left(), r.top(), r.width(), 1));
    state.sides[1]->ShowAt(QRect(r.left(), r.bottom(), r.width(), r.height() > 1 ? 1 : 0));
    state.sides[2]->ShowAt(QRect(r.left(), r.top() + 1, 1, r.height() - 2));
    state.sides[3]->ShowAt(QRect(r.right(), r.top() + 1, r.width() > 1 ? 1 : 0, r.height() - 2));
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
