// Fuzz target: the data-file loader on any bytes, as CeVlmDat.bin in Data
// beside a note file and a file outside Data that records may try to name.
//
// Invariants:
// - While the loader runs, every file it opens lies inside Data (each
//   open(2) of the process is seen here, before the C library's, and judged
//   with ".." resolved).
// - Records round-trip: each loaded record, encoded again, is the input's
//   256 bytes except what loading is meant to change: the four live fields
//   (written as 0), `shown` (any value but 0 loads as 1) and a file name
//   that is no note file's name (dropped). The settings block of a version-1
//   file round-trips whole.
// - The records loaded are the whole records present, at most the stored
//   count, none for a negative count.
#include <dlfcn.h>
#include <fcntl.h>

#include <array>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_folder.h"
#include "platform/text.h"
#include "store/data_file.h"
#include "store/record_codec.h"
#include "store/records.h"
#include "store/text_files.h"

namespace {

std::vector<std::string>* openedPaths = nullptr;

using OpenCall = int (*)(const char*, int, ...);

// Notes the path while the loader runs and hands the call to the C
// library's own function of that name.
int Forward(const char* symbol, const char* path, int flags, va_list args)
{
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
    if (openedPaths != nullptr) openedPaths->push_back(path != nullptr ? path : "");
    return reinterpret_cast<OpenCall>(::dlsym(RTLD_NEXT, symbol))(path, flags, mode);
}

}  // namespace

// The file layer opens files with open(2) (open64 where large-file names
// are asked for), so these two see every file the loader reads.
extern "C" int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const int fd = Forward("open", path, flags, args);
    va_end(args);
    return fd;
}

extern "C" int open64(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const int fd = Forward("open64", path, flags, args);
    va_end(args);
    return fd;
}

namespace {

constexpr std::size_t kHeaderBytes = 172;
constexpr std::size_t kShownAt = 28;
constexpr std::size_t kNameAt = 36;
constexpr std::size_t kNameBytes = 28;
constexpr std::array<std::size_t, 4> kLiveFields = {0, 4, 32, 196};  // window, editor, text, font object

std::uint32_t WordAt(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// What the record's 256 bytes become once loaded and encoded again.
std::array<std::uint8_t, kRecordBytes> ExpectedRecord(const std::uint8_t* stored)
{
    std::array<std::uint8_t, kRecordBytes> expected;
    std::memcpy(expected.data(), stored, kRecordBytes);
    for (std::size_t at : kLiveFields) std::memset(&expected[at], 0, 4);
    const bool shown = WordAt(&expected[kShownAt]) != 0;
    std::memset(&expected[kShownAt], 0, 4);
    expected[kShownAt] = shown ? 1 : 0;
    std::u16string name;
    for (std::size_t i = 0; i < kNameBytes; i += 2) {
        const auto unit = static_cast<char16_t>(expected[kNameAt + i] | expected[kNameAt + i + 1] << 8);
        if (unit == 0) break;
        name += unit;
    }
    if (!name.empty() && !IsNoteFileName(name)) std::memset(&expected[kNameAt], 0, kNameBytes);
    return expected;
}

void PrepareFolder(const std::string& folder)
{
    fuzz::WriteFile(folder + "/Data/VLM00001.txt", "a note's own text");
    fuzz::WriteFile(folder + "/outside.txt", "must never be read");
    fuzz::WriteFile(folder + "/VlmLog.txt", "must never be read either");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string folder = [] {
        const std::string made = fuzz::ProgramFolder();
        PrepareFolder(made);
        return made;
    }();
    fuzz::WriteFile(folder + "/Data/CeVlmDat.bin", std::string(reinterpret_cast<const char*>(data), size));
    noteSettings = NoteSettings{};
    noteTable = NoteTable{};
    fuzz::Require(AllocNoteTable(), "no table");

    std::vector<std::string> opened;
    openedPaths = &opened;
    const int loaded = LoadDataFile();
    openedPaths = nullptr;
    fuzz::Require(loaded == 1, "a readable data file must load");
    // Judged after ".." is resolved: "Data/../outside.txt" is outside.
    const std::string inData = platform::ToUtf8(dataFolder) + "/";
    for (const std::string& path : opened)
        fuzz::Require(std::filesystem::path(path).lexically_normal().string().starts_with(inData),
                      "opened a file outside Data");

    const std::int32_t version = size >= 4 ? static_cast<std::int32_t>(WordAt(data)) : 0;
    const std::size_t recordsAt = version >= 1 ? kHeaderBytes : 8;
    if (version >= 1 && size >= kHeaderBytes) {
        std::array<std::uint8_t, kSettingsBytes> settings{};
        EncodeSettings(noteSettings, settings);
        fuzz::Require(std::memcmp(settings.data(), data + 4, kSettingsBytes) == 0, "settings do not round-trip");
    }
    const std::int64_t stored = size >= recordsAt ? static_cast<std::int32_t>(WordAt(data + recordsAt - 4)) : 0;
    const std::int64_t whole = size >= recordsAt ? static_cast<std::int64_t>((size - recordsAt) / kRecordBytes) : 0;
    fuzz::Require(noteTable.pendingCount == std::max<std::int64_t>(0, std::min(stored, whole)),
                  "loaded a number of records other than the whole ones present");
    for (std::int32_t i = 0; i < noteTable.pendingCount; ++i) {
        std::array<std::uint8_t, kRecordBytes> again{};
        EncodeRecord(noteTable.notes[static_cast<std::size_t>(i)], again);
        fuzz::Require(again == ExpectedRecord(data + recordsAt + kRecordBytes * static_cast<std::size_t>(i)),
                      "a record does not round-trip");
    }
    return 0;
}
