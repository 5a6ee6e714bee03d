// The cost of keys in the editor on the desktop backend. First one key's
// growth estimate: every key in the editor copies the editor's whole text
// and measures it line by line (EstimateKeyGrowth), and GrowNoteForKey adds
// the note's and the editor's move when the estimate grows the note. Texts
// of 100, 1,000 and 10,000 characters, 40 to a line, with the caret at the
// end, where each key types a letter. Then a note edited as the program
// edits it: the paste of a megabyte into an empty note, and whole keys at
// the end of that text (the editor's procedure with the growth, the
// control's own typing and the repaint).
//
//   key_growth [keys per text [keys at the end of the megabyte]]
//                                   (run on a desktop, or QT_QPA_PLATFORM=offscreen)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "edit/auto_size.h"
#include "edit/editor.h"
#include "platform/clipboard.h"
#include "platform/editor.h"
#include "platform/font.h"
#include "platform/testing/inspect.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "platform/writer.h"
#include "store/app_state.h"
#include "store/edit_recovery.h"
#include "store/records.h"

namespace {

using Clock = std::chrono::steady_clock;

// A text of `length` characters: lines of 38 characters and a CR LF, each
// line different (numbered) so that none is measured twice by chance.
std::u16string MakeText(std::size_t length)
{
    const std::u16string words = u"The quick brown fox jumps over the dog";
    std::u16string text;
    for (std::size_t n = 0; text.size() < length; ++n) {
        std::u16string line;
        for (const char c : std::to_string(length) + "/" + std::to_string(n) + " ") line += static_cast<char16_t>(c);
        line += words.substr(0, 38 - line.size());
        text += line + u"\r\n";
    }
    text.resize(length);
    return text;
}

// A megabyte of lines as a user's long note has them: 78 characters of
// Japanese and ASCII, each line different, the last one as long as the
// others, so that a key at the end widens the note.
std::u16string MakeMegabyte()
{
    std::u16string text;
    for (int n = 0; text.size() < 1000000; ++n) {
        std::u16string line = u"付箋紙のテスト line ";
        for (const char c : std::to_string(n)) line += static_cast<char16_t>(c);
        line.resize(78, u'x');
        text += (n > 0 ? u"\r\n" : u"") + line;
    }
    return text;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Milliseconds(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

double ProcessorMilliseconds() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void EstimateTable(platform::WindowHandle note, platform::FontHandle font, int keys)
{
    const platform::WindowHandle editor = platform::CreateEditorControl(note, 139, {5, 5, 395, 295}, font);
    noteTable.notes[0].editWindow = editor;
    std::printf("%8s %8s %12s %22s %22s\n", "chars", "lines", "first key", "EstimateKeyGrowth", "GrowNoteForKey");
    std::printf("%8s %8s %12s %22s %22s\n", "", "", "(ms)", "(ms, median)", "(ms, median)");
    for (const std::size_t length : {100u, 1000u, 10000u}) {
        const std::u16string text = MakeText(length);
        platform::SetEditorText(editor, text);
        platform::SendWindowMessage(editor, platform::em::SetSelection, text.size(),
                                    static_cast<platform::LParam>(text.size()));
        // The first key after the text is set meets every line for the first time.
        platform::Rect rect;
        auto start = Clock::now();
        EstimateKeyGrowth(editor, note, 'A', rect);
        const double first = Milliseconds(start);
        // Then each key types a letter into the last line, so that one line
        // is new to every estimate, as while typing.
        std::vector<double> estimate, grow;
        for (int i = 0; i < keys; ++i) {
            platform::SendWindowMessage(editor, platform::wm::Char, u'a', 1);
            start = Clock::now();
            EstimateKeyGrowth(editor, note, 'A', rect);
            estimate.push_back(Milliseconds(start));
            platform::SendWindowMessage(editor, platform::wm::Char, u'a', 1);
            start = Clock::now();
            GrowNoteForKey(editor, 'A');
            grow.push_back(Milliseconds(start));
        }
        const auto lines = std::count(text.begin(), text.end(), u'\n') + 1;
        std::printf("%8zu %8ld %12.3f %22.3f %22.3f\n", text.size(), static_cast<long>(lines), first,
                    Median(estimate), Median(grow));
    }
    platform::DestroyAppWindow(editor);
    noteTable.notes[0].editWindow = 0;
}

// The program's editor over an empty note: a megabyte pasted into it, then
// keys typed at the end of the text.
void MegabyteNote(platform::WindowHandle note, int keys)
{
    const std::u16string text = MakeMegabyte();
    // The estimates above widened the note; from its first size, every key
    // at the end of the longest line widens it again.
    platform::MoveAppWindow(note, {100, 100, 500, 400}, true);
    noteTable.notes[0].text = u"";
    const platform::WindowHandle editor = OpenNoteEditor(note);
    platform::PumpMessages();
    platform::SetClipboardText(text);
    auto start = Clock::now();
    double processor = ProcessorMilliseconds();
    platform::DeliverKeyStroke(editor, 'V', platform::mod::Control);
    platform::PumpMessages();
    std::printf("\n%zu characters pasted into an empty note, until repainted: %.0f ms (processor %.0f ms)\n",
                text.size(), Milliseconds(start), ProcessorMilliseconds() - processor);
    std::vector<double> times;
    processor = ProcessorMilliseconds();
    for (int i = 0; i < keys; ++i) {
        start = Clock::now();
        platform::DeliverKeyStroke(editor, 'A', 0);
        platform::PumpMessages();
        times.push_back(Milliseconds(start));
    }
    std::printf("a key at its end, until repainted: median %.2f ms, slowest %.2f ms, processor %.2f ms per key\n",
                Median(times), *std::max_element(times.begin(), times.end()),
                (ProcessorMilliseconds() - processor) / keys);
    // The keys came faster than the copy's timers: what they typed is
    // copied once, as after a pause in the typing.
    start = Clock::now();
    processor = ProcessorMilliseconds();
    WriteEditRecoveryCopy();
    std::printf("the recovery copy of that text: %.2f ms (processor %.2f ms)\n", Milliseconds(start),
                ProcessorMilliseconds() - processor);
}

// The timers of the recovery copy of an open edit run on the main window,
// as in the program; without one it would be written at every key.
platform::LResult BenchMainProc(platform::WindowHandle window, std::uint32_t message, platform::WParam wParam,
                      platform::LParam lParam)
{
    if (message == platform::wm::Timer && OnEditRecoveryTimer(static_cast<std::uint32_t>(wParam))) return 0;
    return platform::DefaultWindowProc(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv)
{
    const int keys = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int megabyteKeys = argc > 2 ? std::max(1, std::atoi(argv[2])) : std::min(keys, 20);
    platform::InitPlatform(argc, argv);
    platform::RegisterWindowClass(u"BENCH", 0, platform::DefaultWindowProc);
    platform::RegisterWindowClass(u"BENCH_MAIN", 0, BenchMainProc);
    mainWindow = platform::CreateAppWindow(u"BENCH_MAIN", u"bench main", {0, 0, 10, 10});
    // The recovery copy goes to a folder of its own, on the writer thread.
    std::string folder = (std::filesystem::temp_directory_path() / "key_growth.XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) return 1;
    dataFolder = platform::FromUtf8(folder);
    platform::StartWriterThread();
    const platform::WindowHandle note = platform::CreateAppWindow(u"BENCH", u"bench", {100, 100, 500, 400});
    platform::ShowAppWindow(note, platform::sw::ShowNormal);
    platform::FontDescription description;
    description.height = -16;
    const std::u16string face = u"DejaVu Sans";
    std::copy(face.begin(), face.end(), description.faceName.begin());
    const platform::FontHandle font = platform::CreateFontObject(description);

    AllocNoteTable();
    noteTable.count = 1;
    noteTable.notes[0].window = note;
    noteTable.notes[0].fontHandle = font;
    noteTable.notes[0].bounds = platform::GetWindowBounds(note);

    EstimateTable(note, font, keys);
    MegabyteNote(note, megabyteKeys);
    platform::FinishWriter();
    std::filesystem::remove_all(folder);
    return 0;
}
