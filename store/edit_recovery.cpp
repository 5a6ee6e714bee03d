// The recovery copy of an open edit: its timers, its bytes, writing it
// through the whole-file replacement every text takes, and reading it back.
#include "store/edit_recovery.h"

#include <charconv>
#include <functional>
#include <new>
#include <string_view>

#include "platform/editor.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/timer.h"
#include "store/app_state.h"
#include "store/paths.h"
#include "store/records.h"
#include "store/quiet_timers.h"
#include "store/save_trouble.h"
#include "store/save_writer.h"

namespace {

// The main window's timers of a requested copy, beside those of a
// requested save of the data file.
constexpr std::uint32_t kQuietTimer = 0x5103;
constexpr std::uint32_t kLatestTimer = 0x5104;
constexpr QuietTimers kCopyTimers{kQuietTimer, kRecoveryQuietMs, kLatestTimer, kRecoveryLatestMs};
constexpr std::string_view kFirstLine = "CeVelmo edit recovery 1";

struct EditRecovery {
    bool pending = false;    // a copy was asked for and not yet written
    bool ours = false;       // the copy on disk was written or read by this run
    bool older = false;      // the copy read was an older copy's, under its name
    std::size_t written = 0; // the hash of the bytes last written
};
EditRecovery recovery;

void CancelRequest()
{
    platform::KillWindowTimer(mainWindow, kQuietTimer);
    platform::KillWindowTimer(mainWindow, kLatestTimer);
    recovery.pending = false;
}

// A header value: the field's text in UTF-8, where a line break or any
// other control character (from a crafted record) stands as U+FFFD, so that
// every value is one line and still compares with the record it came from.
template <std::size_t N>
std::string HeaderValue(const TextField<N>& field)
{
    std::u16string text = FieldText(field);
    for (char16_t& c : text)
        if (c < 0x20) c = 0xFFFD;
    return platform::ToUtf8(text);
}

std::string Encode(const NoteRecord& note, std::int32_t index, const std::u16string& text)
{
    const std::string body = platform::ToTextFile(text);
    return std::string(kFirstLine) + "\ncreated: " + HeaderValue(note.created) + "\nfile: " +
           HeaderValue(note.fileName) + "\nindex: " + std::to_string(index) + "\nbytes: " +
           std::to_string(body.size()) + "\n\n" + body;
}

template <typename T>
bool ParseNumber(std::string_view digits, T& out)
{
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), out);
    return error == std::errc{} && end == digits.data() + digits.size();
}

// The header line by line, then a body of exactly the length it gives.
std::optional<RecoveredEdit> Decode(std::string_view bytes)
{
    RecoveredEdit edit;
    std::string index, size;
    const std::pair<std::string_view, std::string*> lines[] = {
        {kFirstLine, nullptr}, {"created: ", &edit.created}, {"file: ", &edit.fileName},
        {"index: ", &index},   {"bytes: ", &size},           {"", nullptr}};
    for (const auto& [prefix, value] : lines) {
        const std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos || !bytes.starts_with(prefix)) return std::nullopt;
        if (value == nullptr && end != prefix.size()) return std::nullopt;
        if (value != nullptr) *value = bytes.substr(prefix.size(), end - prefix.size());
        bytes.remove_prefix(end + 1);
    }
    std::size_t bodyBytes = 0;
    if (!ParseNumber(index, edit.index) || !ParseNumber(size, bodyBytes) || bodyBytes != bytes.size())
        return std::nullopt;
    edit.text = platform::FromMultiByte(bytes);
    return edit;
}

bool IsHeaderOf(const RecoveredEdit& edit, const NoteRecord& note)
{
    return HeaderValue(note.created) == edit.created && HeaderValue(note.fileName) == edit.fileName;
}

std::u16string PathInData(const char16_t* name)
{
    std::u16string path;
    JoinPath(path, dataFolder, name);
    return path;
}

}  // namespace

std::u16string EditRecoveryPath() { return PathInData(kEditRecoveryName); }

void RequestEditRecoveryCopy()
{
    if (!ArmQuietTimers(kCopyTimers, recovery.pending)) WriteEditRecoveryCopy();
}

bool OnEditRecoveryTimer(std::uint32_t timerId)
{
    if (!IsQuietTimer(kCopyTimers, timerId)) return false;
    WriteEditRecoveryCopy();
    return true;
}

bool WriteEditRecoveryCopy()
{
    CancelRequest();
    const std::int32_t index = FindEditingNote();
    if (index < 0) return true;
    const NoteRecord& note = noteTable.notes[index];
    if (!platform::IsEditorModified(note.editWindow)) return true;
    std::string bytes;
    try {
        bytes = Encode(note, index, platform::GetEditorText(note.editWindow));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const std::size_t hash = std::hash<std::string>{}(bytes);
    if (recovery.ours && hash == recovery.written) return true;
    std::optional<platform::StagedFile> staged = platform::StageFileReplacement(EditRecoveryPath(), bytes);
    if (!staged) return false;
    HandOverEditCopy(std::move(*staged));
    recovery.ours = true;
    recovery.written = hash;
    return true;
}

void BeginEditRecovery()
{
    CancelRequest();
    recovery.written = 0;
}

void EndEditRecovery()
{
    CancelRequest();
    if (!recovery.ours || saveTrouble.failing) return;
    // Goes once the data file saved before is on disk.
    HandOverDeletion(EditRecoveryPath());
    if (recovery.older) HandOverDeletion(PathInData(kOlderEditRecoveryName));
    recovery.ours = recovery.older = false;
}

std::optional<RecoveredEdit> ReadEditRecovery(std::u16string& unreadable)
{
    unreadable.clear();
    std::u16string path = EditRecoveryPath();
    const bool older = !platform::IsNameTaken(path);
    if (older) path = PathInData(kOlderEditRecoveryName);
    if (!platform::IsNameTaken(path)) return std::nullopt;
    const std::optional<std::string> bytes = platform::ReadWholeFile(path);
    std::optional<RecoveredEdit> edit = bytes ? Decode(*bytes) : std::nullopt;
    if (!edit) unreadable = path;
    recovery.ours = edit.has_value();
    recovery.older = recovery.ours && older;
    return edit;
}

std::int32_t FindRecoveredNote(const RecoveredEdit& edit)
{
    std::int32_t found = -1, matches = 0;
    for (std::int32_t i = 0; i < noteTable.count; ++i) {
        if (!IsHeaderOf(edit, noteTable.notes[i])) continue;
        ++matches;
        if (found < 0 || i == edit.index) found = i;
    }
    if (matches == 1 || (matches > 1 && found == edit.index)) return found;
    for (std::int32_t i = 0; i < noteTable.count; ++i)
        if (noteTable.notes[i].text == edit.text) return i;
    return -1;
}
