// The Qt backend's side of the tests' calls on the program's own dialogs
// (platform/testing/inspect.h): the open dialog, its dialog units, where
// its controls stand, which has the focus and whether one is enabled, and
// the mouse on a button, a list's item or the close box, each through the
// widget's own handling. Built into platform_qt_testing, for test programs
// only.
#include <QAbstractButton>
#include <QListWidget>

#include "platform/qt/qt_dialog_box.h"
#include "platform/testing/inspect.h"

namespace platform {
using namespace platform::qt;

WindowHandle GetOpenDialog() { return OpenDialogs().empty() ? 0 : OpenDialogs().back()->handle; }

DialogUnitsInPixels GetDialogBaseUnits(WindowHandle dialog)
{
    const DialogWindow* open = FindDialog(dialog);
    return open ? DialogUnitsInPixels{open->units.x, open->units.y} : DialogUnitsInPixels{};
}

Rect GetControlBounds(WindowHandle dialog, int id)
{
    const QWidget* widget = FindWidget(dialog, id);
    return widget ? ToRect(widget->geometry()) : Rect{};
}

std::optional<int> GetFocusedControl(WindowHandle dialog)
{
    const DialogWindow* open = FindDialog(dialog);
    const QWidget* focus = open ? open->focusWidget() : nullptr;
    if (!focus)
        return std::nullopt;
    for (const Control& control : open->controls) {
        if (control.widget && (control.widget == focus || control.widget->isAncestorOf(focus)))
            return control.id;
    }
    return std::nullopt;
}

bool IsControlEnabled(WindowHandle dialog, int id)
{
    const QWidget* widget = FindWidget(dialog, id);
    return widget && widget->isEnabled();
}

bool FocusControl(WindowHandle dialog, int id)
{
    QWidget* widget = FindWidget(dialog, id);
    if (!widget || !widget->isEnabled() || widget->focusPolicy() == Qt::NoFocus)
        return false;
    widget->setFocus(Qt::OtherFocusReason);
    return true;
}

int GetListCount(WindowHandle dialog, int id)
{
    const auto* list = FindControl<QListWidget>(dialog, id);
    return list ? list->count() : 0;
}

bool ClickControl(WindowHandle dialog, int id)
{
    auto* button = FindControl<QAbstractButton>(dialog, id);
    if (!button || !button->isEnabled())
        return false;
    button->click();
    return true;
}

bool ClickListItem(WindowHandle dialog, int id, int index)
{
    auto* list = FindControl<QListWidget>(dialog, id);
    if (!list || !list->isEnabled() || index < 0 || index >= list->count())
        return false;
    list->setCurrentRow(index);
    return true;
}

bool ClickCloseBox(WindowHandle dialog)
{
    DialogWindow* open = FindDialog(dialog);
    if (!open || open->ended)
        return false;
    open->close();
    return true;
}

}  // namespace platform
