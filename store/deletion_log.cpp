// The deletion log. An entry is composed whole in memory and appended at the
// end of the file, so the earlier entries (also ones edited by hand) are
// never rewritten. The append is all or nothing: when the disk fills up in
// the middle of an entry, the log is cut back to what it was, and the
// caller keeps the note (a peel with logging never loses the only copy).
#include "store/deletion_log.h"

#include <cstdio>

#include "platform/files.h"
#include "platform/system.h"
#include "platform/text.h"
#include "store/paths.h"
#include "store/records.h"

namespace {

constexpr char kLogSeparator[] = "-------------------------------\r\n";
constexpr char kLineEnd[] = "\r\n";

std::u16string FormatTime(const platform::LocalTime& t)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return platform::FromUtf8(text);
}

std::string LogEntry(const NoteRecord& note)
{
    std::string entry = platform::ToMultiByte(u"■作成日時:" + FieldText(note.created)) + kLineEnd;
    entry += platform::ToMultiByte(u"  削除日時:" + FormatTime(platform::GetLocalTimeNow())) + kLineEnd;
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

