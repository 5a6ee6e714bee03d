// The batch of work waiting for the disk writer, its coalescing, and the
// writer's side of a save: commits, flushes, deletions in the crash-safe
// order (store/save_writer.h). The batch is guarded by one mutex; the
// writer takes it whole and works on its own copy.
#include "store/save_writer.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

#include "platform/writer.h"
#include "store/data_file.h"
#include "store/save_trouble.h"
#include "store/text_files.h"

namespace {

using platform::StagedFile;

struct Batch {
    std::vector<StagedFile> texts;
    std::optional<StagedFile> image;
    std::u16string imageAside;  // the name for a data file from elsewhere that ours would replace
    std::vector<std::u16string> deletions;
    std::optional<StagedFile> copy;
};

void Replace(std::optional<StagedFile>& slot, StagedFile file)
{
    if (slot) platform::DiscardStagedFile(*slot);
    slot = std::move(file);
}

void AddText(Batch& batch, StagedFile text)
{
    std::erase(batch.deletions, text.path);
    batch.texts.push_back(std::move(text));
}

void SetCopy(Batch& batch, StagedFile copy)
{
    std::erase(batch.deletions, copy.path);
    Replace(batch.copy, std::move(copy));
}

// A deletion cancels a waiting commit of the same name: that file was
// written and retired again before it ever reached the disk.
void AddDeletion(Batch& batch, std::u16string path)
{
    std::erase_if(batch.texts, [&path](const StagedFile& text) {
        if (text.path == path) platform::DiscardStagedFile(text);
        return text.path == path;
    });
    if (batch.copy && batch.copy->path == path) {
        platform::DiscardStagedFile(*batch.copy);
        batch.copy.reset();
    }
    if (std::find(batch.deletions.begin(), batch.deletions.end(), path) == batch.deletions.end())
        batch.deletions.push_back(std::move(path));
}

// What the writer state shares between the two threads.
struct Shared {
    std::mutex lock;
    Batch waiting;
    bool drainAsked = false;
    std::vector<std::u16string> running;  // the paths of the batch being written
    // What the writer last left at each path it wrote or deleted (nullopt:
    // deleted), so that the program can tell its own changes from others'.
    std::unordered_map<std::u16string, std::optional<platform::FileStamp>> left;
};
Shared shared;

void NoteLeft(const std::u16string& path, std::optional<platform::FileStamp> stamp)
{
    const std::lock_guard lock(shared.lock);
    shared.left[path] = stamp;
}

// Commits the staged file and notes what it left at its name.
bool Commit(const StagedFile& file)
{
    const std::optional<platform::FileStamp> stamp = platform::StampOfStagedFile(file);
    if (!platform::CommitStagedFile(file)) return false;
    NoteLeft(file.path, stamp);
    return true;
}

// The writer's own state, touched only by the work it runs in order.
struct WriterSide {
    bool imageOnDisk = true;  // the newest data file handed over is on disk
    bool textsOwed = false;   // a text failed; no data file until the program has heard
};
WriterSide writerSide;

struct Outcome {
    std::vector<std::u16string> failedTexts;
    bool imageFailed = false;
    bool imageHeldBack = false;  // only waits for texts an earlier batch failed
    std::vector<std::u16string> leftDeletions;
};

void CommitTexts(const std::vector<StagedFile>& texts, Outcome& outcome)
{
    for (const StagedFile& text : texts) {
        if (Commit(text)) continue;
        platform::DiscardStagedFile(text);
        outcome.failedTexts.push_back(text.path);
    }
    // The texts' new names must last before a data file can name them.
    if (!texts.empty()) platform::FlushFolderOf(texts.front());
    if (!outcome.failedTexts.empty()) writerSide.textsOwed = true;
}

// A data file that a sync engine renamed into place after ours was staged
// would be lost under ours: it keeps a second name first, that of a
// conflict copy of the data file, which the program takes in (its notes
// join ours) and then removes.
void KeepArrivalAside(const std::u16string& path, const std::u16string& aside)
{
    const std::optional<platform::FileStamp> now = platform::StampOfFile(path);
    {
        const std::lock_guard lock(shared.lock);
        const auto found = shared.left.find(path);
        if (!now || found == shared.left.end() || found->second == now) return;
    }
    platform::LinkFileAs(path, aside);
}

void CommitImage(const StagedFile& image, const std::u16string& aside, Outcome& outcome)
{
    if (!writerSide.textsOwed && !aside.empty()) KeepArrivalAside(image.path, aside);
    writerSide.imageOnDisk = !writerSide.textsOwed && Commit(image);
    if (writerSide.imageOnDisk) return platform::FlushFolderOf(image);
    platform::DiscardStagedFile(image);
    // Handed over before the program heard of an earlier batch's failed
    // texts, it may name them; a later save (which writes them again) is no
    // failure of the disk.
    if (writerSide.textsOwed && outcome.failedTexts.empty())
        outcome.imageHeldBack = true;
    else
        outcome.imageFailed = true;
}

void Delete(const std::vector<std::u16string>& deletions, Outcome& outcome)
{
    if (!writerSide.imageOnDisk) {
        outcome.leftDeletions = deletions;
        return;
    }
    for (const std::u16string& path : deletions) {
        if (!platform::DeleteFileAt(path) && platform::IsNameTaken(path))
            outcome.leftDeletions.push_back(path);
        else
            NoteLeft(path, std::nullopt);
    }
}

Outcome Write(const Batch& batch)
{
    Outcome outcome;
    CommitTexts(batch.texts, outcome);
    if (batch.image) CommitImage(*batch.image, batch.imageAside, outcome);
    Delete(batch.deletions, outcome);
    if (batch.copy && Commit(*batch.copy))
        platform::FlushFolderOf(*batch.copy);
    else if (batch.copy)
        platform::DiscardStagedFile(*batch.copy);
    return outcome;
}

std::vector<std::u16string> PathsOf(const Batch& batch)
{
    std::vector<std::u16string> paths = batch.deletions;
    for (const StagedFile& text : batch.texts) paths.push_back(text.path);
    if (batch.image) paths.push_back(batch.image->path);
    return paths;
}

// On the program's thread: the texts named are not on disk. Their notes
// write them again at the next save, and only then may a data file be
// committed again. A data file held back is saved again soon: nothing else
// would write what it held (the texts written since name no file on disk).
void HearOutcome(const Outcome& outcome)
{
    MarkNoteTextsUnwritten(outcome.failedTexts);
    if (!outcome.failedTexts.empty() || outcome.imageFailed) ReportSaveFailure();
    if (!outcome.failedTexts.empty()) platform::RunOnWriter([] { writerSide.textsOwed = false; });
    if (outcome.imageHeldBack) RequestDataFileSave();
}

void Drain()
{
    Batch batch;
    {
        const std::lock_guard lock(shared.lock);
        batch = std::exchange(shared.waiting, Batch{});
        shared.drainAsked = false;
        shared.running = PathsOf(batch);
    }
    Outcome outcome = Write(batch);
    {
        const std::lock_guard lock(shared.lock);
        shared.running.clear();
        // Deletions still owed come before whatever was handed over since.
        Batch later = std::exchange(shared.waiting, Batch{});
        for (std::u16string& path : outcome.leftDeletions) AddDeletion(shared.waiting, std::move(path));
        for (std::u16string& path : later.deletions) AddDeletion(shared.waiting, std::move(path));
        for (StagedFile& text : later.texts) AddText(shared.waiting, std::move(text));
        if (later.image) {
            shared.waiting.image = std::move(later.image);
            shared.waiting.imageAside = std::move(later.imageAside);
        }
        if (later.copy) SetCopy(shared.waiting, std::move(*later.copy));
    }
    if (!outcome.failedTexts.empty() || outcome.imageFailed || outcome.imageHeldBack)
        platform::RunOnMainThread([outcome = std::move(outcome)] { HearOutcome(outcome); });
}

// Changes the waiting batch and has the writer drain it, once.
template <typename Change>
void HandOver(Change change)
{
    bool ask = false;
    {
        const std::lock_guard lock(shared.lock);
        change(shared.waiting);
        ask = !std::exchange(shared.drainAsked, true);
    }
    if (ask) platform::RunOnWriter(Drain);
}

}  // namespace

