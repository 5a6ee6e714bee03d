// The global data model: settings, the note table and the four global paths,
// with the table helpers and the look-ups from a window to its note.
#include "store/records.h"

#include <cstdio>
#include <new>
#include <stdexcept>

#include "platform/system.h"

NoteSettings noteSettings;
NoteTable noteTable;

std::u16string modulePath;
std::u16string appFolder;
std::u16string dataFolder;
std::u16string helpPath;

std::u16string StoredTimeNow()
{
    const platform::LocalTime t = platform::GetLocalTimeNow();
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    std::u16string wide;
    for (const char* p = text; *p != 0; ++p) wide.push_back(static_cast<char16_t>(*p));
    return wide;
}

bool AllocNoteTable()
{
    constexpr std::int32_t kInitialSlots = 4;
    try {
        noteTable.notes.assign(kInitialSlots, NoteRecord{});
    } catch (const std::bad_alloc&) {
        return false;
    }
    noteTable.count = 0;
    noteTable.capacity = kInitialSlots;
    return true;
}

bool GrowNoteTable(std::int32_t newCapacity)
{
    if (newCapacity < noteTable.capacity || newCapacity < 0) return false;
    try {
        noteTable.notes.resize(static_cast<std::size_t>(newCapacity));
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    noteTable.capacity = newCapacity;
    return true;
}

bool IsLiveIndex(std::int32_t index)
{
    return index >= 0 && index < noteTable.count &&
           static_cast<std::size_t>(index) < noteTable.notes.size();
}

std::int32_t FindNoteIndex(platform::WindowHandle window)
{
    std::int32_t i = 0;
    while (i < noteTable.count && noteTable.notes[i].window != window) ++i;
    return i;
}

NoteRecord* FindNote(platform::WindowHandle window)
{
    const std::int32_t index = FindNoteIndex(window);
    return IsLiveIndex(index) ? &noteTable.notes[index] : nullptr;
}

std::int32_t FindEditingNote()
{
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(noteTable.notes.size()); ++i) {
        const NoteRecord& note = noteTable.notes[i];
        if (note.window != 0 && note.editWindow != 0) return i;
    }
    return -1;
}
