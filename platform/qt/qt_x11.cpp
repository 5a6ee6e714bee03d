// X11 services of the desktop backend, on Qt's own xcb connection: the
// window-manager states of the program's windows, the work area, and the
// native event filter (mapped and placed windows, grabbed hotkeys, the tray
// host).
//
// Nothing here waits on the X server for each window: at start-up with many
// notes, the window manager is busy taking them all on and every round trip
// waits behind its work. What the program needs to know comes with the
// events, or is read once and again on the change that concerns it.
#include "platform/qt/qt_x11.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QMetaObject>
#include <QScreen>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <xcb/xcb.h>

#include "platform/qt/qt_windows.h"

namespace platform::qt::x11 {
namespace {

QNativeInterface::QX11Application* Native()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app && app->display() && app->connection() ? app : nullptr;
}

xcb_atom_t Atom(const char* name)
{
    static std::map<std::string, xcb_atom_t> cache;
    const auto it = cache.find(name);
    if (it != cache.end())
        return it->second;
    xcb_connection_t* connection = Connection();
    const auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    cache[name] = atom;
    return atom;
}

std::vector<xcb_atom_t> StatesFor(ZBand band)
{
    std::vector<xcb_atom_t> states{Atom("_NET_WM_STATE_SKIP_TASKBAR"), Atom("_NET_WM_STATE_SKIP_PAGER")};
    if (band == ZBand::Topmost)
        states.push_back(Atom("_NET_WM_STATE_ABOVE"));
    if (band == ZBand::Bottom)
        states.push_back(Atom("_NET_WM_STATE_BELOW"));
    return states;
}

// The record of a program window by its X window (its top-level widget's).
WindowRecord* RecordOfNative(xcb_window_t window)
{
    auto* widget = dynamic_cast<AppWindow*>(QWidget::find(window));
    WindowRecord* record = widget ? FindRecord(widget->Handle()) : nullptr;
    return record && record->widget == widget ? record : nullptr;
}

// Screen coordinates of the X server (device pixels) in the program's.
Point Logical(std::int32_t x, std::int32_t y)
{
    const double ratio = DevicePixelRatio();
    return Point{static_cast<std::int32_t>(std::lround(x / ratio)), static_cast<std::int32_t>(std::lround(y / ratio))};
}

// The work area as last read from the root window; the event filter drops
// it when the window manager publishes a new one. Restoring many notes
// clamps each to the work area, and a round trip to the X server per note
// would make start-up wait on the server once for every note.
std::optional<std::optional<Rect>> cachedWorkArea;

std::optional<Rect> ReadWorkArea()
{
    xcb_connection_t* connection = Connection();
    const auto cookie = xcb_get_property(connection, 0, RootWindowId(), Atom("_NET_WORKAREA"),
                                         XCB_ATOM_CARDINAL, 0, 4);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 16)
        return std::nullopt;
    const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    // The window manager speaks in device pixels; the area shrinks to the
    // logical pixels wholly inside it.
    const double ratio = DevicePixelRatio();
    const auto left = static_cast<std::int32_t>(std::ceil(v[0] / ratio));
    const auto top = static_cast<std::int32_t>(std::ceil(v[1] / ratio));
    const auto right = static_cast<std::int32_t>(std::floor((v[0] + v[2]) / ratio));
    const auto bottom = static_cast<std::int32_t>(std::floor((v[1] + v[3]) / ratio));
    return Rect{left, top, right, bottom};
}

// _NET_WM_STATE actions of the window-manager protocol.
constexpr std::uint32_t kRemove = 0;
constexpr std::uint32_t kAdd = 1;