void HandOverNoteText(platform::StagedFile text)
{
    HandOver([&text](Batch& batch) { AddText(batch, std::move(text)); });
}

void HandOverDataFile(platform::StagedFile image, std::vector<std::u16string> deletions, std::u16string aside)
{
    HandOver([&](Batch& batch) {
        Replace(batch.image, std::move(image));
        batch.imageAside = std::move(aside);
        for (std::u16string& path : deletions) AddDeletion(batch, std::move(path));
    });
}

void HandOverEditCopy(platform::StagedFile copy)
{
    HandOver([&copy](Batch& batch) { SetCopy(batch, std::move(copy)); });
}

void HandOverDeletion(std::u16string path)
{
    HandOver([&path](Batch& batch) { AddDeletion(batch, std::move(path)); });
}

bool IsBeingWritten(const std::u16string& path)
{
    const std::lock_guard lock(shared.lock);
    const std::vector<std::u16string> waiting = PathsOf(shared.waiting);
    return std::find(waiting.begin(), waiting.end(), path) != waiting.end() ||
           std::find(shared.running.begin(), shared.running.end(), path) != shared.running.end();
}

bool IsAsLastSeen(const std::u16string& path)
{
    std::optional<std::optional<platform::FileStamp>> left;
    {
        const std::lock_guard lock(shared.lock);
        const auto found = shared.left.find(path);
        if (found != shared.left.end()) left = found->second;
    }
    return left && *left == platform::StampOfFile(path);
}

void NoteSeen(const std::u16string& path, std::optional<platform::FileStamp> stamp) { NoteLeft(path, stamp); }

void FinishSaves() { platform::FinishWriter(); }
