// The window table: class registration, creation and destruction of the
// program's windows, lookup by handle, class and title, mapping the widgets
// when they are shown on a screen, and the paint contexts.
#include "platform/qt/qt_windows.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <utility>
#include <vector>

#include "platform/qt/qt_x11.h"

namespace platform::qt {
namespace {

struct WindowClass {
    std::uint32_t style = 0;
    WindowProcFn proc = nullptr;
};

std::map<std::u16string, WindowClass>& Classes()
{
    static std::map<std::u16string, WindowClass> classes;
    return classes;
}

std::map<WindowHandle, std::unique_ptr<WindowRecord>>& Table()
{
    // Never destroyed: Qt objects must not outlive Qt's own teardown at exit.
    static auto* table = new std::map<WindowHandle, std::unique_ptr<WindowRecord>>;
    return *table;
}

WindowHandle lastHandle = 0;
WindowHandle lastShown = 0;      // the window most recently handed to the desktop to map
WindowHandle activationDue = 0;  // the window to activate when the event loop next turns
std::int64_t frontStamp = 0;
std::int64_t backStamp = 0;

struct PaintContext {
    QPainter* painter = nullptr;
    WindowHandle window = 0;
};
std::map<DrawContext, PaintContext>& Contexts()
{
    static std::map<DrawContext, PaintContext> contexts;
    return contexts;
}
DrawContext lastContext = 0;

bool IsOnAnyScreen(const Rect& bounds)
{
    const QRect rect = ToQRect(bounds);
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(rect))
            return true;
    }
    return false;
}

}  // namespace

WindowRecord* FindRecord(WindowHandle window)
{
    const auto it = Table().find(window);
    return it == Table().end() ? nullptr : it->second.get();
}

const std::map<WindowHandle, std::unique_ptr<WindowRecord>>& AllRecords() { return Table(); }

WindowHandle NewWindowHandle() { return ++lastHandle; }

void AddRecord(std::unique_ptr<WindowRecord> record)
{
    const WindowHandle handle = record->handle;
    Table()[handle] = std::move(record);
}

QWidget* WidgetOf(const WindowRecord& record)
{
    if (record.widget)
        return record.widget;
    return record.child;
}

void DestroyChildWindows(WindowHandle parent)
{
    std::vector<WindowHandle> children;
    for (const auto& [handle, record] : Table()) {
        if (record->parent == parent)
            children.push_back(handle);
    }
    for (const WindowHandle child : children)
        DestroyAppWindow(child);
}

WindowHandle HandleOfWidget(const QWidget* widget)
{
    if (!widget)
        return 0;
    const auto* window = dynamic_cast<const AppWindow*>(widget->window());
    return window && FindRecord(window->Handle()) ? window->Handle() : 0;
}

void RaiseInBand(WindowRecord& record) { record.stamp = ++frontStamp; }
void LowerInBand(WindowRecord& record) { record.stamp = --backStamp; }

void SyncNativeVisibility(WindowRecord& record, bool activate)
{
    AppWindow* widget = record.widget;
    if (!widget)
        return;
    const bool wanted = record.shown && IsOnAnyScreen(record.bounds);
    if (wanted && !widget->isVisible()) {
        x11::PrepareForMapping(*widget, record.band);
        record.bandAtShow = record.band;
        // Only X11 tells when the window manager has mapped a window;
        // elsewhere a window counts as mapped once it is shown.
        record.mappedByDesktop = !x11::Available();
        lastShown = record.handle;
        record.placing = x11::Available();
        record.statesBeforeMap = x11::Available();
        record.desktopCorner.reset();
        // The window manager is never asked to activate a window at its map;
        // an activation comes as its own request, so that only the last of
        // many survives.
        widget->setAttribute(Qt::WA_ShowWithoutActivating, true);
        widget->show();
        if (activate)
            RequestActivation(record.handle);
    } else if (!wanted && widget->isVisible()) {
        widget->hide();
        record.mappedByDesktop = false;
    }
}

void RequestActivation(WindowHandle window)
{
    const bool queued = activationDue != 0;
    activationDue = window;
    if (queued)
        return;
    QMetaObject::invokeMethod(
        qApp,
        [] {
            const WindowRecord* record = FindRecord(std::exchange(activationDue, 0));
            AppWindow* widget = record ? record->widget.data() : nullptr;
            if (widget && record->shown && widget->isVisible())
                widget->activateWindow();
        },
        Qt::QueuedConnection);
}

