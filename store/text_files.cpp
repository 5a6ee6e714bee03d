// Note text files. Each save of a note's text writes a new file under the
// lowest free name before the old one is deleted, so a note saved again and
// again alternates between two names and never is without a whole file.
// Only bare names inside Data are ever written or deleted.
#include "store/text_files.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/files.h"
#include "platform/text.h"
#include "store/paths.h"

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

// The note file's path in Data, or empty for a name that could leave it.
std::u16string NoteFilePath(const std::u16string& name)
{
    std::u16string path;
    if (!IsBareFileName(name) || !JoinPath(path, dataFolder, name)) return {};
    return path;
}

// The text-file bytes of a text, up to the first NUL.
std::string TextFileBytes(const std::u16string& text)
{
    std::string bytes = platform::ToMultiByte(text);
    if (const std::size_t nul = bytes.find('\0'); nul != std::string::npos) bytes.resize(nul);
    return bytes;
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
        if (IsExistingFile(candidatePath)) continue;
        path = std::move(candidatePath);
        name = std::move(candidate);
        return 1;
    }
    return 0;
}

int WriteTextFile(const std::u16string& path, const std::u16string& text)
{
    return platform::WriteFileAtomically(path, TextFileBytes(text)) ? 1 : 0;
}

int SaveNoteText(platform::WindowHandle note)
{
    NoteRecord* found = FindNote(note);
    if (found == nullptr) return 0;
    NoteRecord& record = *found;
    if (!HasText(record)) return 0;
    std::u16string path, name;
    if (MakeNoteFileName(path, name) == 0 || WriteTextFile(path, *record.text) == 0) return 0;
    DeleteNoteFile(record.fileName);
    SetFieldText(record.fileName, name);
    return 1;
}

void ReplaceNoteText(NoteRecord& note, std::optional<std::u16string> newText)
{
    if (note.text) {
        note.text.reset();
        DeleteNoteFile(note.fileName);
    }
    note.text = std::move(newText);
}

void DeleteNoteFile(TextField<14>& fileName)
{
    const std::u16string path = NoteFilePath(FieldText(fileName));
    if (IsExistingFile(path)) platform::DeleteFileAt(path);
    SetFieldText(fileName, u"");
}

std::uint32_t GetFileLength(const std::u16string& path)
{
    if (path.empty()) return 0;
    const std::optional<std::uint64_t> size = platform::FileSize(path);
    return size ? static_cast<std::uint32_t>(*size & 0xFFFFFFFFu) : 0;
}
