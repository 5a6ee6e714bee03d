// The deletion log. An entry is composed whole in memory and appended at the
// end of the file, so the earlier entries (also ones edited by hand) are
// never rewritten. The append is all or nothing: when the disk fills up in
// the middle of an entry, the log is cut back to what it was, and the
// caller keeps the note (a peel with logging never loses the only copy).
#include "store/deletion_log.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/files.h"
#include "platform/text.h"
#include "store/paths.h"
#include "store/records.h"

namespace {

constexpr char kLogSeparator[] = "-------------------------------\r\n";
constexpr char kLineEnd[] = "\r\n";

std::string LogEntry(const NoteRecord& note)
{
    std::string entry = platform::ToMultiByte(u"■作成日時:" + FieldText(note.created)) + kLineEnd;
    entry += platform::ToMultiByte(u"  削除日時:" + StoredTimeNow()) + kLineEnd;
    const std::string text = platform::ToMultiByte(*note.text);
    entry += text;
    // The separator always starts a line of its own.
    if (text.empty() || text.back() != '\n') entry += kLineEnd;
    entry += kLogSeparator;
    return entry;
}

}  // namespace

std::u16string LogFilePath()
{
    // Built by hand: a program in the root folder has an empty appFolder.
    return appFolder + kPathSeparator + u"VlmLog.txt";
}

int AppendDeletionLog(platform::WindowHandle window)
{
    const NoteRecord* found = FindNote(window);
    if (found == nullptr) return 0;
    const NoteRecord& note = *found;
    if (!HasText(note)) return 0;
    const std::u16string path = LogFilePath();
    const std::string entry = (IsExistingFile(path) ? std::string() : std::string(kLogSeparator)) + LogEntry(note);
    return platform::AppendToFile(path, entry) ? 1 : 0;
}


bool AppendLogCopy(const std::u16string& copyPath)
{
    const std::optional<std::string> copy = platform::ReadWholeFile(copyPath);
    if (!copy) return false;
    const std::u16string path = LogFilePath();
    const std::string ours = platform::ReadWholeFile(path).value_or(std::string());
    // The entries both hold end at the last separator line within the
    // bytes they share.
    const auto shared = std::mismatch(ours.begin(), ours.end(), copy->begin(), copy->end());
    const std::string_view common(copy->data(), static_cast<std::size_t>(shared.second - copy->begin()));
    const std::size_t separator = common.rfind(kLogSeparator);
    std::size_t from = separator == std::string_view::npos ? 0 : separator + std::strlen(kLogSeparator);
    // A log of ours that has entries ends in a separator line of its own.
    if (from == 0 && !ours.empty() && copy->starts_with(kLogSeparator)) from = std::strlen(kLogSeparator);
    if (from >= copy->size()) return true;
    return platform::AppendToFile(path, copy->substr(from));
}
