// Input-method status per window: the program's own flag, mirrored into
// whether Qt lets the input method compose text for the window.
#include "platform/ime.h"
#include "platform/qt/qt_windows.h"

namespace platform {
using namespace platform::qt;

bool SetInputMethodOpen(WindowHandle window, bool open)
{
    WindowRecord* record = FindRecord(window);
    if (!record)
        return false;
    record->imeOpen = open;
    if (record->widget)
        record->widget->setAttribute(Qt::WA_InputMethodEnabled, open);
    return true;
}

bool IsInputMethodOpen(WindowHandle window)
{
    const WindowRecord* record = FindRecord(window);
    return record && record->imeOpen;
}

}  // namespace platform