void SendStateChange(xcb_window_t window, std::uint32_t action, xcb_atom_t first, xcb_atom_t second)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = Atom("_NET_WM_STATE");
    event.data.data32[0] = action;
    event.data.data32[1] = first;
    event.data.data32[2] = second;
    event.data.data32[3] = 1;  // the request comes from an ordinary application
    xcb_send_event(Connection(), 0, RootWindowId(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

void AssertStates(xcb_window_t window, ZBand band)
{
    SendStateChange(window, kAdd, Atom("_NET_WM_STATE_SKIP_TASKBAR"), Atom("_NET_WM_STATE_SKIP_PAGER"));
    const xcb_atom_t above = Atom("_NET_WM_STATE_ABOVE");
    const xcb_atom_t below = Atom("_NET_WM_STATE_BELOW");
    SendStateChange(window, band == ZBand::Topmost ? kAdd : kRemove, above, XCB_ATOM_NONE);
    SendStateChange(window, band == ZBand::Bottom ? kAdd : kRemove, below, XCB_ATOM_NONE);
    xcb_flush(Connection());
}

// The window manager reads the states written onto a window when it maps
// it. It forgets them when the window is unmapped and may take a remap
// before it has seen them written again, and a band changed while the map
// was on its way may come too late: in those cases say them once more. A
// window mapped for the first time in the band it was shown in needs
// nothing, which spares restoring many notes three requests each, every one
// of which has the window manager rewrite the states and Qt read them back.
void OnMapped(xcb_window_t window)
{
    WindowRecord* record = RecordOfNative(window);
    if (!record)
        return;
    record->statesBeforeMap = false;
    if (NoteMappedByDesktop(*record))
        AssertStates(window, record->band);
}

// Until the window manager maps a window, every change of its _NET_WM_STATE
// is the program's own states written for the map, Qt's merge of them with
// its own, or the window manager's as it takes the window on, and Qt would
// read the property back after each: a round trip apiece, several per note
// at start-up. Qt reads the states whole when the window manager sets the
// window's WM_STATE, which it does when it maps the window, so these changes
// need not reach Qt. True for a change to keep from Qt.
bool IsStateChangeBeforeMap(const xcb_property_notify_event_t& change)
{
    static const xcb_atom_t netWmState = Atom("_NET_WM_STATE");
    static const xcb_atom_t wmState = Atom("WM_STATE");
    if (change.atom != netWmState && change.atom != wmState)
        return false;
    WindowRecord* record = RecordOfNative(change.window);
    if (!record || !record->statesBeforeMap)
        return false;
    if (change.atom == wmState)
        record->statesBeforeMap = false;
    return change.atom == netWmState && change.state == XCB_PROPERTY_NEW_VALUE;
}

// The window manager's word on where a window lies: a synthetic configure
// notification carries its corner in screen coordinates. (A real one, of a
// window inside the window manager's frame, is relative to the frame; Qt
// reads the place from the X server then.)
void OnConfigured(const xcb_configure_notify_event_t& event)
{
    if (!(event.response_type & 0x80))
        return;
    if (WindowRecord* record = RecordOfNative(event.window))
        record->desktopCorner = Logical(event.x, event.y);
}

// A window manager takes the window on (again, when one replaces another):
// until the window is exposed where it was placed, its place is in doubt.
void OnReparented(const xcb_reparent_notify_event_t& event)
{
    if (event.window != event.event || event.parent == RootWindowId())
        return;
    if (WindowRecord* record = RecordOfNative(event.window)) {
        record->placing = true;
        record->desktopCorner.reset();
    }
}

// The window of the tray host now running, whose end this client hears of.
xcb_window_t trayOwner = XCB_NONE;

xcb_atom_t TraySelection() { return Atom("_NET_SYSTEM_TRAY_S0"); }

// Finds the tray host's window and asks to hear of its end. The host may end
// between the two requests; the error that then comes back is dropped here
// rather than reported by Qt.
void FollowTrayOwner()
{
    xcb_connection_t* connection = Connection();
    const auto cookie = xcb_get_selection_owner(connection, TraySelection());
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
        xcb_get_selection_owner_reply(connection, cookie, nullptr), &std::free);
    trayOwner = reply ? reply->owner : xcb_window_t{XCB_NONE};
    if (trayOwner == XCB_NONE)
        return;
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    std::free(xcb_request_check(
        connection, xcb_change_window_attributes_checked(connection, trayOwner, XCB_CW_EVENT_MASK, &mask)));
}

void OnClientMessage(const xcb_client_message_event_t& message)
{
    if (message.format != 32 || message.type != Atom("MANAGER") || message.data.data32[1] != TraySelection())
        return;
    FollowTrayOwner();
    TrayHostChanged();
}

void OnDestroyed(xcb_window_t window)
{
    if (trayOwner == XCB_NONE || window != trayOwner)
        return;
    trayOwner = XCB_NONE;
    TrayHostChanged();
}

// A window just mapped is first exposed once the window manager has placed
// its frame: its place is settled (AppWindow::ReportGeometry). Qt hands on
// the moves it read from the events before this one only once the whole
// batch is read, and one of them may be the frame-relative corner of the
// reparenting: the place counts as settled after the event loop turns.
void OnExposed(xcb_window_t window)
{
    WindowRecord* record = RecordOfNative(window);
    if (!record || !record->placing)
        return;
    QMetaObject::invokeMethod(
        qApp,
        [window] {
            WindowRecord* exposed = RecordOfNative(window);
            if (!exposed || !exposed->placing)
                return;
            exposed->widget->ReportGeometry(true);
            if ((exposed = RecordOfNative(window)))
                exposed->placing = false;
        },
        Qt::QueuedConnection);
}

class EventFilter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        switch (event->response_type & 0x7F) {
        case XCB_MAP_NOTIFY:
            OnMapped(reinterpret_cast<const xcb_map_notify_event_t*>(event)->window);
            return false;
        case XCB_PROPERTY_NOTIFY: {
            const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            if (change->window == RootWindowId() && change->atom == Atom("_NET_WORKAREA")) {
                cachedWorkArea.reset();
                RefreshNativeBounds();
            }
            return IsStateChangeBeforeMap(*change);
        }
        case XCB_CONFIGURE_NOTIFY:
            OnConfigured(*reinterpret_cast<const xcb_configure_notify_event_t*>(event));
            return false;
        case XCB_REPARENT_NOTIFY:
            OnReparented(*reinterpret_cast<const xcb_reparent_notify_event_t*>(event));
            return false;
        case XCB_CLIENT_MESSAGE:
            OnClientMessage(*reinterpret_cast<const xcb_client_message_event_t*>(event));
            return false;
        case XCB_DESTROY_NOTIFY:
            OnDestroyed(reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window);
            return false;
        case XCB_EXPOSE:
            if (reinterpret_cast<const xcb_expose_event_t*>(event)->count == 0)
                OnExposed(reinterpret_cast<const xcb_expose_event_t*>(event)->window);
            return false;
        case XCB_KEY_PRESS:
        case XCB_KEY_RELEASE: {
            const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
            if (key->event != RootWindowId())
                return false;
            return HandleGrabbedKey((event->response_type & 0x7F) == XCB_KEY_PRESS, key->detail, key->state);
        }
        default:
            return false;
        }
    }
};

}  // namespace

