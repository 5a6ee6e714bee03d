// The cost of one key's growth estimate on the desktop backend: every key in
// the editor copies the editor's whole text and measures it line by line
// (EstimateKeyGrowth), and GrowNoteForKey adds the note's and the editor's
// move when the estimate grows the note. Texts of 100, 1,000 and 10,000
// characters, 40 to a line, with the caret at the end, where each key types
// a letter.
//
//   key_growth [keys per text]      (run on a desktop, or QT_QPA_PLATFORM=offscreen)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "edit/auto_size.h"
#include "platform/editor.h"
#include "platform/font.h"
#include "platform/system.h"
#include "platform/window.h"
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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const int keys = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    platform::InitPlatform(argc, argv);
    platform::RegisterWindowClass(u"BENCH", 0, platform::DefaultWindowProc);
    const platform::WindowHandle note = platform::CreateAppWindow(u"BENCH", u"bench", {100, 100, 500, 400});
    platform::ShowAppWindow(note, platform::sw::ShowNormal);
    platform::FontDescription description;
    description.height = -16;
    const std::u16string face = u"DejaVu Sans";
    std::copy(face.begin(), face.end(), description.faceName.begin());
    const platform::FontHandle font = platform::CreateFontObject(description);
    const platform::WindowHandle editor = platform::CreateEditorControl(note, 139, {5, 5, 395, 295}, font);

    AllocNoteTable();
    noteTable.count = 1;
    noteTable.notes[0].window = note;
    noteTable.notes[0].editWindow = editor;
    noteTable.notes[0].fontHandle = font;

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
        const double first = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        // Then each key types a letter into the last line, so that one line
        // is new to every estimate, as while typing.
        std::vector<double> estimate, grow;
        for (int i = 0; i < keys; ++i) {
            platform::SendWindowMessage(editor, platform::wm::Char, u'a', 1);
            start = Clock::now();
            EstimateKeyGrowth(editor, note, 'A', rect);
            estimate.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            platform::SendWindowMessage(editor, platform::wm::Char, u'a', 1);
            start = Clock::now();
            GrowNoteForKey(editor, 'A');
            grow.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        const auto lines = std::count(text.begin(), text.end(), u'\n') + 1;
        std::printf("%8zu %8ld %12.3f %22.3f %22.3f\n", text.size(), static_cast<long>(lines), first,
                    Median(estimate), Median(grow));
    }
    return 0;
}
