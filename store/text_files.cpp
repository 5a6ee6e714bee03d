// Note text files. A text is written to a fresh file before anything names
// it (staged here, committed by the disk writer before any later data
// file), and a file that held an old text is only retired: it is deleted
// once the next save of the data file that no longer names it is on disk. Only note file
// names inside Data are ever written or deleted.
#include "store/text_files.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>
#include <string_view>

#include "platform/files.h"
#include "platform/text.h"
#include "store/paths.h"
#include "store/save_trouble.h"
#include "store/save_writer.h"

std::vector<std::u16string> retiredNoteFiles;

namespace {

constexpr int kNoteFileNumbers = 100000;
constexpr std::u16string_view kNotePrefix = u"VLM";
constexpr std::u16string_view kNoteSuffix = u".txt";
constexpr std::size_t kNoteDigits = 5;

std::u16string NoteFileName(int number)
{
    char name[16];
    std::snprintf(name, sizeof name, "VLM%05d.txt", number);
    return platform::FromUtf8(name);
}

// The note file's path in Data, or empty for any other name.
std::u16string NoteFilePath(const std::u16string& name)
{
    std::u16string path;
    if (!IsNoteFileName(name) || !JoinPath(path, dataFolder, name)) return {};
    return path;
}

// Every slot that holds a record: the live notes and those still waiting
// for their windows.
std::int32_t RecordSlots()
{
    const std::int32_t used = std::max(noteTable.count, noteTable.pendingCount);
    return std::clamp<std::int32_t>(used, 0, static_cast<std::int32_t>(noteTable.notes.size()));
}

bool IsNamedByARecord(const std::u16string& name)
{
    for (std::int32_t i = 0; i < RecordSlots(); ++i)
        if (FieldText(noteTable.notes[i].fileName) == name) return true;
    return false;
}

void Retire(const std::u16string& name)
{
    if (!IsNoteFileName(name)) return;
    if (std::find(retiredNoteFiles.begin(), retiredNoteFiles.end(), name) == retiredNoteFiles.end())
        retiredNoteFiles.push_back(name);
}


// Writes the note's text to a fresh file; a note without text gets no file.
// The old file is retired when the note had read it (a file it never read
// is left in place). False when the text could not be written.
bool StoreNoteText(NoteRecord& note, bool oldFileRead)
{
    const std::u16string oldName = FieldText(note.fileName);
    std::u16string path, name;
    // The new file succeeds the old one, and keeps the mode the user gave it.
    std::optional<platform::StagedFile> staged;
    if (HasText(note) &&
        (MakeNoteFileName(path, name) == 0 ||
         !(staged = platform::StageFileReplacement(path, platform::ToTextFile(*note.text), NoteFilePath(oldName))))) {
        note.textUnsaved = true;
        ReportSaveFailure();
        return false;
    }
    if (staged) HandOverNoteText(std::move(*staged));
    if (oldFileRead) Retire(oldName);
    SetFieldText(note.fileName, name);
    note.textUnsaved = false;
    return true;
}

}  // namespace

bool IsNoteFileName(const std::u16string& name)
{
    const std::size_t size = kNotePrefix.size() + kNoteDigits + kNoteSuffix.size();
    if (name.size() != size || !name.starts_with(kNotePrefix) || !name.ends_with(kNoteSuffix)) return false;
    const std::u16string_view digits = std::u16string_view(name).substr(kNotePrefix.size(), kNoteDigits);
    return std::all_of(digits.begin(), digits.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

int MakeNoteFileName(std::u16string& path, std::u16string& name)
{
    for (int number = 0; number < kNoteFileNumbers; ++number) {
        std::u16string candidate = NoteFileName(number);
        std::u16string candidatePath = NoteFilePath(candidate);
        if (candidatePath.empty()) return 0;
        if (IsNamedByARecord(candidate) || platform::IsNameTaken(candidatePath) || IsBeingWritten(candidatePath))
            continue;
        path = std::move(candidatePath);
        name = std::move(candidate);
        return 1;
    }
    return 0;
}

int WriteTextFile(const std::u16string& path, const std::u16string& text)
{
    return platform::WriteFileAtomically(path, platform::ToTextFile(text)) ? 1 : 0;
}

int SaveNoteText(platform::WindowHandle note)
{
    NoteRecord* found = FindNote(note);
    if (found == nullptr || !HasText(*found)) return 0;
    return StoreNoteText(*found, true) ? 1 : 0;
}

bool ReplaceNoteText(NoteRecord& note, std::optional<std::u16string> newText)
{
    const bool oldFileRead = note.text.has_value();
    const TextField<14> oldFileName = note.fileName;
    const bool oldUnsaved = note.textUnsaved;
    note.text.swap(newText);
    if (!oldFileRead && !HasText(note)) return true;
    try {
        // The unread file stays where it is, but is no longer the note's.
        if (!oldFileRead) SetFieldText(note.fileName, u"");
        return StoreNoteText(note, oldFileRead);
    } catch (const std::bad_alloc&) {
        // Out of memory half-way: the note is left as it was.
        note.text.swap(newText);
        note.fileName = oldFileName;
        note.textUnsaved = oldUnsaved;
        throw;
    }
}

void RetireNoteFile(const NoteRecord& note)
{
    if (note.text.has_value()) Retire(FieldText(note.fileName));
}

bool WriteUnsavedNoteTexts()
{
    bool written = true;
    for (std::int32_t i = 0; i < noteTable.count; ++i) {
        NoteRecord& note = noteTable.notes[i];
        if (note.textUnsaved && !StoreNoteText(note, note.text.has_value())) written = false;
    }
    return written;
}

std::vector<std::u16string> TakeDeletableNoteFiles()
{
    std::vector<std::u16string> paths;
    std::erase_if(retiredNoteFiles, [&paths](const std::u16string& name) {
        if (IsNamedByARecord(name)) return false;
        paths.push_back(NoteFilePath(name));
        return true;
    });
    return paths;
}

void MarkNoteTextsUnwritten(const std::vector<std::u16string>& paths)
{
    for (std::int32_t i = 0; i < noteTable.count; ++i) {
        NoteRecord& note = noteTable.notes[i];
        const std::u16string path = NoteFilePath(FieldText(note.fileName));
        if (!path.empty() && std::find(paths.begin(), paths.end(), path) != paths.end()) note.textUnsaved = true;
    }
}

std::uint32_t GetFileLength(const std::u16string& path)
{
    if (path.empty()) return 0;
    const std::optional<std::uint64_t> size = platform::FileSize(path);
    return size ? static_cast<std::uint32_t>(*size & 0xFFFFFFFFu) : 0;
}
