// The input method per window on Qt. Only the editor takes text from an
// input method, so only an editor has an input context: a note's widget
// keeps Qt's input method switched off, and the calls report failure for it.
//
// Open and closed belong to the framework's input context that has the
// focus, so the program's wish for an editor is kept here and handed to the
// framework while the editor has the keyboard and the framework has focused
// its input context: at once, or when that next happens. A window's input
// context may be made only when the window first takes the focus, and the
// framework learns of it a moment later; a request made before would reach
// the context focused before. Until then, and whenever the framework cannot
// tell, the wish is the answer to "is it open".
#include "platform/ime.h"

#include <QTimer>

#include "platform/qt/qt_editor_widget.h"
#include "platform/qt/qt_ime_framework.h"
#include "platform/qt/qt_windows.h"

namespace platform::qt {
namespace {

EditorWidget* InputContextOf(const WindowRecord* record)
{
    return record ? dynamic_cast<EditorWidget*>(record->child.data()) : nullptr;
}

std::optional<std::u16string> NonEmpty(const QString& text)
{
    return text.isEmpty() ? std::nullopt : std::optional(text.toStdU16String());
}

bool HasKeyboard(const QWidget& widget) { return widget.hasFocus() && widget.isActiveWindow(); }

// How long a framework that reports the focus may take to report it before
// the wish is handed over all the same.
constexpr int kFocusReportWaitMs = 1000;

bool HandOver(WindowRecord& record)
{
    record.imePending = false;
    return ime::SetOpen(ime::InUse(), record.imeOpen);
}

// The framework acts on the editor's input context from now on.
void ContextFocused(WindowHandle editor)
{
    WindowRecord* record = FindRecord(editor);
    const EditorWidget* widget = InputContextOf(record);
    if (!widget || record->imeFocused || !HasKeyboard(*widget))
        return;
    record->imeFocused = true;
    if (record->imePending)
        HandOver(*record);
}

// Whether the framework reports when the program's input contexts take the
// focus; such a report is about the window that has the keyboard.
bool ReportsFocus()
{
    static const bool reports = ime::WatchFocus(ime::InUse(), [] { ContextFocused(focusWindow); });
    return reports;
}

}  // namespace

// Without reports, the framework learns of the focus from Qt's input context
// once the focus change is complete: the wish follows it from the loop.
void OnEditorTookKeyboard(WindowHandle editor)
{
    if (WindowRecord* record = FindRecord(editor))
        record->imeFocused = false;
    QTimer::singleShot(ReportsFocus() ? kFocusReportWaitMs : 0, [editor] { ContextFocused(editor); });
}

void ForgetInputMethod(const WindowRecord& record)
{
    if (InputContextOf(&record))
        ime::GiveBack(ime::InUse());
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
    return HasKeyboard(*widget) && record->imeFocused ? HandOver(*record) : true;
}

bool IsInputMethodOpen(WindowHandle window)
{
    const WindowRecord* record = FindRecord(window);
    const EditorWidget* widget = InputContextOf(record);
    const ime::Framework framework = ime::InUse();
    if (!widget || framework == ime::Framework::None)
        return false;
    // The user may have opened or closed it with the framework's own key.
    if (!record->imePending && record->imeFocused && HasKeyboard(*widget)) {
        if (const std::optional<bool> open = ime::IsOpen(framework))
            return *open;
    }
    return record->imeOpen;
}

// The engine's conversion mode is the user's setting, shared by every
// program: the editor borrows it, and its end gives it back.
bool SetInputConversion(WindowHandle window, Conversion conversion)
{
    return InputContextOf(FindRecord(window)) && ime::SetConversion(ime::Answering(), conversion);
}

std::optional<std::u16string> GetCompositionResult(WindowHandle window)
{
    const EditorWidget* widget = InputContextOf(FindRecord(window));
    return NonEmpty(widget ? widget->CompositionInFlight() : QString());
}

std::optional<std::u16string> GetComposingText(WindowHandle window)
{
    const EditorWidget* widget = InputContextOf(FindRecord(window));
    return NonEmpty(widget ? widget->ComposingInFlight() : QString());
}

}  // namespace platform
