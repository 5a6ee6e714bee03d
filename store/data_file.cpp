// The data file "CeVlmDat.bin": the image of the settings and the live
// records, written whole by rename, and read back tolerantly: a short or
// crafted file loads what it holds and never names a file outside Data or
// anything but a note text file. A save is the commit point of every text
// change: the texts go to disk before it, retired files go after it, and a
// failure anywhere is reported to the user (store/save_trouble.h).
#include "store/data_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/timer.h"
#include "store/app_state.h"
#include "store/paths.h"
#include "store/record_codec.h"
#include "store/records.h"
#include "store/sync_conflicts.h"
#include "store/quiet_timers.h"
#include "store/save_trouble.h"
#include "store/save_writer.h"
#include "store/sync_merge.h"
#include "store/text_files.h"

DataFileSaves dataFileSaves;
std::vector<NoteRecord> sharedNotes;
void (*mergeBeforeSave)() = nullptr;

namespace {

constexpr std::uint32_t kWrittenVersion = 1;
// The main window's timers of a requested save; the recovery copy of an
// open edit has its own (store/edit_recovery.cpp).
constexpr std::uint32_t kSaveQuietTimer = 0x5101;
constexpr std::uint32_t kSaveLatestTimer = 0x5102;
constexpr QuietTimers kSaveTimers{kSaveQuietTimer, kSaveQuietMs, kSaveLatestTimer, kSaveLatestMs};
constexpr std::size_t kWordBytes = 4;

// Reads the image front to back; what lies beyond the end reads as zero.
class FileCursor {
public:
    explicit FileCursor(const std::string& bytes) : bytes_(bytes) {}

    std::size_t Left() const { return bytes_.size() - at_; }

    // Copies up to out.size() bytes into out; the rest of out is untouched.
    void Fill(std::span<std::uint8_t> out)
    {
        std::size_t n = std::min(out.size(), Left());
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(bytes_[at_ + i]);
        at_ += n;
    }

