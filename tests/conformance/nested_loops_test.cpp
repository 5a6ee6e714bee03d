// The nested loops of popup menus, message boxes and the common dialogs:
// while one is open, posted messages keep arriving in posting order, also
// those posted from inside the loop; closing one as the Escape key does
// gives its "nothing chosen" result. And the quit message, which ends the
// main loop in its place in the queue.
#include <array>
#include <functional>

#include "platform/dialogs.h"
#include "platform/menu.h"
#include "platform/system.h"
#include "recording_window.h"

namespace conformance {
namespace {

constexpr std::uint32_t kOpen = wm::User + 10;   // opens an inner box
constexpr std::uint32_t kWork = wm::User + 11;   // posts kMore twice
constexpr std::uint32_t kMore = wm::User + 12;
constexpr std::uint32_t kClose = wm::User + 13;  // closes the innermost loop
constexpr std::uint32_t kAfter = wm::User + 14;  // logged after the inner box returned
constexpr std::uint32_t kChoose = wm::User + 15;  // chooses the menu's command wParam, or closes the menu
constexpr std::uint32_t kAnswer = wm::User + 16;  // answers the box with wParam, or closes the box
constexpr std::uint32_t kLoseFocus = wm::User + 17;  // the focus lost late, then kChoose with wParam

class NestedLoops : public PlatformTest {
protected:
    // kWork posts kMore twice and then kClose; kClose closes the innermost
    // loop; kOpen opens an inner Yes/No box (closed by the kClose it posts
    // first), logs kAfter once it returned, and posts kClose for the outer one.
    WindowHandle MakeWorker()
    {
        const WindowHandle w = MakeWindow();
        SetHandler([this](WindowHandle window, std::uint32_t message, WParam wParam, LParam) -> std::optional<LResult> {
            switch (message) {
            case kWork:
                PostWindowMessage(window, kMore, 1, 0);
                PostWindowMessage(window, kMore, 2, 0);
                PostWindowMessage(window, kClose, 0, 0);
                return 0;
            case kClose: CloseMenuOrDialog(); return 0;
            case kLoseFocus:
                DeliverLateFocusLoss();
                PostWindowMessage(window, kChoose, wParam, 0);
                return 0;
            case kChoose:
            case kAnswer:
                given_.push_back(message == kChoose ? ChooseMenuItem(static_cast<std::uint32_t>(wParam))
                                                    : AnswerMessageBox(static_cast<int>(wParam)));
                if (!given_.back()) CloseMenuOrDialog();
                return 0;
            case kOpen:
                PostWindowMessage(window, kClose, 0, 0);
                answers_.push_back(ShowMessageBox(u"inner", u"付箋紙", mb::YesNo));
                Log().push_back({window, kAfter, 0, 0});
                PostWindowMessage(window, kClose, 0, 0);
                return 0;
            default: return std::nullopt;
            }
        });
        return w;
    }

    // What a loop opened with kWork posted must have delivered before it
    // returned.
    static std::vector<Received> WorkDone(WindowHandle w)
    {
        return {{w, kWork, 0, 0}, {w, kMore, 1, 0}, {w, kMore, 2, 0}, {w, kClose, 0, 0}};
    }