bool AwaitsFirstPlaceInFront(const WindowRecord& record)
{
    return !record.mappedByDesktop && record.handle == lastShown && record.widget && record.widget->isVisible();
}

bool NoteMappedByDesktop(WindowRecord& record)
{
    const bool statesInDoubt = record.mappedBefore || record.band != record.bandAtShow;
    record.mappedByDesktop = true;
    record.mappedBefore = true;
    return statesInDoubt;
}

bool AnyWindowAwaitingExposure()
{
    for (const auto& [handle, record] : Table()) {
        const AppWindow* widget = record->widget;
        if (widget && widget->isVisible() && widget->windowHandle() && !widget->windowHandle()->isExposed())
            return true;
    }
    return false;
}

namespace {
bool CanRestack()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}
}  // namespace

void RaiseNative(QWidget& widget)
{
    if (CanRestack())
        widget.raise();
}

void LowerNative(QWidget& widget)
{
    if (CanRestack())
        widget.lower();
}

DrawContext OpenPaintContext(QPainter& painter, WindowHandle window)
{
    Contexts()[++lastContext] = PaintContext{&painter, window};
    return lastContext;
}

void ClosePaintContext(DrawContext context) { Contexts().erase(context); }

QPainter* PainterOf(DrawContext context)
{
    const auto it = Contexts().find(context);
    return it == Contexts().end() ? nullptr : it->second.painter;
}

WindowHandle WindowOfContext(DrawContext context)
{
    const auto it = Contexts().find(context);
    return it == Contexts().end() ? 0 : it->second.window;
}

DrawContext PaintContextOf(WindowHandle window)
{
    for (const auto& [context, paint] : Contexts()) {
        if (paint.window == window)
            return context;
    }
    return 0;
}

}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

bool RegisterWindowClass(const std::u16string& className, std::uint32_t classStyle, WindowProcFn proc)
{
    if (className.empty() || !proc)
        return false;
    return Classes().emplace(className, WindowClass{classStyle, proc}).second;
}

WindowHandle CreateAppWindow(const std::u16string& className, const std::u16string& title, Rect bounds)
{
    const auto cls = Classes().find(className);
    if (cls == Classes().end())
        return 0;
    auto record = std::make_unique<WindowRecord>();
    record->handle = NewWindowHandle();
    record->className = className;
    record->title = title;
    record->classStyle = cls->second.style;
    record->proc = cls->second.proc;
    record->bounds = bounds;
    RaiseInBand(*record);
    auto* widget = new AppWindow(record->handle);
    widget->setWindowTitle(QString::fromStdU16String(title));
    widget->setGeometry(ToQRect(NativeBounds(bounds)));
    record->widget = widget;
    const WindowHandle handle = record->handle;
    AddRecord(std::move(record));
    if (SendWindowMessage(handle, wm::Create, 0, 0) == -1) {
        DestroyAppWindow(handle);
        return 0;
    }
    return IsLiveWindow(handle) ? handle : 0;
}

}  // namespace platform

namespace platform::qt {

WindowHandle AddDialogRecord(QWidget& dialog, const std::u16string& title, Rect bounds, WindowProcFn proc)
{
    auto record = std::make_unique<WindowRecord>();
    record->handle = ++lastHandle;
    record->className = u"dialog";
    record->title = title;
    record->proc = proc;
    record->bounds = bounds;
    record->dialog = &dialog;
    record->shown = true;
    RaiseInBand(*record);
    const WindowHandle handle = record->handle;
    Table()[handle] = std::move(record);
    return handle;
}

}  // namespace platform::qt

namespace platform {

bool DestroyAppWindow(WindowHandle window)
{
    WindowRecord* record = FindRecord(window);
    if (!record || record->destroying)
        return false;
    record->destroying = true;
    if (PointerCapture() == window)
        ReleasePointer();
    ForgetActiveWindow(window);
    SendWindowMessage(window, wm::Destroy, 0, 0);
    DestroyChildWindows(window);
    ForgetHotkeys(window);
    ForgetInputMethod(*record);
    if (AppWindow* widget = record->widget) {
        widget->Forget();
        widget->hide();
        widget->deleteLater();  // the window may be inside one of its own event handlers
    } else if (QWidget* child = record->child) {
        child->hide();
        child->deleteLater();  // the same: a key it handles may end it
    }
    Table().erase(window);
    ForgetWindowTimers(window);
    return true;
}

bool IsLiveWindow(WindowHandle window) { return FindRecord(window) != nullptr; }

}  // namespace platform