    std::uint32_t Word()
    {
        std::array<std::uint8_t, kWordBytes> word{};
        Fill(word);
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < kWordBytes; ++i) v |= static_cast<std::uint32_t>(word[i]) << (8 * i);
        return v;
    }

private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

void AppendWord(std::vector<std::uint8_t>& image, std::uint32_t v)
{
    for (std::size_t i = 0; i < kWordBytes; ++i) image.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A short settings block replaces only the bytes it holds.
void LoadSettings(FileCursor& cursor)
{
    std::array<std::uint8_t, kSettingsBytes> block{};
    EncodeSettings(noteSettings, block);
    cursor.Fill(block);
    noteSettings = DecodeSettings(block);
}

// The record's text is read only from a note file name inside Data; any
// other name (a path elsewhere, the data file, the log) is dropped, so the
// note can never read or later delete a file that is not its own.
void LoadNoteText(NoteRecord& record)
{
    std::u16string name = FieldText(record.fileName);
    std::u16string path;
    if (IsNoteFileName(name) && JoinPath(path, dataFolder, name)) {
        record.text = ReadTextFile(path);
    } else if (!name.empty()) {
        record.fileName.fill(0);
    }
}

// A record that names the file of an earlier record (a copied data file, a
// crash of an older version) keeps the text it read and gets a file of its
// own at the next save; the earlier record keeps the shared file.
void SeparateSharedFile(std::int32_t index)
{
    NoteRecord& record = noteTable.notes[index];
    const std::u16string name = FieldText(record.fileName);
    if (name.empty()) return;
    for (std::int32_t i = 0; i < index; ++i)
        if (FieldText(noteTable.notes[i].fileName) == name) record.textUnsaved = true;
}

// Only whole records count; a negative count stands for none.
std::int32_t RecordsToLoad(std::int32_t storedCount, std::size_t bytesLeft)
{
    if (storedCount <= 0) return 0;
    std::size_t whole = bytesLeft / kRecordBytes;
    return static_cast<std::int32_t>(std::min<std::size_t>(static_cast<std::size_t>(storedCount), whole));
}

bool MakeRoomFor(std::int32_t records)
{
    if (records < noteTable.capacity) return true;
    return GrowNoteTable((records / 4 + 1) * 4);
}

// A record as loaded: its shown flag made one of the two values, its text
// read from its own note file.
void LoadRecord(FileCursor& cursor, NoteRecord& record)
{
    std::array<std::uint8_t, kRecordBytes> image{};
    cursor.Fill(image);
    record = DecodeRecord(image);
    record.shown = record.shown == kNoteHidden ? kNoteHidden : kNoteShown;
    LoadNoteText(record);
}

void ShowUnreadableMessage()
{
    platform::ShowMessageBox(u"CeVlmDat.bin ファイルからデータを読み込めません。\n\n"
                             u"CeVlmDat.bin ファイルを削除してください。",
                             u"付箋紙",
                             platform::mb::Ok | platform::mb::IconExclamation | platform::mb::SetForeground);
}

// The data file's bytes: the version word, the settings, the live records.
std::string DataFileImage()
{
    const auto count = static_cast<std::size_t>(
        std::clamp<std::int32_t>(noteTable.count, 0, static_cast<std::int32_t>(noteTable.notes.size())));
    std::vector<std::uint8_t> image;
    image.reserve(2 * kWordBytes + kSettingsBytes + count * kRecordBytes);
    AppendWord(image, kWrittenVersion);
    image.resize(image.size() + kSettingsBytes);
    // After the main window's end the tray icon setting reads 0 in memory;
    // a save then (a note the desktop moved before the loop returned) stores
    // the setting the user had.
    NoteSettings settings = noteSettings;
    if (trayIconAtExit >= 0) settings.trayIcon = trayIconAtExit;
    EncodeSettings(settings, std::span(image).last<kSettingsBytes>());
    AppendWord(image, static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        image.resize(image.size() + kRecordBytes);
        EncodeRecord(noteTable.notes[i], std::span(image).last<kRecordBytes>());
    }
    return std::string(image.begin(), image.end());
}

// A text longer than this is kept in sharedNotes as its digest.
constexpr std::size_t kLongTextUnits = 64 * 1024;

// The note as sharedNotes keeps it, made without copying its text first:
// with the text (or digest) that `before` kept of it, or else its own.
NoteRecord SharedCopy(NoteRecord& live, NoteRecord* before = nullptr)
{
    std::optional<std::u16string> text = std::move(live.text);
    NoteRecord shared = live;
    live.text = std::move(text);
    if (before != nullptr) {
        shared.text = std::move(before->text);
        shared.textDigest = std::exchange(before->textDigest, std::nullopt);
    } else if (live.text && live.text->size() > kLongTextUnits) {
        shared.textDigest = TextDigest(*live.text);
    } else {
        shared.text = live.text;
    }
    return shared;
}

// The live notes as just saved, for sharedNotes. A note's text changes
// only together with the file that holds it, so a text still in the file
// it was shared in is taken over from `previous` instead of being copied
// (or digested) again at every save.
std::vector<NoteRecord> SharedAfterSave(std::vector<NoteRecord> previous)
{
    const auto kept = [](const NoteRecord& note) { return note.text || note.textDigest; };
    std::unordered_map<std::u16string, std::size_t> byFile;
    for (std::size_t i = 0; i < previous.size(); ++i)
        if (kept(previous[i]) && !previous[i].textUnsaved) byFile.emplace(FieldText(previous[i].fileName), i);
    std::vector<NoteRecord> shared;
    shared.reserve(static_cast<std::size_t>(std::max(noteTable.count, 0)));
    for (std::int32_t i = 0; i < noteTable.count; ++i) {
        NoteRecord& live = noteTable.notes[i];
        const auto found = live.text && !live.textUnsaved ? byFile.find(FieldText(live.fileName)) : byFile.end();
        NoteRecord* before = found != byFile.end() && kept(previous[found->second]) ? &previous[found->second] : nullptr;
        shared.push_back(SharedCopy(live, before));
    }
    return shared;
}

void CancelRequestedSave()
{
    platform::KillWindowTimer(mainWindow, kSaveQuietTimer);
    platform::KillWindowTimer(mainWindow, kSaveLatestTimer);
    dataFileSaves.pending = false;
}

}  // namespace

std::u16string DataFilePath()
{
    std::u16string path;
    JoinPath(path, dataFolder, u"CeVlmDat.bin");
    return path;
}

int LoadDataFile()
{
    const std::u16string path = DataFilePath();
    const std::optional<platform::FileStamp> stamp = platform::StampOfFile(path);
    std::optional<std::string> bytes = platform::ReadWholeFile(path);
    if (bytes) NoteSeen(path, stamp);
    if (!bytes) {
        if (platform::QueryPath(path) == platform::PathKind::Missing) return 1;
        ShowUnreadableMessage();
        return 0;
    }
    FileCursor cursor(*bytes);
    auto version = static_cast<std::int32_t>(cursor.Word());
    if (version >= 1) LoadSettings(cursor);
    auto storedCount = static_cast<std::int32_t>(cursor.Word());
    std::int32_t records = RecordsToLoad(storedCount, cursor.Left());
    if (!MakeRoomFor(records)) return 0;
    noteTable.pendingCount = records;
    for (std::int32_t i = 0; i < records; ++i) {
        LoadRecord(cursor, noteTable.notes[static_cast<std::size_t>(i)]);
        SeparateSharedFile(i);
    }
    sharedNotes.clear();
    for (std::int32_t i = 0; i < records; ++i) sharedNotes.push_back(SharedCopy(noteTable.notes[i]));
    return 1;
}

std::vector<NoteRecord> SharedLiveNotes()
{
    std::vector<NoteRecord> shared;
    for (std::int32_t i = 0; i < noteTable.count; ++i) shared.push_back(SharedCopy(noteTable.notes[i]));
    return shared;
}

std::vector<NoteRecord> LiveNotes()
{
    const auto count = std::clamp<std::int32_t>(noteTable.count, 0, static_cast<std::int32_t>(noteTable.notes.size()));
    return std::vector<NoteRecord>(noteTable.notes.begin(), noteTable.notes.begin() + count);
}

std::optional<std::vector<NoteRecord>> ReadNotesFrom(const std::u16string& path, bool& missing)
{
    const std::optional<std::string> bytes = platform::ReadWholeFile(path);
    if (!bytes || bytes->size() < 2 * kWordBytes) return std::nullopt;
    FileCursor cursor(*bytes);
    const std::uint32_t version = cursor.Word();
    if (version > kWrittenVersion) return std::nullopt;
    // The settings stay this computer's own.
    std::array<std::uint8_t, kSettingsBytes> settings{};
    if (version == kWrittenVersion) cursor.Fill(settings);
    const std::uint32_t count = cursor.Word();
    if (cursor.Left() != static_cast<std::size_t>(count) * kRecordBytes) return std::nullopt;
    std::vector<NoteRecord> notes(count);
    for (NoteRecord& note : notes) {
        LoadRecord(cursor, note);
        if (!note.text && !FieldText(note.fileName).empty()) missing = true;
    }
    return notes;
}

namespace {

// Where a data file from elsewhere goes if it arrives while a save of ours
// is on its way: a conflict copy, as from another computer.
std::u16string ArrivalCopyPath()
{
    std::u16string path;
    JoinPath(path, dataFolder, ConflictCopyName(u"CeVlmDat.bin", platform::GetLocalTimeNow(), u"別のコンピュータ"));
    return path;
}

}  // namespace

// Texts that are not yet in files of their own are written before the data
// file that names them, and retired files are deleted only after it.
int SaveDataFile()
{
    if (dataFileSaves.stopped || noteTable.notes.empty()) return 0;
    if (mergeBeforeSave != nullptr && !IsAsLastSeen(DataFilePath())) {
        void (*const merge)() = std::exchange(mergeBeforeSave, nullptr);  // it may save
        merge();
        mergeBeforeSave = merge;
    }
    CancelRequestedSave();
    const bool textsWritten = WriteUnsavedNoteTexts();
    std::optional<platform::StagedFile> image = platform::StageFileReplacement(DataFilePath(), DataFileImage());
    const bool written = image.has_value();
    if (written) {
        HandOverDataFile(std::move(*image), TakeDeletableNoteFiles(), ArrivalCopyPath());
        sharedNotes = SharedAfterSave(std::move(sharedNotes));
    }
    if (written && textsWritten)
        ReportSaveSuccess();
    else
        ReportSaveFailure();
    return written ? 1 : 0;
}

int SaveDataFileAfter(SaveTrigger) { return SaveDataFile(); }

void RequestDataFileSave()
{
    if (dataFileSaves.stopped) return;
    if (!ArmQuietTimers(kSaveTimers, dataFileSaves.pending)) SaveDataFile();
}

bool OnSaveTimer(std::uint32_t timerId)
{
    if (!IsQuietTimer(kSaveTimers, timerId)) return false;
    SaveDataFile();
    return true;
}

void FlushDataFileSave()
{
    if (dataFileSaves.pending) SaveDataFile();
}

void StopDataFileSaves()
{
    CancelRequestedSave();
    dataFileSaves.stopped = true;
}

std::optional<std::u16string> ReadTextFile(const std::u16string& path)
{
    if (!IsExistingFile(path)) return std::nullopt;
    std::optional<std::string> bytes = platform::ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    return platform::FromMultiByte(*bytes);
}
