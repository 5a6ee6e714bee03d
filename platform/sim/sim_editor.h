// The simulated editor control, shared by its two files: the text model
// (sim_editor.cpp, which also answers the platform's editor calls) and the
// control's own behaviour, its window procedure (sim_edit_control.cpp).
// Internal to the sim backend.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/sim/sim_world.h"

namespace sim::detail {

// The editor state of a window, or null when it is no editor.
EditorState* FindEditor(WindowHandle editor);

// Every line break of the text (CR LF, a lone LF, a lone CR) as CR LF.
std::u16string WithCrLf(std::u16string_view text);

// Lines of a CR LF text: the line a position lies on, and where that line
// starts and ends (before its CR LF).
std::int32_t LineOf(std::u16string_view text, std::int32_t position);
std::int32_t LineStart(std::u16string_view text, std::int32_t position);
std::int32_t LineEnd(std::u16string_view text, std::int32_t position);
// The start of the line with this index, clamped to the last line.
std::int32_t StartOfLine(std::u16string_view text, std::int32_t line);

// The caret's point in the control's client coordinates, and the text
// position nearest a client point, with the control's fixed-metric font.
platform::Point PointOfPosition(const EditorState& editor, std::int32_t position);
std::int32_t PositionAtPoint(const EditorState& editor, platform::Point point);

// The user's changes: each one can be undone and sets the modification
// flag. The inserted text's line breaks become CR LF.
void ReplaceSelection(EditorState& editor, std::u16string_view text);
bool UndoLastChange(EditorState& editor);

// The control's own window procedure: what it does with every message.
platform::LResult EditControlProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);

}  // namespace sim::detail
