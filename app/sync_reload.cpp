// Keeping the notes in step with the Data folder (app/sync_reload.h). The
// watch reports names; a name the disk writer left as it is was our own
// write, anything else arms a quiet timer, and the reload runs once the
// burst has settled. Start reading at ReloadFromElsewhere.
#include "app/sync_reload.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/note_windows.h"
#include "edit/auto_size.h"
#include "note/levels.h"
#include "note/painting.h"
#include "platform/files.h"
#include "platform/folder_watch.h"
#include "platform/font.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/data_file.h"
#include "store/deletion_log.h"
#include "store/messages.h"
#include "store/paths.h"
#include "store/quiet_timers.h"
#include "store/records.h"
#include "store/save_writer.h"
#include "store/sync_conflicts.h"
#include "store/sync_merge.h"
#include "store/text_files.h"

namespace {

// A sync engine brings a change as several files, one after the other;
// the reload waits for a pause, but never long.
constexpr QuietTimers kReloadTimers{0x5105, 300, 0x5106, 1500};
// A data file that names note files not there yet waits for them (they
// are on their way) a few times before it is taken as it is.
constexpr std::uint32_t kRetryTimer = 0x5107;
constexpr int kRetryMs = 1000;
constexpr int kMissingRetries = 5;
// The kernel's watch does not always tell (a network or FUSE mount never
// reports a change; on a loaded desktop a sync engine's rename was seen to
// go unreported): a look at the data file's stamp now and then catches
// what it missed, once per change.
constexpr std::uint32_t kLookTimer = 0x5108;
constexpr int kLookMs = 2000;
constexpr std::u16string_view kDataFileName = u"CeVlmDat.bin";
// A note from elsewhere shows without taking the keyboard from what the
// user is doing (typing into another note's editor).
constexpr int kShowUnasked = platform::sw::Show;

bool reloadPending = false;
int missingRetries = 0;
std::optional<platform::FileStamp> lastLook;

std::u16string InData(const std::u16string& name)
{
    std::u16string path;
    JoinPath(path, dataFolder, name);
    return path;
}

// A name of the program's own files, or a conflict copy of one.
bool IsNotesFileName(const std::u16string& name)
{
    if (name == kDataFileName || IsNoteFileName(name)) return true;
    const std::optional<ConflictCopy> copy = ParseConflictName(name);
    return copy && (copy->original == kDataFileName || IsNoteFileName(copy->original));
}

// Changed elsewhere: the folder itself, or one of the notes' files that is
// not as the disk writer left it.
bool ChangedElsewhere(const std::vector<std::u16string>& names)
{
    return std::any_of(names.begin(), names.end(), [](const std::u16string& name) {
        return name.empty() || (IsNotesFileName(name) && !IsAsLastSeen(InData(name)));
    });
}

void UpdateWindow(NoteRecord& live, const NoteRecord& merged)
{
    const NoteRecord old = live;
    live.bounds = merged.bounds;
    live.zLevel = merged.zLevel;
    live.shown = merged.shown;
    live.font = merged.font;
    live.textColor = merged.textColor;
    live.backColor = merged.backColor;
    live.fixed = merged.fixed;
    live.text = merged.text;
    live.fileName = merged.fileName;
    live.textUnsaved = merged.textUnsaved;
    const platform::WindowHandle window = live.window;
    if (!(old.font == live.font)) {
        platform::DeleteFontObject(live.fontHandle);
        live.fontHandle = platform::CreateFontObject(live.font);
    }
    if (!(old.bounds == live.bounds)) platform::MoveAppWindow(window, live.bounds, true);
    if (old.zLevel != live.zLevel) ApplyNoteLevel(window, live.zLevel);
    if (old.shown != live.shown) {
        platform::ShowAppWindow(window, live.shown == kNoteShown ? platform::sw::ShowNormal : platform::sw::Hide);
        platform::UpdateAppWindow(window);
    }
    if (old.text != live.text || !(old.font == live.font) || old.textColor != live.textColor ||
        old.backColor != live.backColor || old.fixed != live.fixed)
        RepaintNote(window);
}

bool Differs(const NoteRecord& live, const NoteRecord& merged)
{
    return !SameNote(live, merged) || live.fileName != merged.fileName || live.textUnsaved != merged.textUnsaved;
}

bool ChangesOurs(const std::vector<MergedNote>& merged)
{
    return merged.size() != static_cast<std::size_t>(noteTable.count) ||
           std::any_of(merged.begin(), merged.end(), [](const MergedNote& note) {
               return note.ours < 0 || Differs(noteTable.notes[note.ours], note.record);
           });
}

// Records from elsewhere take the slots after the live notes and get their
// windows as loaded records do.
void AddNotes(std::vector<NoteRecord> records)
{
    if (records.empty()) return;
    const auto needed = noteTable.count + static_cast<std::int32_t>(records.size());
    if (needed >= noteTable.capacity && !GrowNoteTable((needed / 4 + 1) * 4)) return;
    for (std::size_t i = 0; i < records.size(); ++i) noteTable.notes[noteTable.count + i] = std::move(records[i]);
    noteTable.pendingCount = needed;
    CreateNoteWindows(kShowUnasked);
}

// Brings the table and the windows in line with the merged list: ours in
// our order, changed in place, then the notes new here. A note of ours that
// the merge left out was removed elsewhere: its window goes, unlogged, and
// its file stays for whatever removed it; while a menu or dialog is open
// (it may belong to that note) it stays, and the caller saves it. True
// when a note stayed so.
bool Apply(std::vector<MergedNote>& merged)
{
    std::vector<bool> kept(static_cast<std::size_t>(noteTable.count), false);
    std::vector<NoteRecord> added;
    for (MergedNote& note : merged) {
        if (note.ours < 0) {
            added.push_back(std::move(note.record));
            continue;
        }
        kept[note.ours] = true;
        NoteRecord& live = noteTable.notes[note.ours];
        if (Differs(live, note.record)) UpdateWindow(live, note.record);
    }
    std::vector<platform::WindowHandle> gone;
    for (std::size_t i = 0; i < kept.size(); ++i)
        if (!kept[i]) gone.push_back(noteTable.notes[i].window);
    const bool busy = dialogBusy != 0 || menuBusy != 0;
    if (!busy)
        for (const platform::WindowHandle window : gone) platform::DestroyAppWindow(window);
    AddNotes(std::move(added));
    return busy && !gone.empty();
}

bool IsHeld(const std::u16string& text)
{
    for (std::int32_t i = 0; i < noteTable.count; ++i)
        if (noteTable.notes[i].text == text) return true;
    return false;
}

// A copy of a note's text becomes a note of its own, unless a note holds it.
bool TakeInTextCopy(const ConflictCopy& copy)
{
    const std::optional<std::u16string> text = ReadTextFile(InData(copy.name));
    if (!text) return false;
    if (text->empty() || IsHeld(*text) || CreateNoteWindows(kShowUnasked) == 0) return true;
    NoteRecord& note = noteTable.notes[noteTable.count - 1];
    ReplaceNoteText(note, ConflictNoteText(copy.source, *text));
    FitNoteToText(note.window);
    RepaintNote(note.window);
    return true;
}

// A copy of the data file: its notes join ours.
bool TakeInDataCopy(const ConflictCopy& copy)
{
    bool missing = false;
    const std::optional<std::vector<NoteRecord>> theirs = ReadNotesFrom(InData(copy.name), missing);
    if (!theirs) return false;
    std::vector<MergedNote> merged = MergeNotes({}, LiveNotes(), *theirs, MergeKind::ConflictCopy, FindEditingNote(),
                                                {StoredTimeNow(), copy.source});
    if (ChangesOurs(merged)) Apply(merged);
    return true;
}

// Every conflict copy of the notes' files is taken in; each goes once the
// data file that holds what it brought is on disk. A copy that cannot be
// read yet stays for the next change. The log's copies lie beside it.
void TakeInConflictCopies()
{
    std::vector<std::u16string> taken;
    for (const ConflictCopy& copy : FindConflictCopies(dataFolder)) {
        const bool done = copy.original == kDataFileName ? TakeInDataCopy(copy)
                          : IsNoteFileName(copy.original) ? TakeInTextCopy(copy)
                                                          : false;
        if (done) taken.push_back(InData(copy.name));
    }
    if (taken.empty()) return;
    SaveDataFile();
    for (std::u16string& path : taken) HandOverDeletion(std::move(path));
}

void TakeInLogCopies()
{
    for (const ConflictCopy& copy : FindConflictCopies(appFolder)) {
        std::u16string path;
        if (copy.original == u"VlmLog.txt" && JoinPath(path, appFolder, copy.name) && AppendLogCopy(path))
            platform::DeleteFileAt(path);
    }
}

// The data file as another computer left it, merged with what we hold and
// with what we last shared. True when ours adds to it: the caller saves.
// Texts not there yet are waited for only when `waitForTexts`.
bool MergeDataFile(bool waitForTexts)
{
    const std::u16string path = DataFilePath();
    const std::optional<platform::FileStamp> stamp = platform::StampOfFile(path);
    bool missing = false;
    const std::optional<std::vector<NoteRecord>> theirs = ReadNotesFrom(path, missing);
    if (!theirs) return false;  // torn or gone: the next change tries again
    if (missing && waitForTexts && missingRetries < kMissingRetries) {
        ++missingRetries;
        platform::SetWindowTimer(mainWindow, kRetryTimer, kRetryMs);
        return false;
    }
    missingRetries = 0;
    std::vector<MergedNote> merged = MergeNotes(sharedNotes, LiveNotes(), *theirs, MergeKind::Replaced,
                                                FindEditingNote(), {StoredTimeNow(), u"別のコンピュータ"});
    const bool addsToTheirs = merged.size() != theirs->size() ||
                              std::any_of(merged.begin(), merged.end(), [](const MergedNote& n) { return !n.sameAsTheirs; });
    const bool keptRemoved = ChangesOurs(merged) && Apply(merged);
    NoteSeen(path, stamp);
    sharedNotes = SharedLiveNotes();
    // A save of ours still on its way to the disk would put an older file
    // over theirs: the merged one follows it.
    return addsToTheirs || keptRemoved || IsBeingWritten(path);
}

// Another computer's file is merged before ours replaces it, whatever
// asked for the save.
void MergeBeforeSave() { MergeDataFile(false); }

// A note whose file was not there when its record arrived gets its text
// once the file is.
void ReadArrivedTexts()
{
    for (std::int32_t i = 0; i < noteTable.count; ++i) {
        NoteRecord& note = noteTable.notes[i];
        const std::u16string name = FieldText(note.fileName);
        if (note.text || !IsNoteFileName(name)) continue;
        note.text = ReadTextFile(InData(name));
        if (note.text) RepaintNote(note.window);
    }
}

}  // namespace

