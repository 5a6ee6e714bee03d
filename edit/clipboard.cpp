// Whole notes through the clipboard: a note's text copied out, and the
// clipboard's text taken into a note in place of its own.
#include "edit/clipboard.h"

#include "platform/clipboard.h"
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
    std::optional<std::u16string> copy = platform::GetClipboardText();
    if (!copy) return 0;
    ReplaceNoteText(*note, std::move(copy));
    return 1;
}
