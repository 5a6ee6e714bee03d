// PLACEHOLDER until the Qt editor control lands: the editor and input-method
// calls answer as a desktop without them would (no editor is made, no
// conversion mode can be set, no composition is delivered), so that the Qt
// targets link. The Qt editor replaces this whole file.
#include "platform/editor.h"
#include "platform/ime.h"
#include "platform/inspect.h"
#include "platform/window.h"

namespace platform {

WindowHandle CreateEditorControl(WindowHandle, int, Rect, FontHandle) { return 0; }
WindowHandle GetParentWindow(WindowHandle) { return 0; }
bool MoveChildWindow(WindowHandle, Rect, bool) { return false; }

Rect GetClientRect(WindowHandle window)
{
    const Rect r = GetWindowBounds(window);
    return Rect{0, 0, r.Width(), r.Height()};
}

WindowProcFn SetWindowProcedure(WindowHandle, WindowProcFn) { return nullptr; }

LResult CallWindowProcedure(WindowProcFn proc, WindowHandle window, std::uint32_t message, WParam wParam,
                            LParam lParam)
{
    return proc == nullptr ? 0 : proc(window, message, wParam, lParam);
}

void SetEditorText(WindowHandle, std::u16string_view) {}
std::u16string GetEditorText(WindowHandle) { return {}; }
std::int32_t GetEditorTextLength(WindowHandle) { return 0; }
bool IsEditorModified(WindowHandle) { return false; }
TextSelection GetEditorSelection(WindowHandle) { return {}; }
std::int32_t GetEditorCaretLine(WindowHandle) { return 0; }
Point GetEditorCaretPosition(WindowHandle) { return {}; }
bool EditorCanUndo(WindowHandle) { return false; }

bool SetInputConversion(WindowHandle, Conversion) { return false; }
std::optional<std::u16string> GetCompositionResult(WindowHandle) { return std::nullopt; }
void DeliverComposition(WindowHandle, std::u16string_view) {}

}  // namespace platform
