// The program's windows on Qt: the widget that stands for each handle, the
// table that maps handles to windows with the state the program asks about
// (logical visibility, recorded bounds, z band and rank), and the paint
// contexts that live while a window paints.
//
// Internal to the Qt backend; the rest of the program sees platform/window.h.
#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/shared/window_state.h"
#include "platform/timer.h"
#include "platform/window.h"

class QFocusEvent;
class QPainter;

namespace platform::qt {

class AppWindow;

struct WindowRecord {
    WindowHandle handle = 0;
    std::u16string className;
    std::u16string title;
    std::uint32_t classStyle = 0;
    WindowProcFn proc = nullptr;
    QPointer<AppWindow> widget;  // a top-level window's widget
    QPointer<QWidget> dialog;    // instead of `widget`, for a dialog of RunModalDialog
    WindowHandle parent = 0;     // a child window's parent; 0 for a top-level window
    QPointer<QWidget> child;     // a child window's widget, inside its parent's
    Rect bounds;            // what the program last set or the desktop last reported (a child's: in its parent)
    bool shown = false;     // the program's view; an off-screen window stays unmapped
    ZBand band = ZBand::Normal;
    std::int64_t stamp = 0;  // larger is nearer the front of its band
    bool skipErase = false;  // the pending repaint was asked for without erase
    bool updatePending = false;
    bool placing = false;    // mapped, and not yet seen on the screen where the window manager put it
    // Where the window manager last said the window's corner lies (a
    // synthetic configure notification), since the program showed or moved it.
    std::optional<Point> desktopCorner;
    // Shown, and neither mapped by the window manager nor given its WM_STATE
    // yet: Qt need not read the window's states back until then (qt_x11.cpp).
    bool statesBeforeMap = false;
    bool imeOpen = false;     // an editor's input method as the program last asked for it
    bool imePending = false;  // ... not yet handed to the framework (the editor lacked the keyboard)
    bool imeFocused = false;  // the framework acts on the editor's input context (it had the word)
    bool destroying = false;
    // The window manager's side of a shown window: whether it has mapped the
    // window since the program last showed it, whether it had mapped it
    // before, and the band written onto the window for it to read at the map.
    bool mappedByDesktop = false;
    bool mappedBefore = false;
    ZBand bandAtShow = ZBand::Normal;
};

// The frameless top-level widget of one program window. It turns Qt's events
// into the window's messages.
class AppWindow : public QWidget {
public:
    explicit AppWindow(WindowHandle handle);
    WindowHandle Handle() const { return handle_; }
    void Forget() { handle_ = 0; }
    // The desktop moved or resized the window (or confirmed the program's
    // own move): take its word, and tell the window when the rectangle changed.
    void ReportGeometry(bool fromDesktop);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    WindowHandle handle_;
};

// Destroys the child windows of a window that is being destroyed: each hears
// wm::Destroy and leaves the table (its widget goes with its parent's).
void DestroyChildWindows(WindowHandle parent);

// An editor took the keyboard: an input-method state asked for while it did
// not have it goes to the framework once the framework has focused the
// editor's input context.
void OnEditorTookKeyboard(WindowHandle editor);

// A window goes: a conversion mode its editor set gives way to the user's.
void ForgetInputMethod(const WindowRecord& record);

// Gives up the hotkeys a window registered; its end ends them.
void ForgetHotkeys(WindowHandle window);

// The window with the keyboard focus as the program last knew it.
extern WindowHandle focusWindow;
// The same while it lives, and the window holding the pointer capture; 0
// for none.
WindowHandle KeyboardFocus();
WindowHandle PointerCapture();

// A window's widget gained or lost Qt's keyboard focus: the program's view
// follows and the window hears wm::SetFocus or wm::KillFocus. A popup menu
// only borrows the keyboard; the focus stays where it was.
void ReportFocusIn(WindowHandle window);
void ReportFocusOut(WindowHandle window, const QFocusEvent& event);

// Makes a window the active one in the program's view and sends the
// deactivation and activation messages at once, the old window first. The
// desktop's own activation, which arrives later, then changes nothing.
void SetActiveWindow(WindowHandle window, std::uint32_t how);
void ForgetActiveWindow(WindowHandle window);

WindowRecord* FindRecord(WindowHandle window);

// Where a top-level window stands on the desktop for the program's bounds:
// the same, except that it never reaches past the work area's right and
// bottom edges (a window past them the window manager would move). Its
// bounds in the program keep their whole size. RefreshNativeBounds gives
// every window its place again when the work area changes.
Rect NativeBounds(const Rect& bounds);
void RefreshNativeBounds();
// A child's widget geometry for its bounds, cut to the part of its parent
// that NativeBounds leaves; PlaceChildWidgets applies it to every child of
// a window whose place on the desktop changed.
QRect NativeChildGeometry(const WindowRecord& child);
void PlaceChildWidgets(WindowHandle parent);

// Enters a dialog of RunModalDialog in the table: a window that its
// procedure serves, of the class "dialog", standing where `dialog` stands.
// The caller owns the widget; destroying the window removes only the entry.
WindowHandle AddDialogRecord(QWidget& dialog, const std::u16string& title, Rect bounds, WindowProcFn proc);
// A handle never given out before in this run, and entering a window made
// with it into the table.
WindowHandle NewWindowHandle();
void AddRecord(std::unique_ptr<WindowRecord> record);
// The widget that stands for a window: a top-level window's own, or a child's.
QWidget* WidgetOf(const WindowRecord& record);
const std::map<WindowHandle, std::unique_ptr<WindowRecord>>& AllRecords();

// The program window a widget belongs to (its top-level), or 0.
WindowHandle HandleOfWidget(const QWidget* widget);

// Moves a window to the front (or back) of its z band in the recorded order.
void RaiseInBand(WindowRecord& record);
void LowerInBand(WindowRecord& record);

// Maps or unmaps the widget so that it is on the desktop exactly when the
// program shows it and it overlaps a screen.
void SyncNativeVisibility(WindowRecord& record, bool activate);

// Asks the desktop to make the window active. The requests made before the
// event loop next turns come to one, for the window asked for last: the
// desktop raises and focuses each window it activates, work that grows with
// the number of windows, so restoring many notes (each shown with
// activation) must not have it activate every one in turn.
void RequestActivation(WindowHandle window);

// True when the window is the one the program showed last and the window
// manager has not mapped it yet: the map will put it in front of its band.
bool AwaitsFirstPlaceInFront(const WindowRecord& record);

// The window manager mapped the window: true when the states written onto
// it before the map may not be the ones it holds now (it was mapped before,
// and the manager forgets them on an unmap, or its band changed since).
bool NoteMappedByDesktop(WindowRecord& record);

// True while a window the program shows is mapped but the desktop has not
// yet exposed it (so it cannot paint yet).
bool AnyWindowAwaitingExposure();

// Restacks the native window where the platform can (the offscreen platform
// of the tests cannot).
void RaiseNative(QWidget& widget);
void LowerNative(QWidget& widget);

// The end of the program from outside: the signal handlers go in first
// thing, and the Qt loop watches for their word once QApplication exists.
void InstallSessionEndSignals();
void WatchSessionEnd();

// Timers: a due timer posts its wm::Timer through the message queue with
// the serial of its arming; the queue delivers it only while that arming
// still runs (ClaimTimerMessage). A window's timers end with it.
void PostTimerMessage(WindowHandle window, std::uint32_t id, std::uint64_t serial);
// One turn of a loop run outside Qt's own: the posted messages pending now,
// then Qt's events. True while messages posted meanwhile still wait.
bool TurnMessageLoop();
bool ClaimTimerMessage(WindowHandle window, std::uint32_t id, std::uint64_t serial);
void ForgetWindowTimers(WindowHandle window);

// Paint contexts: valid from the start to the end of one paint.
DrawContext OpenPaintContext(QPainter& painter, WindowHandle window);
void ClosePaintContext(DrawContext context);
QPainter* PainterOf(DrawContext context);
WindowHandle WindowOfContext(DrawContext context);
DrawContext PaintContextOf(WindowHandle window);

inline Rect ToRect(const QRect& r) { return Rect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }
inline QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

}  // namespace platform::qt
