// The input method per window on Qt. Only the editor takes text from an
// input method, so only an editor has an input context: a note's widget
// keeps Qt's input method switched off, and the calls report failure for it.
//
// Open and closed belong to the framework's input context that has the
// focus, so the program's wish for an editor is kept here and handed to the
// framework while the editor has the keyboard: at once, or when it next
// takes the keyboard. Until then, and whenever the framework cannot tell,
// the wish is the answer to "is it open".
#include "platform/ime.h"
#include "platform/inspect.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QTimer>

#include "platform/qt/qt_editor_widget.h"
#include "platform/qt/qt_ime_framework.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/qt_windows.h"

namespace platform::qt {
namespace {

EditorWidget* InputContextOf(const WindowRecord* record)
{
    return record ? dynamic_cast<EditorWidget*>(record->child.data()) : nullptr;
}

bool HasKeyboard(const QWidget& widget) { return widget.hasFocus() && widget.isActiveWindow(); }

bool HandOver(WindowRecord& record)
{
    record.imePending = false;
    return ime::SetOpen(ime::InUse(), record.imeOpen);
}

}  // namespace

// The framework learns of the focus from Qt's input context once the focus
// change is complete; the wish follows it from the loop.
void OnEditorTookKeyboard(WindowHandle editor)
{
    QTimer::singleShot(0, [editor] {
        WindowRecord* record = FindRecord(editor);
        const EditorWidget* widget = InputContextOf(record);
        if (widget && record->imePending && HasKeyboard(*widget))
            HandOver(*record);
    });
}

}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

bool SetInputMethodOpen(WindowHandle window, bool open)
{
    WindowRecord* record = FindRecord(window);
    const EditorWidget* widget = InputContextOf(record);
    if (!widget || ime::Answering() == ime::Framework::None)
        return false;
    record->imeOpen = open;
    record->imePending = true;
    return HasKeyboard(*widget) ? HandOver(*record) : true;
}

bool IsInputMethodOpen(WindowHandle window)
{
    const WindowRecord* record = FindRecord(window);
    const EditorWidget* widget = InputContextOf(record);
    const ime::Framework framework = ime::InUse();
    if (!widget || framework == ime::Framework::None)
        return false;
    // The user may have opened or closed it with the framework's own key.
    if (!record->imePending && HasKeyboard(*widget)) {
        if (const std::optional<bool> open = ime::IsOpen(framework))
            return *open;
    }
    return record->imeOpen;
}

bool IsInputMethodAvailable() { return ime::Answering() != ime::Framework::None; }

bool SetInputConversion(WindowHandle window, Conversion conversion)
{
    return InputContextOf(FindRecord(window)) && ime::SetConversion(ime::Answering(), conversion);
}

std::optional<std::u16string> GetCompositionResult(WindowHandle window)
{
    const EditorWidget* widget = InputContextOf(FindRecord(window));
    const QString text = widget ? widget->CompositionInFlight() : QString();
    if (text.isEmpty())
        return std::nullopt;
    return text.toStdU16String();
}

}  // namespace platform

namespace platform {

// The composition enters as the desktop's input method gives one: a
// QInputMethodEvent carrying the finished text, sent to the widget.
void DeliverComposition(WindowHandle window, std::u16string_view text)
{
    const qt::WindowRecord* record = qt::FindRecord(window);
    QWidget* widget = record ? qt::WidgetOf(*record) : nullptr;
    if (!widget)
        return;
    QInputMethodEvent event;
    event.setCommitString(ToQString(text));
    QCoreApplication::sendEvent(widget, &event);
}

}  // namespace platform
