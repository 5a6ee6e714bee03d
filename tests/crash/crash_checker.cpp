// The crash checker: run after every kill of the crash driver, it checks
// that the folder holds a state the journal allows and that the next start
// finds it whole.
//
// - The data file parses: version 1, exactly 172 + 256 x count bytes.
// - The notes in it are those of every finished operation, give or take
//   the one the kill cut off; no note is there twice.
// - Every record names a file that exists and holds a whole text of that
//   note, of the generation before or after the cut-off operation; a note
//   without text names no file; no two records name one file.
// - The deletion log holds whole entries only (an entry cut off by a kill
//   in the middle of a logged peel is counted, and may be no more frequent
//   than such kills).
// - The program's own start-up loads the same notes and texts and leaves no
//   temporary file in Data; an edit cut off after its recovery copy is back.
//
//   crash_checker <program folder>      exit 0: all held; 1: a violation
// It prints one line: the cut-off operation, the notes, unnamed leftover
// note files, and cut-off log entries so far.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "app/startup.h"
#include "crash_texts.h"
#include "platform/sim/sim.h"
#include "platform/text.h"
#include "store/records.h"
#include "store/text_files.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kCountAt = 168;
constexpr std::size_t kHeaderBytes = kCountAt + 4;
constexpr std::size_t kRecordBytes = 256;
constexpr std::size_t kNameAt = 36;
constexpr std::size_t kCreatedAt = 64;
const std::string kLogSeparator = "-------------------------------\r\n";

fs::path folder;
int violations = 0;

void Violation(const std::string& what)
{
    std::fprintf(stderr, "VIOLATION: %s\n", what.c_str());
    ++violations;
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::u16string Utf16At(const std::string& bytes, std::size_t at, std::size_t units)
{
    std::u16string text;
    for (std::size_t i = 0; i < units; ++i) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[at + 2 * i]) |
                                                static_cast<unsigned char>(bytes[at + 2 * i + 1]) << 8);
        if (unit == 0) break;
        text += unit;
    }
    return text;
}

struct StoredNote {
    int id = -1;
    std::string fileName;
};

// The data file read on its own terms, not with the program's decoder.
std::vector<StoredNote> ReadDataFile(const std::string& bytes)
{
    std::vector<StoredNote> notes;
    if (bytes.size() < kHeaderBytes || bytes[0] != 1 || bytes[1] != 0 || bytes[2] != 0 || bytes[3] != 0) {
        Violation("the data file has no version-1 header (" + std::to_string(bytes.size()) + " bytes)");
        return notes;
    }
    std::uint32_t count = 0;
    for (int i = 0; i < 4; ++i) count |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[kCountAt + i])) << 8 * i;
    if (bytes.size() != kHeaderBytes + kRecordBytes * count) {
        Violation("the data file's size does not match its count " + std::to_string(count));
        return notes;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kHeaderBytes + kRecordBytes * i;
        StoredNote note;
        note.id = crash::IdOfCreated(Utf16At(bytes, at + kCreatedAt, 20)).value_or(-1);
        note.fileName = platform::ToUtf8(Utf16At(bytes, at + kNameAt, 14));
        notes.push_back(note);
    }
    return notes;
}

// The generation the note's file holds, checking that the file is whole
// and the note's own.
int GenerationOnDisk(const StoredNote& note)
{
    if (note.fileName.empty()) return crash::kNoText;
    const fs::path path = folder / "Data" / note.fileName;
    if (!fs::is_regular_file(path)) {
        Violation("note " + std::to_string(note.id) + " names " + note.fileName + ", which does not exist");
        return -2;
    }
    const auto stamp = crash::CheckText(platform::FromMultiByte(ReadBytes(path)));
    if (!stamp) Violation(note.fileName + " does not hold a whole text");
    else if (stamp->id != note.id) Violation(note.fileName + " holds note " + std::to_string(stamp->id) + "'s text, not " + std::to_string(note.id) + "'s");
    else return stamp->generation;
    return -2;
}

bool Targets(const std::optional<crash::Operation>& op, int id, std::initializer_list<const char*> kinds)
{
    if (!op || op->id != id) return false;
    for (const char* kind : kinds)
        if (op->kind == kind) return true;
    return false;
}

void CheckNotes(const crash::Journal& journal, const std::vector<StoredNote>& stored)
{
    std::set<int> ids;
    std::set<std::string> names;
    for (const StoredNote& note : stored) {
        const std::string who = "note " + std::to_string(note.id);
        if (!ids.insert(note.id).second) Violation(who + " is in the data file twice");
        if (!note.fileName.empty() && !names.insert(note.fileName).second)
            Violation(note.fileName + " is named by two records");
        const auto committed = journal.committed.find(note.id);
        const bool isNew = Targets(journal.inFlight, note.id, {"new"});
        if (committed == journal.committed.end() && !isNew) {
            Violation(who + " is in the data file but was never made or was peeled off");
            continue;
        }
        const int before = isNew ? crash::kNoText : committed->second;
        const int after = Targets(journal.inFlight, note.id, {"paste", "import", "cut", "edit"}) ? journal.inFlight->generation : before;
        const int onDisk = GenerationOnDisk(note);
        if (onDisk != before && onDisk != after)
            Violation(who + " holds generation " + std::to_string(onDisk) + ", neither " + std::to_string(before) +
                      " nor " + std::to_string(after));
    }
    for (const auto& [id, generation] : journal.committed)
        if (!ids.count(id) && !Targets(journal.inFlight, id, {"peel", "peellog"}))
            Violation("note " + std::to_string(id) + " is missing from the data file");
}

