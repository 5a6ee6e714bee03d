// The note store's costs that grow with the number of notes: writing the
// data file (flushed to the disk before it replaces the old one) and the
// start-up's reading of the data file with every note's text file, from the
// page cache and from the disk.
//
//   bench_store [--benchmark_repetitions=N ...]
//
// The files lie in a fresh folder under $TMPDIR (or /tmp): the disk there is
// the disk measured.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/text.h"
#include "store/data_file.h"
#include "store/paths.h"
#include "store/records.h"

namespace {

namespace fs = std::filesystem;

// Notes as a long-time user has them: a few lines each, every third one in
// Japanese, some of those stored in Shift JIS by older copies of the data.
const char* const kTexts[] = {
    "Buy milk\nCall the office at 3",
    "会議の資料を印刷する\n午後三時までに",
    "Release checklist:\n- tag\n- build\n- upload",
    "Ideas for the weekend",
    "電話番号: 03-1234-5678\n田中さん",
    "TODO: renew the passport",
};

// The UTF-8 text in Shift JIS.
std::string ToShiftJis(const std::string& utf8)
{
    iconv_t cd = ::iconv_open("CP932", "UTF-8");
    std::string in = utf8;
    std::string out(in.size() * 2 + 8, '\0');
    char* from = in.data();
    char* to = out.data();
    std::size_t left = in.size(), room = out.size();
    ::iconv(cd, &from, &left, &to, &room);
    ::iconv_close(cd);
    out.resize(out.size() - room);
    return out;
}

class Store {
public:
    explicit Store(int notes)
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/cevelmo-bench-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        folder_ = pattern;
        if (!InitPaths(platform::FromUtf8(folder_.string() + "/cevelmo"))) std::abort();
        fs::create_directory(folder_ / "Data");
        noteSettings = NoteSettings{};
        noteTable = NoteTable{};
        AllocNoteTable();
        GrowNoteTable((notes / 4 + 1) * 4);
        for (int i = 0; i < notes; ++i) AddNote(i);
        noteTable.count = notes;
    }
    ~Store() { fs::remove_all(folder_); }

    // Loads the store as a start-up does; the windows are never made.
    int Load()
    {
        noteTable = NoteTable{};
        AllocNoteTable();
        return LoadDataFile();
    }

    // Has the kernel drop the store's files from its cache (they are written
    // out first), so that the next read comes from the disk.
    void Evict() const
    {
        for (const auto& entry : fs::directory_iterator(folder_ / "Data")) {
            const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            ::fdatasync(fd);
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }

private:
    void AddNote(int i)
    {
        NoteRecord& note = noteTable.notes[static_cast<std::size_t>(i)];
        note.bounds = platform::Rect{10 + i % 6 * 200, 10 + i / 6 % 10 * 68, 170 + i % 6 * 200, 70 + i / 6 % 10 * 68};
        note.zLevel = -2;
        note.shown = kNoteShown;
        note.backColor = 0x00D0FFFF;
        note.font.height = -16;
        SetFieldText(note.font.faceName, u"DejaVu Sans");
        SetFieldText(note.created, u"2024/05/06 07:08:09");
        char name[32];
        std::snprintf(name, sizeof name, "VLM%05d.txt", i);
        SetFieldText(note.fileName, platform::FromUtf8(name));
        const std::string text = std::string(kTexts[i % 6]) + "\n#" + std::to_string(i);
        note.text = platform::FromUtf8(text);
        const bool shiftJis = (i % 6 == 1 || i % 6 == 4) && i % 2 == 1;
        std::ofstream(folder_ / "Data" / name, std::ios::binary) << (shiftJis ? ToShiftJis(text) : text);
    }

    fs::path folder_;
};

// One save of the data file: the image, written to a new file, flushed to
// the disk, renamed over the old one, and the folder flushed.
void SaveDataFileWithNotes(benchmark::State& state)
{
    Store store(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!SaveDataFile()) state.SkipWithError("the data file was not written");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(SaveDataFileWithNotes)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The start-up's reading: the data file and every note's text file, decoded.
void LoadNotesFromCache(benchmark::State& state)
{
    Store store(static_cast<int>(state.range(0)));
    SaveDataFile();
    for (auto _ : state) {
        if (!store.Load() || noteTable.pendingCount != state.range(0)) state.SkipWithError("the store did not load");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(LoadNotesFromCache)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same after the files have left the page cache, as at the first start
// after logging in.
void LoadNotesFromDisk(benchmark::State& state)
{
    Store store(static_cast<int>(state.range(0)));
    SaveDataFile();
    for (auto _ : state) {
        state.PauseTiming();
        store.Evict();
        state.ResumeTiming();
        if (!store.Load() || noteTable.pendingCount != state.range(0)) state.SkipWithError("the store did not load");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(LoadNotesFromDisk)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
