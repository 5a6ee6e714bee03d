// The cost of a change from another computer: 1,000 notes with their
// windows, and another computer's data file in which one note's text
// changed, arriving as a sync engine writes it (the text file, then the
// data file, each by rename). Measured: the processor time of the program's
// thread from the reload to the windows painted again (reading the data
// file and every text it names, the merge, the one window changed).
//
//   sync_reload_bench [notes] [changes]   (on a desktop, or QT_QPA_PLATFORM=offscreen)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/sync_reload.h"
#include "platform/system.h"
#include "platform/testing/inspect.h"
#include "platform/text.h"
#include "store/data_file.h"
#include "store/paths.h"
#include "store/record_codec.h"
#include "store/records.h"
#include "store/save_writer.h"

namespace {

namespace fs = std::filesystem;

double ThreadMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

void Arrive(const fs::path& folder, const std::string& name, const std::string& bytes)
{
    const fs::path temp = folder / (".syncthing." + name + ".tmp");
    std::ofstream(temp, std::ios::binary) << bytes;
    fs::rename(temp, folder / name);
}

std::string Image(const std::vector<NoteRecord>& notes)
{
    std::string image(8 + kSettingsBytes + notes.size() * kRecordBytes, '\0');
    auto* bytes = reinterpret_cast<std::uint8_t*>(image.data());
    const auto word = [bytes](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    word(0, 1);
    EncodeSettings(noteSettings, std::span<std::uint8_t, kSettingsBytes>(bytes + 4, kSettingsBytes));
    word(4 + kSettingsBytes, static_cast<std::uint32_t>(notes.size()));
    for (std::size_t i = 0; i < notes.size(); ++i)
        EncodeRecord(notes[i], std::span<std::uint8_t, kRecordBytes>(bytes + 8 + kSettingsBytes + i * kRecordBytes,
                                                                      kRecordBytes));
    return image;
}

// Notes in a grid, a few lines of text each, stored as the program stores them.
void StoreNotes(int count)
{
    AllocNoteTable();
    GrowNoteTable((count / 4 + 1) * 4);
    for (int i = 0; i < count; ++i) {
        NoteRecord& note = noteTable.notes[i];
        const int x = 20 + (i % 40) * 24, y = 40 + (i / 40) * 24;
        note.bounds = {x, y, x + 160, y + 60};
        note.zLevel = -2;
        note.shown = 1;
        note.backColor = 0x00A6F0CA;
        note.font = noteSettings.defaultFont;
        SetFieldText(note.created, platform::FromUtf8("2026/01/01 00:" + std::to_string(i / 60 % 60 + 10) + ":" +
                                                      std::to_string(i % 60 + 10)));
        note.text = platform::FromUtf8("Note " + std::to_string(i) + "\r\n付箋紙のテスト\r\nthird line");
        note.textUnsaved = true;
    }
    noteTable.count = count;
    SaveDataFile();
    FinishSaves();
    noteTable = NoteTable{};
}

}  // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int changes = argc > 2 ? std::atoi(argv[2]) : 20;
    platform::InitPlatform(argc, argv);
    const fs::path folder = fs::temp_directory_path() / ("cevelmo-sync-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder / "Data");
    InitPaths(platform::FromUtf8((folder / "cevelmo").string()));
    InitDefaultSettings();
    StoreNotes(count);
    AllocNoteTable();
    if (LoadDataFile() == 0 || !RegisterNoteClass() || CreateMainWindow(platform::sw::Show) == 0) return 1;
    StartKeepingInStep();
    platform::PumpMessagesFor(8000);  // every window mapped and painted first

    std::vector<double> times;
    for (int n = 0; n < changes; ++n) {
        std::vector<NoteRecord> theirs = LiveNotes();
        NoteRecord& changed = theirs[static_cast<std::size_t>(count / 2)];
        const std::string name = n % 2 == 0 ? "VLM90000.txt" : "VLM90001.txt";
        SetFieldText(changed.fileName, platform::FromUtf8(name));
        Arrive(folder / "Data", name, "changed elsewhere " + std::to_string(n));
        Arrive(folder / "Data", "CeVlmDat.bin", Image(theirs));
        const double start = ThreadMilliseconds();
        ReloadFromElsewhere();
        platform::PumpMessages();
        times.push_back(ThreadMilliseconds() - start);
        const std::u16string expected = platform::FromUtf8("changed elsewhere " + std::to_string(n));
        if (noteTable.notes[static_cast<std::size_t>(count / 2)].text != expected) {
            std::fprintf(stderr, "the change was not applied\n");
            return 1;
        }
        platform::PumpMessagesFor(400);  // the watch's own message for what arrived
    }
    std::printf("each change (ms):");
    for (const double t : times) std::printf(" %.1f", t);
    std::sort(times.begin(), times.end());
    std::printf("\n%d notes, one changed elsewhere: %.1f ms median, %.1f ms slowest of %d (processor time)\n",
                count, times[times.size() / 2], times.back(), changes);
    ShutdownApp();
    fs::remove_all(folder);
    platform::EndPlatform();
    return 0;
}