// Whole log entries: "■作成日時:..." CR LF "  削除日時:..." CR LF, a whole text
// (and CR LF when it does not end with LF), the separator.
bool IsWholeEntry(const std::string& entry)
{
    const std::string created = "■作成日時:", deleted = "  削除日時:";
    const std::size_t line1End = entry.find("\r\n");
    if (!entry.starts_with(created) || line1End == std::string::npos) return false;
    const std::size_t line2 = line1End + 2;
    if (entry.compare(line2, deleted.size(), deleted) != 0) return false;
    const std::size_t text = entry.find("\r\n", line2);
    if (text == std::string::npos) return false;
    const std::string body = entry.substr(text + 2);
    if (crash::CheckText(platform::FromMultiByte(body))) return body.ends_with("\n");
    return body.ends_with("\r\n") && crash::CheckText(platform::FromMultiByte(body.substr(0, body.size() - 2)));
}

// The log only grows, so each check reads only what was appended since the
// last one: the state file holds where the checked part ends (just after a
// separator line) and how many cut-off entries it held. An entry that is
// still open at the end is left for a later check, when the next entry's
// separator closes it.
int CountCutLogEntries()
{
    const fs::path state = folder / "log-checked";
    std::uintmax_t checkedTo = 0;
    int cut = 0;
    std::ifstream(state) >> checkedTo >> cut;
    const fs::path path = folder / "VlmLog.txt";
    const std::uintmax_t size = fs::exists(path) ? fs::file_size(path) : 0;
    if (size < checkedTo) Violation("the log got shorter");
    if (size <= checkedTo) return cut;
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(checkedTo));
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t at = 0;
    if (checkedTo == 0) {
        if (!log.starts_with(kLogSeparator)) Violation("the log does not start with its separator line");
        at = kLogSeparator.size();
    }
    for (std::size_t end; (end = log.find(kLogSeparator, at)) != std::string::npos; at = end + kLogSeparator.size())
        if (!IsWholeEntry(log.substr(at, end - at))) ++cut;
    std::ofstream(state) << checkedTo + at << ' ' << cut;
    return cut;
}

// Kills during a logged peel, counted across the whole run.
int LoggedPeelsCutOff(const crash::Journal& journal)
{
    const fs::path path = folder / "logged-peels-cut-off";
    int count = 0;
    std::ifstream(path) >> count;
    if (journal.inFlight && journal.inFlight->kind == "peellog") std::ofstream(path) << ++count;
    return count;
}

// The next start: the program's own loader must agree, and no temporary
// file may be left in Data.
int CheckNextStart(const std::vector<StoredNote>& stored, const std::optional<crash::Operation>& inFlight)
{
    sim::Reset();
    sim::SetModulePath(platform::FromUtf8((folder / "cevelmo").string()));
    int exitCode = 0;
    if (!StartApp(exitCode)) {
        Violation("the program does not start on this folder");
        return 0;
    }
    if (noteTable.count != static_cast<std::int32_t>(stored.size())) Violation("the program loads a different number of notes");
    for (std::int32_t i = 0; i < noteTable.count && i < static_cast<std::int32_t>(stored.size()); ++i) {
        const NoteRecord& note = noteTable.notes[i];
        const auto stamp = note.text && !note.text->empty() ? crash::CheckText(*note.text) : std::nullopt;
        if (!stored[i].fileName.empty() && (!stamp || stamp->id != stored[i].id))
            Violation("the program loads another text for note " + std::to_string(stored[i].id));
        if (inFlight && inFlight->copied && inFlight->id == stored[i].id &&
            (!stamp || stamp->generation != inFlight->generation))
            Violation("the edit of note " + std::to_string(stored[i].id) + " in the recovery copy is lost");
    }
    std::set<std::string> named;
    for (const StoredNote& note : stored) named.insert(note.fileName);
    int leftovers = 0;
    for (const auto& entry : fs::directory_iterator(folder / "Data")) {
        const std::string name = entry.path().filename().string();
        // The data file, and the instance lock a start takes and keeps.
        if (name == "CeVlmDat.bin" || name == "CE_VELMO.lock") continue;
        if (!IsNoteFileName(platform::FromUtf8(name))) Violation(name + " is left in Data after a start");
        else if (!named.count(name)) ++leftovers;
    }
    ShutdownApp();
    return leftovers;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <program folder>\n", argv[0]);
        return 2;
    }
    folder = argv[1];
    platform::InitPlatform(argc, argv);
    const auto journal = crash::ReadJournal((folder / "journal.txt").string());
    const bool hasData = fs::exists(folder / "Data" / "CeVlmDat.bin");
    std::vector<StoredNote> stored;
    if (!journal) {
        // Killed before its first journal: nothing may have been saved.
        if (hasData && ReadDataFile(ReadBytes(folder / "Data" / "CeVlmDat.bin")).size() != 0)
            Violation("notes on disk without a journal");
    } else {
        if (hasData) stored = ReadDataFile(ReadBytes(folder / "Data" / "CeVlmDat.bin"));
        CheckNotes(*journal, stored);
    }
    const int loggedPeelsCut = journal ? LoggedPeelsCutOff(*journal) : 0;
    const int cutEntries = CountCutLogEntries();
    if (cutEntries > loggedPeelsCut)
        Violation(std::to_string(cutEntries) + " log entries cut off, but only " + std::to_string(loggedPeelsCut) +
                  " kills during a logged peel");
    const int leftovers = CheckNextStart(stored, journal ? journal->inFlight : std::nullopt);
    std::printf("inflight=%s notes=%zu unnamed=%d cutlog=%d\n",
                journal && journal->inFlight ? journal->inFlight->kind.c_str() : "none", stored.size(), leftovers,
                cutEntries);
    return violations == 0 ? 0 : 1;
}
