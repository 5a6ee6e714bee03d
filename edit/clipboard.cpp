// Whole notes through the clipboard: a note's text copied out, and the
// clipboard's text taken into a note in place of its own. The clipboard is
// shared with other programs and reached afresh for every operation.
#include "edit/clipboard.h"

#include <new>

#include "platform/clipboard.h"
#include "platform/memory.h"
#include "store/records.h"
#include "store/text_files.h"

int CopyNoteToClipboard(platform::WindowHandle window)
{
    const NoteRecord* note = FindNote(window);
    if (note == nullptr || !HasText(*note)) return 0;
    return platform::SetClipboardText(*note->text) ? 1 : 0;
}

int PasteNoteFromClipboard(platform::WindowHandle window)
{
    NoteRecord* note = FindNote(window);
    if (note == nullptr) return 0;
    // No memory for the text is the command's to tell (std::bad_alloc).
    std::optional<std::u16string> copy = platform::GetClipboardText();
    if (!copy) return 0;
    if (!platform::HasRoomToLayOut(*copy)) throw std::bad_alloc();
    ReplaceNoteText(*note, std::move(copy));
    return 1;
}

std::optional<std::u16string> GetClipboardText()
{
    try {
        return platform::GetClipboardText();
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool ClipboardHasText()
{
    const std::optional<std::u16string> text = GetClipboardText();
    return text && !text->empty();
}
