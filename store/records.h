// The data model: one record per note, the settings block, the table of
// notes and the four global paths. The records are plain values; their byte
// images in the data file are written and read field by field by
// store/record_codec.h, never by copying these structs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/font.h"
#include "platform/types.h"

inline constexpr int kRecordBytes = 256;
inline constexpr int kSettingsBytes = 164;
inline constexpr int kFontBytes = 92;
inline constexpr int kPathUnits = 260;  // every global path fits in this, terminator included

// Fixed-width UTF-16 field, NUL-terminated when shorter than the field. Bytes
// after the terminator are kept as they were read or left.
template <std::size_t N>
using TextField = std::array<char16_t, N>;

template <std::size_t N>
std::u16string FieldText(const TextField<N>& field)
{
    std::size_t n = 0;
    while (n < N && field[n] != 0) ++n;
    return std::u16string(field.data(), n);
}

// Copies text into the field, cut to fit with its terminator; the units after
// the terminator are left alone.
template <std::size_t N>
void SetFieldText(TextField<N>& field, std::u16string_view text)
{
    std::size_t n = std::min(text.size(), N - 1);
    for (std::size_t i = 0; i < n; ++i) field[i] = text[i];
    field[n] = 0;
}

// A note is either shown or hidden: `shown` holds one of these in every
// record in the table (a stored value other than 0 loads as shown). The
// values are also the show commands that make the window visible (show
// normally) or hide it.
inline constexpr std::int32_t kNoteHidden = 0;
inline constexpr std::int32_t kNoteShown = 1;

struct NoteRecord {
    platform::WindowHandle window = 0;      // live only; 0 on disk
    platform::WindowHandle editWindow = 0;  // live only; 0 on disk
    platform::Rect bounds{};
    std::int32_t zLevel = 0;  // -1 topmost, -2 normal, 1 bottom
    std::int32_t shown = 0;   // kNoteShown or kNoteHidden
    std::optional<std::u16string> text;  // live only; nullopt = no text
    TextField<14> fileName{};
    TextField<20> created{};
    platform::FontDescription font{};
    platform::FontHandle fontHandle = 0;  // live only; 0 on disk
    std::uint32_t textColor = 0;  // 0x00BBGGRR
    std::uint32_t backColor = 0;
    std::int32_t fixed = 0;
    std::array<std::int32_t, 4> reserved{};
    TextField<14> reservedText{};
    // Live only: the text is newer than the file the record names (its
    // write failed, or the file is another record's too); the next save of
    // the data file writes it first (store/text_files.h).
    bool textUnsaved = false;
    // Only in the notes as last shared with other computers
    // (store/data_file.h): a long text kept as its digest instead of a
    // second copy.
    std::optional<std::uint64_t> textDigest;
};

// A note "has text" when its text is there and not empty; only such a text
// is written to a file, logged, copied or cut.
inline bool HasText(const NoteRecord& note) { return note.text && !note.text->empty(); }

struct NoteSettings {
    TextField<2> hotkeyKey{};
    std::int32_t hotkeyAlt = 0;
    std::int32_t hotkeyCtrl = 0;
    std::int32_t hotkeyShift = 0;
    std::int32_t trayIcon = 0;
    platform::FontDescription defaultFont{};
    std::int32_t editGesture = 0;
    std::int32_t inputMode = 0;
    std::array<std::uint8_t, 44> reserved{};
};

// The table of notes. `notes` holds `capacity` slots; an empty vector stands
// for "no table" (before the allocation and after it is freed). Slots below
// `count` are live notes with windows; slots from `count` below
// `pendingCount` were loaded from the data file and wait for their windows.
struct NoteTable {
    std::vector<NoteRecord> notes;
    std::int32_t count = 0;
    std::int32_t pendingCount = 0;
    std::int32_t capacity = 0;
};

extern NoteSettings noteSettings;
extern NoteTable noteTable;

extern std::u16string modulePath;
extern std::u16string appFolder;
extern std::u16string dataFolder;
extern std::u16string helpPath;

// The local time now as the notes store times: "YYYY/MM/DD hh:mm:ss".
std::u16string StoredTimeNow();

// The table helpers that do not need windows.
bool AllocNoteTable();                // count 0, capacity 4, zero-filled slots
bool GrowNoteTable(std::int32_t newCapacity);  // keeps records, new slots zero
bool IsLiveIndex(std::int32_t index);  // 0 <= index < count

// The look-ups from a window to its note. A window handle is only a number
// here; an index is valid until the next removal shifts the table.

// Index of the live note with this window, or `count` when there is none.
std::int32_t FindNoteIndex(platform::WindowHandle window);

// The live note with this window, or nullptr (the main window, or a note
// whose window is still being made).
NoteRecord* FindNote(platform::WindowHandle window);

// Index of the first note whose editor is open, or -1.
std::int32_t FindEditingNote();