void ReloadFromElsewhere()
{
    platform::KillWindowTimer(mainWindow, kRetryTimer);
    // A menu or dialog may hold a note; the reload waits until it closes.
    if (dialogBusy != 0 || menuBusy != 0) {
        platform::SetWindowTimer(mainWindow, kRetryTimer, kRetryMs);
        return;
    }
    // The data file as our own writer left it holds nothing from elsewhere
    // (and may be older than a save still on its way); texts may have
    // arrived for it.
    if (IsAsLastSeen(DataFilePath()))
        ReadArrivedTexts();
    else if (MergeDataFile(true))
        SaveDataFile();
    TakeInConflictCopies();
    TakeInLogCopies();
}

void StartKeepingInStep()
{
    platform::WatchFolder(dataFolder, mainWindow, MSG_DATA_FOLDER_CHANGED);
    lastLook = platform::StampOfFile(DataFilePath());
    platform::SetWindowTimer(mainWindow, kLookTimer, kLookMs);
    mergeBeforeSave = MergeBeforeSave;
    // The notes were read before the watch began (a slow start takes
    // seconds): what a sync engine brought in meanwhile was never reported,
    // and the look above took its stamp as the one to compare with.
    ReloadFromElsewhere();
}

void StopKeepingInStep()
{
    mergeBeforeSave = nullptr;
    platform::KillWindowTimer(mainWindow, kLookTimer);
    platform::StopWatchingFolder();
}

platform::LResult OnDataFolderChanged()
{
    if (ChangedElsewhere(platform::TakeFolderChanges()) && !ArmQuietTimers(kReloadTimers, reloadPending))
        ReloadFromElsewhere();
    return 0;
}

bool OnReloadTimer(std::uint32_t timerId)
{
    if (timerId == kLookTimer) {
        std::optional<platform::FileStamp> stamp = platform::StampOfFile(DataFilePath());
        if (stamp != std::exchange(lastLook, stamp) && !IsAsLastSeen(DataFilePath()))
            ArmQuietTimers(kReloadTimers, reloadPending);
        return true;
    }
    if (timerId != kRetryTimer && !IsQuietTimer(kReloadTimers, timerId)) return false;
    if (IsQuietTimer(kReloadTimers, timerId)) {
        platform::KillWindowTimer(mainWindow, kReloadTimers.quiet);
        platform::KillWindowTimer(mainWindow, kReloadTimers.latest);
        reloadPending = false;
    }
    ReloadFromElsewhere();
    return true;
}