    std::vector<int> answers_;
    std::vector<bool> given_;  // whether each kChoose or kAnswer was taken
};

MenuHandle MenuOfTwo()
{
    const MenuHandle menu = CreatePopupMenuHandle();
    EXPECT_TRUE(AppendMenuItem(menu, mf::Plain, 5, u"five"));
    EXPECT_TRUE(AppendMenuItem(menu, mf::Grey, 6, u"six"));
    return menu;
}

TEST_F(NestedLoops, AnOpenMenuDeliversPostedMessagesAndClosesWithNothingChosen)
{
    const WindowHandle w = MakeWorker();
    const MenuHandle menu = MenuOfTwo();
    for (const std::uint32_t flags : {tpm::ReturnCommand, tpm::RightAlign | tpm::BottomAlign}) {
        SCOPED_TRACE(flags);
        Log().clear();
        PostWindowMessage(w, kWork, 0, 0);
        EXPECT_EQ(TrackPopupMenuAt(menu, flags, Point{200, 200}, w), 0);
        EXPECT_EQ(PrivateMessages(), WorkDone(w));
        PumpMessages();
        EXPECT_TRUE(ReceivedBy(w, wm::Command).empty()) << "a closed menu posted a choice";
    }
    EXPECT_TRUE(DestroyMenuHandle(menu));
}

// What the user chooses at an open menu is what it gives: a command, also
// one inside a submenu, but never a grey one nor one it does not hold.
TEST_F(NestedLoops, AMenuGivesTheCommandChosen)
{
    const WindowHandle w = MakeWorker();
    const MenuHandle menu = MenuOfTwo();
    const MenuHandle sub = CreatePopupMenuHandle();
    ASSERT_TRUE(AppendMenuItem(sub, mf::Plain, 7, u"seven"));
    ASSERT_TRUE(AppendMenuItem(menu, mf::Submenu, sub, u"sub"));
    struct Case {
        std::uint32_t id;
        bool chosen;
    };
    for (const Case c : {Case{5, true}, Case{7, true}, Case{6, false}, Case{8, false}}) {
        SCOPED_TRACE(c.id);
        given_.clear();
        PostWindowMessage(w, kChoose, c.id, 0);
        EXPECT_EQ(TrackPopupMenuAt(menu, tpm::ReturnCommand, Point{200, 200}, w), c.chosen ? static_cast<int>(c.id) : 0);
        EXPECT_EQ(given_, std::vector<bool>{c.chosen});
    }
    // Without ReturnCommand the owner hears the choice as a command.
    Log().clear();
    PostWindowMessage(w, kChoose, 7, 0);
    EXPECT_EQ(TrackPopupMenuAt(menu, 0, Point{200, 200}, w), 1);
    PumpMessages();
    EXPECT_EQ(ReceivedBy(w, wm::Command), (std::vector<Received>{{w, wm::Command, 7, 0}}));
    EXPECT_TRUE(DestroyMenuHandle(menu));
    EXPECT_TRUE(DestroyMenuHandle(sub));
}

// A late word that the program lost the focus (a note hidden while focused)
// reaches the open menu before the user touched it, who still chooses.
TEST_F(NestedLoops, AMenuOutlivesALateFocusLoss)
{
    const WindowHandle w = MakeWorker();
    const MenuHandle menu = MenuOfTwo();
    PostWindowMessage(w, kLoseFocus, 5, 0);
    EXPECT_EQ(TrackPopupMenuAt(menu, tpm::ReturnCommand, Point{200, 200}, w), 5);
    EXPECT_EQ(given_, std::vector<bool>{true});
    EXPECT_TRUE(DestroyMenuHandle(menu));
}

// A box gives the answer of the button clicked; an answer it has no button
// for cannot be given, and the box stays open until Escape closes it.
TEST_F(NestedLoops, AMessageBoxGivesTheAnswerOfTheButtonClicked)
{
    const WindowHandle w = MakeWorker();
    struct Case {
        std::uint32_t style;
        int clicked;
        int answer;
    };
    const Case cases[] = {
        {mb::Ok, id::Ok, id::Ok},
        {mb::YesNo | mb::IconQuestion, id::Yes, id::Yes},
        {mb::YesNoCancel | mb::IconQuestion, id::No, id::No},
        {mb::YesNo | mb::IconQuestion, id::Cancel, id::No},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clicked);
        given_.clear();
        PostWindowMessage(w, kAnswer, static_cast<WParam>(c.clicked), 0);
        EXPECT_EQ(ShowMessageBox(u"conformance", u"付箋紙", c.style), c.answer);
        EXPECT_EQ(given_, std::vector<bool>{c.clicked == c.answer});
    }
}

TEST_F(NestedLoops, MessageBoxesGiveTheirEscapeAnswers)
{
    const WindowHandle w = MakeWorker();
    struct Case {
        std::uint32_t style;
        int answer;
    };
    const Case cases[] = {
        {mb::Ok | mb::IconExclamation | mb::SetForeground, id::Ok},
        {mb::YesNo | mb::IconQuestion, id::No},
        {mb::YesNoCancel | mb::IconQuestion | mb::SetForeground, id::Cancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        Log().clear();
        PostWindowMessage(w, kWork, 0, 0);
        EXPECT_EQ(ShowMessageBox(u"conformance", u"付箋紙", c.style), c.answer);
        EXPECT_EQ(PrivateMessages(), WorkDone(w));
    }
}

// A box opened from a message delivered by another box's loop runs its own
// loop; the outer one goes on only after the inner one returned.
TEST_F(NestedLoops, ABoxInsideABoxReturnsFirst)
{
    const WindowHandle w = MakeWorker();
    PostWindowMessage(w, kOpen, 0, 0);
    answers_.push_back(ShowMessageBox(u"outer", u"付箋紙", mb::YesNoCancel));
    EXPECT_EQ(answers_, (std::vector<int>{id::No, id::Cancel}));
    const std::vector<Received> expected = {
        {w, kOpen, 0, 0}, {w, kClose, 0, 0}, {w, kAfter, 0, 0}, {w, kClose, 0, 0}};
    EXPECT_EQ(PrivateMessages(), expected);
}

TEST_F(NestedLoops, DialogsDeliverPostedMessagesAndCloseCancelled)
{
    const WindowHandle w = MakeWorker();
    std::array<std::uint32_t, kCustomColorCount> custom{};
    custom.fill(0x00123456);
    const std::array<std::uint32_t, kCustomColorCount> before = custom;
    const std::function<bool()> dialogs[] = {
        [&] {
            ColorRequest request;
            request.color = 0x00ABCDEF;
            request.customColors = custom.data();
            request.flags = cc::RgbInit;
            const bool chosen = ChooseColorDialog(request);
            EXPECT_EQ(request.color, 0x00ABCDEFu) << "a cancelled chooser changed the colour";
            return chosen;
        },
        [] {
            FileDialogRequest request;
            request.filters = {{u"テキストファイル(*.txt)", u"*.txt"}};
            request.defaultExtension = u"txt";
            return ShowSaveFileDialog(request);
        },
        [] {
            FileDialogRequest request;
            request.flags = ofn::FileMustExist;
            return ShowOpenFileDialog(request);
        },
    };
    for (const auto& dialog : dialogs) {
        Log().clear();
        PostWindowMessage(w, kWork, 0, 0);
        EXPECT_FALSE(dialog()) << "a dialog closed with Escape reported a choice";
        EXPECT_EQ(PrivateMessages(), WorkDone(w));
    }
    EXPECT_EQ(custom, before);
}

TEST_F(NestedLoops, ClosingWithNothingOpenDoesNothing)
{
    const WindowHandle w = MakeWindow();
    CloseMenuOrDialog();
    PostWindowMessage(w, kMore, 0, 0);
    PumpMessages();
    EXPECT_EQ(ReceivedBy(w, kMore).size(), 1u);
}

using Quit = PlatformTest;

TEST_F(Quit, TheQuitMessageEndsTheMainLoopInItsPlace)
{
    const WindowHandle w = MakeWindow();
    SetHandler([](WindowHandle window, std::uint32_t message, WParam wParam, LParam) -> std::optional<LResult> {
        if (message == kWork && wParam == 1) {
            PostQuit(3);
            PostWindowMessage(window, kWork, 2, 0);
        }
        return std::nullopt;
    });
    PostWindowMessage(w, kMore, 0, 0);
    PostWindowMessage(w, kWork, 1, 0);
    EXPECT_EQ(RunMessageLoop(), 3);
    const std::vector<Received> seen = PrivateMessages();
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], (Received{w, kMore, 0, 0}));
    EXPECT_EQ(seen[1], (Received{w, kWork, 1, 0}));
    // What was posted after the quit may come before the loop returns (Qt
    // delivers the rest of its batch) or later; it is never lost.
    PumpMessages();
    EXPECT_EQ(ReceivedBy(w, kWork).size(), 2u);
}

TEST_F(Quit, AQuitReachedByAPumpEndsTheNextMainLoopAtOnce)
{
    const WindowHandle w = MakeWindow();
    PostQuit(4);
    PumpMessages();
    PostWindowMessage(w, kMore, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 4);
    EXPECT_TRUE(ReceivedBy(w, kMore).empty()) << "the loop ran on after its quit";
    PumpMessages();
    EXPECT_EQ(ReceivedBy(w, kMore).size(), 1u);
}

}  // namespace
}  // namespace conformance