bool Available() { return Native() != nullptr; }

xcb_connection_t* Connection()
{
    auto* native = Native();
    return native ? native->connection() : nullptr;
}

std::uint32_t RootWindowId()
{
    xcb_connection_t* connection = Connection();
    return connection ? xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root : 0;
}

void PrepareForMapping(QWidget& widget, ZBand band)
{
    if (!Available())
        return;
    const auto window = static_cast<xcb_window_t>(widget.winId());
    const std::vector<xcb_atom_t> states = StatesFor(band);
    xcb_change_property(Connection(), XCB_PROP_MODE_REPLACE, window, Atom("_NET_WM_STATE"),
                        XCB_ATOM_ATOM, 32, static_cast<std::uint32_t>(states.size()), states.data());
    xcb_flush(Connection());
}

void SetWindowType(QWidget& widget, const char* type)
{
    if (!Available())
        return;
    const xcb_atom_t value = Atom(type);
    xcb_change_property(Connection(), XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(widget.winId()),
                        Atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &value);
    xcb_flush(Connection());
}

void ApplyBand(QWidget& widget, ZBand band)
{
    if (Available() && widget.internalWinId())
        AssertStates(static_cast<xcb_window_t>(widget.internalWinId()), band);
}

std::optional<Rect> WorkArea()
{
    if (!Available())
        return std::nullopt;
    if (!cachedWorkArea)
        cachedWorkArea = ReadWorkArea();
    return *cachedWorkArea;
}

double DevicePixelRatio()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

void InstallEventFilter()
{
    if (!Available())
        return;
    static EventFilter filter;
    qGuiApp->installNativeEventFilter(&filter);
    FollowTrayOwner();
}

}  // namespace platform::qt::x11
