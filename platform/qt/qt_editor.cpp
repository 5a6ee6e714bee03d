// The editor control on Qt: a child window of a note whose widget is an
// EditorWidget, entered in the window table like any window, with the
// control's own behaviour as its first window procedure. Also the window
// procedure swap and the child-window geometry the editor needs.
#include "platform/editor.h"

#include <QGuiApplication>

#include "platform/qt/qt_editor_widget.h"
#include "platform/qt/qt_font.h"
#include "platform/qt/qt_windows.h"

namespace platform::qt {
namespace {

EditorWidget* EditorOf(WindowHandle editor)
{
    const WindowRecord* record = FindRecord(editor);
    return record ? dynamic_cast<EditorWidget*>(record->child.data()) : nullptr;
}

LResult EditorOwnProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    if (EditorWidget* editor = EditorOf(window))
        return editor->OwnBehaviour(message, wParam, lParam);
    return DefaultWindowProc(window, message, wParam, lParam);
}

}  // namespace
}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

WindowHandle CreateEditorControl(WindowHandle parent, int, Rect bounds, FontHandle font)
{
    const WindowRecord* parentRecord = FindRecord(parent);
    if (!parentRecord || !parentRecord->widget || parentRecord->destroying)
        return 0;
    const QFont* chosen = font != 0 ? FontOf(font) : nullptr;
    auto record = std::make_unique<WindowRecord>();
    record->handle = NewWindowHandle();
    record->className = u"EDIT";
    record->proc = EditorOwnProc;
    record->parent = parent;
    record->shown = true;
    record->bounds = bounds;
    auto* widget = new EditorWidget(record->handle, parentRecord->widget, chosen ? *chosen : QGuiApplication::font());
    widget->setGeometry(NativeChildGeometry(*record));
    widget->show();
    record->child = widget;
    const WindowHandle handle = record->handle;
    AddRecord(std::move(record));
    return handle;
}

WindowHandle GetParentWindow(WindowHandle window)
{
    const WindowRecord* record = FindRecord(window);
    return record ? record->parent : 0;
}

bool MoveChildWindow(WindowHandle child, Rect bounds, bool repaint)
{
    WindowRecord* record = FindRecord(child);
    if (!record || !record->parent || !record->child)
        return false;
    record->bounds = bounds;
    record->child->setGeometry(NativeChildGeometry(*record));
    if (repaint)
        record->child->update();
    return true;
}

Rect GetClientRect(WindowHandle window)
{
    const WindowRecord* record = FindRecord(window);
    if (!record)
        return Rect{};
    if (record->parent && !record->child)
        return Rect{};
    return Rect{0, 0, record->bounds.Width(), record->bounds.Height()};
}

WindowProcFn SetWindowProcedure(WindowHandle window, WindowProcFn proc)
{
    WindowRecord* record = FindRecord(window);
    if (!record || !proc)
        return nullptr;
    const WindowProcFn old = record->proc;
    record->proc = proc;
    return old;
}

LResult CallWindowProcedure(WindowProcFn proc, WindowHandle window, std::uint32_t message, WParam wParam,
                            LParam lParam)
{
    return proc ? proc(window, message, wParam, lParam) : 0;
}

void SetEditorText(WindowHandle editor, std::u16string_view text)
{
    if (EditorWidget* widget = EditorOf(editor))
        widget->SetProgramText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

std::u16string GetEditorText(WindowHandle editor)
{
    const EditorWidget* widget = EditorOf(editor);
    return widget ? widget->CrLfText() : std::u16string();
}

bool IsEditorModified(WindowHandle editor)
{
    const EditorWidget* widget = EditorOf(editor);
    return widget && widget->IsModified();
}

TextSelection GetEditorSelection(WindowHandle editor)
{
    const EditorWidget* widget = EditorOf(editor);
    if (!widget)
        return TextSelection{};
    const QTextCursor cursor = widget->textCursor();
    return TextSelection{widget->ToCrLfPosition(cursor.selectionStart()),
                         widget->ToCrLfPosition(cursor.selectionEnd())};
}

std::int32_t GetEditorCaretLine(WindowHandle editor)
{
    const EditorWidget* widget = EditorOf(editor);
    if (!widget)
        return 0;
    // Each line before the caret's adds one more unit in the CR LF text
    // than in the document, where a line break is one separator.
    const int position = widget->textCursor().position();
    return widget->ToCrLfPosition(position) - position;
}

Point GetEditorCaretPosition(WindowHandle editor)
{
    const EditorWidget* widget = EditorOf(editor);
    if (!widget)
        return Point{};
    const QPoint corner = widget->cursorRect().topLeft();
    return Point{corner.x(), corner.y()};
}

bool EditorCanUndo(WindowHandle editor)
{
    const EditorWidget* widget = EditorOf(editor);
    return widget && widget->document()->isUndoAvailable();
}

}  // namespace platform
