// The crash driver: the program's own start-up, store and commands on the
// headless backend with real files, running saves, pastes, imports, cuts,
// peels (with and without the log), edits and new notes in a loop until it
// is killed. Before each operation it writes what the operation will leave on
// disk to the journal, so the checker can tell the states a kill may leave
// from those it must never leave. The disk writer has its own thread, as on
// the desktop: an operation is done once the writer is idle again, so a
// kill may land while its flushes are pending (the harness can make them
// slow).
//
//   crash_driver <program folder> <seed>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/startup.h"
#include "crash_texts.h"
#include "platform/files.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_menus.h"
#include "platform/testing/inspect.h"
#include "platform/text.h"
#include "platform/window.h"
#include "platform/writer.h"
#include "store/app_state.h"
#include "store/messages.h"
#include "store/records.h"

namespace {

constexpr int kMostNotes = 12;

std::filesystem::path folder;
int journal = -1;
std::mt19937 chance;
int nextGeneration = 1;

void Note(const std::string& line)
{
    const std::string text = line + "\n";
    if (::write(journal, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::exit(3);
}

int IdOf(const NoteRecord& note) { return crash::IdOfCreated(FieldText(note.created)).value_or(-1); }

int GenerationOf(const NoteRecord& note)
{
    if (!note.text || note.text->empty()) return crash::kNoText;
    const auto stamp = crash::CheckText(*note.text);
    return stamp ? stamp->generation : crash::kNoText;
}

// The journal starts afresh with what the program loaded, which the checker
// has found whole; it replaces the old one only once it is complete.
void StartJournal()
{
    const std::filesystem::path path = folder / "journal.txt", temp = folder / "journal.tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (std::int32_t i = 0; i < noteTable.count; ++i) {
            const NoteRecord& note = noteTable.notes[i];
            out << "S " << IdOf(note) << ' ' << GenerationOf(note) << '\n';
            nextGeneration = std::max(nextGeneration, GenerationOf(note) + 1);
        }
    }
    std::filesystem::rename(temp, path);
    journal = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (journal < 0) std::exit(3);
}

void Run(platform::WindowHandle window, std::uint32_t command, platform::LParam origin)
{
    PostCommand(window, command, origin);
    platform::PumpMessages();
}

void Begin(const std::string& kind, int id, int generation)
{
    Note("B " + kind + " " + std::to_string(id) + " " + std::to_string(generation));
}

// Ids never repeat, also across runs: each run takes its own thousand.
int nextId = 0;
int lastIdOfRun = 0;

void NewNote()
{
    if (nextId > lastIdOfRun) {
        Begin("save", 0, crash::kNoText);
        return Run(mainWindow, CMD_SAVE_DATA, 0);
    }
    const int id = nextId++;
    Begin("new", id, crash::kNoText);
    sim::SetLocalTime(crash::TimeOfId(id));
    Run(mainWindow, CMD_NEW_NOTE, 0);
    Run(mainWindow, CMD_SAVE_DATA, 0);
}

void GiveText(const NoteRecord& note, bool byImport)
{
    const int generation = nextGeneration++;
    const std::u16string text = crash::MakeText(IdOf(note), generation, chance);
    const platform::WindowHandle window = note.window;
    if (byImport) {
        const std::string bytes = platform::ToTextFile(text);
        std::ofstream(folder / "import.txt", std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
        sim::QueueFileDialogAnswer(platform::FromUtf8((folder / "import.txt").string()));
    } else {
        sim::SetClipboardContent(text);
    }
    Begin(byImport ? "import" : "paste", IdOf(note), generation);
    Run(window, byImport ? CMD_LOAD_FROM_FILE : CMD_PASTE, 1);
}

// The note's text replaced in its editor: in the recovery copy first ("C"),
// then stored as the edit ends.
void Edit(const NoteRecord& note)
{
    const int id = IdOf(note), generation = nextGeneration++;
    const platform::WindowHandle window = note.window;
    sim::SetClipboardContent(crash::MakeText(id, generation, chance));
    Begin("edit", id, generation);
    Run(window, CMD_EDIT_DIRECT, 1);
    platform::DeliverKeyStroke(platform::GetKeyboardFocus(), 'A', platform::mod::Control);
    platform::DeliverKeyStroke(platform::GetKeyboardFocus(), 'V', platform::mod::Control);
    platform::PumpMessagesFor(1000);  // past the copy's latest moment
    platform::WaitForWriterIdle();
    Note("C");
    platform::PostWindowMessage(window, MSG_END_EDIT, 0, 0);
    platform::PumpMessages();
}

void OneOperation()
{
    if (noteTable.count == 0) return NewNote();
    const NoteRecord& note = noteTable.notes[chance() % static_cast<std::uint32_t>(noteTable.count)];
    const int id = IdOf(note);
    switch (chance() % 11) {
    case 0:
        if (noteTable.count < kMostNotes) return NewNote();
        [[fallthrough]];
    case 4: Begin("save", id, GenerationOf(note)); return Run(note.window, CMD_SAVE_DATA, 0);
    case 1: Begin("peel", id, crash::kNoText); return Run(note.window, CMD_PEEL, 1);
    case 2: Begin("peellog", id, crash::kNoText); return Run(note.window, CMD_PEEL_LOGGED, 1);
    case 3: Begin("cut", id, crash::kNoText); return Run(note.window, CMD_CUT, 1);
    case 5:
    case 6: return GiveText(note, true);
    case 10: return Edit(note);
    default: return GiveText(note, false);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <program folder> <seed>\n", argv[0]);
        return 2;
    }
    folder = argv[1];
    const unsigned long seed = std::strtoul(argv[2], nullptr, 10);
    chance.seed(static_cast<std::uint32_t>(seed));
    nextId = static_cast<int>(seed % 100000 + 1) * 1000;
    lastIdOfRun = nextId + 999;
    platform::InitPlatform(argc, argv);
    platform::StartWriterThread();
    sim::SetModulePath(platform::FromUtf8((folder / "cevelmo").string()));
    int exitCode = 0;
    if (!StartApp(exitCode)) return 4;
    platform::PumpMessages();
    StartJournal();
    for (;;) {
        OneOperation();
        platform::WaitForWriterIdle();
        platform::PumpMessages();  // what the writer had to tell
        Note("E");
    }
}
