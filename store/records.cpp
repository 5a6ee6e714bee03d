// The global data model: settings, the note table and the four global paths,
// with the table helpers that need no windows.
#include "store/records.h"

#include <new>
#include <stdexcept>

NoteSettings noteSettings;
NoteTable noteTable;

std::u16string modulePath;
std::u16string appFolder;
std::u16string dataFolder;
std::u16string helpPath;

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
