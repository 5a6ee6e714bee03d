// The program's own dialogs: a template run modally with its procedure and
// creation parameter, the nested loop delivering posted messages, the
// control operations, what the controls report to the procedure when the
// mouse and the keyboard work them, the layout in dialog units, the close
// box and the Escape key, and painting into an edit box.
//
// Every case works the dialog from a message it posts to itself while it
// is open, as the program's dialogs do; the dialog is ended afterwards
// unless the case closed it itself.
#include <functional>
#include <optional>

#include "platform/dialog_box.h"
#include "platform/shared/dialog_layout.h"
#include "platform/system.h"
#include "recording_window.h"

namespace conformance {
namespace {

constexpr std::uint32_t kRun = wm::User + 40;
constexpr std::uint32_t kEndWith = wm::User + 41;  // ends the dialog with wParam
constexpr int kEndedByHarness = 77;

constexpr int kPush = 10;
constexpr int kCheck = 11;
constexpr int kRadio = 12;
constexpr int kEdit = 13;
constexpr int kSample = 14;
constexpr int kSorted = 15;
constexpr int kPlain = 16;
constexpr int kDisabled = 17;
constexpr int kLabel = 18;
constexpr int kWideLabel = 19;
constexpr int kNeighbour = 20;

constexpr std::uint32_t kShown = ws::Child | ws::Visible;

DialogTemplate TestTemplate()
{
    const std::uint32_t list = kShown | ws::Border | ws::VScroll | ws::TabStop | lbs::Notify;
    return DialogTemplate{
        u"conformance", u"System", 8, ws::Caption | ws::SysMenu | ds::ModalFrame | ds::SetFont, {20, 20, 200, 120},
        {
            {kPush, ControlClass::Button, u"push", kShown | ws::TabStop | bs::PushButton, {10, 10, 40, 12}, 0},
            {id::Ok, ControlClass::Button, u"OK", kShown | ws::TabStop | bs::DefPushButton, {150, 10, 40, 12}, 0},
            {kCheck, ControlClass::Button, u"check", kShown | ws::TabStop | bs::AutoCheckBox, {10, 26, 60, 10}, 0},
            {kRadio, ControlClass::Button, u"radio", kShown | ws::TabStop | bs::RadioButton, {80, 26, 60, 10}, 0},
            {kEdit, ControlClass::Edit, u"start", kShown | ws::Border | ws::TabStop | es::AutoHScroll,
             {10, 40, 60, 12}, 0},
            {kSample, ControlClass::Edit, u"", kShown | ws::Border | es::ReadOnly | es::Center, {80, 40, 110, 26}, 0},
            {kSorted, ControlClass::ListBox, u"", list | lbs::Sort, {10, 70, 60, 40}, 0},
            {kPlain, ControlClass::ListBox, u"", list, {80, 70, 60, 40}, 0},
            {kDisabled, ControlClass::Button, u"off", kShown | ws::Disabled | bs::PushButton, {150, 70, 40, 12}, 0},
            {kLabel, ControlClass::Static, u"x", kShown | ss::Left, {150, 90, 40, 8}, 0},
            // A label far too narrow for its text, with a neighbour on its row.
            {kWideLabel, ControlClass::Static, u"a label much wider than its place", kShown | ss::Left,
             {150, 100, 10, 8}, 0},
            {kNeighbour, ControlClass::Static, u"n", kShown | ss::Left, {185, 100, 10, 8}, 0},
        }};
}

using Steps = std::function<void(WindowHandle dialog)>;

struct Harness {
    Steps steps;
    std::optional<int> cancelResult = id::Cancel;  // how the procedure answers a cancel; none: it stays open
    bool closing = false;  // the steps closed the dialog themselves
    std::vector<Received> seen;  // what the procedure received, in order
    WindowHandle dialog = 0;
};

Harness& TheHarness()
{
    static Harness harness;
    return harness;
}

LResult TestProcedure(WindowHandle dialog, std::uint32_t message, WParam wParam, LParam lParam)
{
    Harness& h = TheHarness();
    h.seen.push_back({dialog, message, wParam, lParam});
    switch (message) {
    case wm::InitDialog:
        h.dialog = dialog;
        PostWindowMessage(dialog, kRun, 0, 0);
        return 1;
    case kRun:
        if (h.steps) h.steps(dialog);
        if (!h.closing) EndModalDialog(dialog, kEndedByHarness);
        return 1;
    case kEndWith: EndModalDialog(dialog, static_cast<int>(wParam)); return 1;
    case wm::Command:
        if (LowWord(wParam) == id::Cancel && h.cancelResult) EndModalDialog(dialog, *h.cancelResult);
        return 1;
    default: return 0;
    }
}

class Dialogs : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        TheHarness() = Harness{};
    }

    int Run(Steps steps, LParam parameter = 0)
    {
        TheHarness().steps = std::move(steps);
        return RunModalDialog(TestTemplate(), TestProcedure, parameter);
    }

    // The commands the controls reported, as (id, code).
    static std::vector<std::pair<int, std::uint32_t>> Reports()
    {
        std::vector<std::pair<int, std::uint32_t>> reports;
        for (const Received& r : TheHarness().seen)
            if (r.message == wm::Command) reports.push_back({static_cast<int>(LowWord(r.wParam)), HighWord(r.wParam)});
        return reports;
    }
    static void ForgetReports() { TheHarness().seen.clear(); }
};

TEST_F(Dialogs, RunWithTheirParameterDeliverPostedMessagesAndEndWithTheirResult)
{
    WindowHandle seenOpen = 0;
    const int result = Run(
        [&](WindowHandle dialog) {
            seenOpen = GetOpenDialog();
            EXPECT_TRUE(IsLiveWindow(dialog));
            TheHarness().closing = PostWindowMessage(dialog, kEndWith, 5, 0);
        },
        1234);
    EXPECT_EQ(result, 5);
    const Harness& h = TheHarness();
    ASSERT_FALSE(h.seen.empty());
    EXPECT_EQ(h.seen.front().message, wm::InitDialog) << "the procedure heard something before its start";
    EXPECT_EQ(h.seen.front().lParam, 1234);
    ASSERT_GE(h.seen.size(), 2u);
    EXPECT_EQ(h.seen[h.seen.size() - 2].message, kEndWith);
    EXPECT_EQ(h.seen.back().message, wm::Destroy) << "the procedure was not told of its end last";
    EXPECT_EQ(seenOpen, h.dialog);
    EXPECT_EQ(GetOpenDialog(), 0u);
    EXPECT_FALSE(IsLiveWindow(h.dialog)) << "the dialog outlived its run";
}

TEST_F(Dialogs, EndFromAPostedMessageOrFromTheStart)
{
    EXPECT_EQ(Run([](WindowHandle dialog) {
                  TheHarness().closing = true;
                  EXPECT_TRUE(EndModalDialog(dialog, 9));
                  EXPECT_FALSE(EndModalDialog(dialog, 10)) << "a dialog ended twice";
              }),
              9);
    // Ended before it shows: the dialog returns without running its loop.
    struct Start {
        static LResult Procedure(WindowHandle dialog, std::uint32_t message, WParam, LParam)
        {
            if (message == wm::InitDialog) {
                PostWindowMessage(dialog, kRun, 0, 0);
                EndModalDialog(dialog, 4);
            }
            if (message == kRun) ADD_FAILURE() << "a dialog ended at its start ran its loop";
            return 0;
        }
    };
    EXPECT_EQ(RunModalDialog(TestTemplate(), Start::Procedure, 0), 4);
    EXPECT_EQ(RunModalDialog(TestTemplate(), nullptr, 0), -1);
}

TEST_F(Dialogs, ControlsTakeTextTicksAndStates)
{
    Run([](WindowHandle d) {
        EXPECT_EQ(GetControlText(d, kPush), u"push");
        EXPECT_EQ(GetControlText(d, kEdit), u"start");
        for (const int id : {kPush, kEdit, kLabel}) {
            EXPECT_TRUE(SetControlText(d, id, u"付箋紙 &1"));
            EXPECT_EQ(GetControlText(d, id), u"付箋紙 &1") << id;
        }
        EXPECT_FALSE(SetControlText(d, 999, u"none"));
        EXPECT_EQ(GetControlText(d, 999), u"");
        EXPECT_FALSE(SetControlCheck(d, kPush, 1)) << "a push button took a tick";
        EXPECT_EQ(GetControlCheck(d, kPush), 0);
        for (const int id : {kCheck, kRadio}) {
            EXPECT_EQ(GetControlCheck(d, id), 0);
            EXPECT_TRUE(SetControlCheck(d, id, 1));
            EXPECT_EQ(GetControlCheck(d, id), 1);
            EXPECT_TRUE(SetControlCheck(d, id, 0));
            EXPECT_EQ(GetControlCheck(d, id), 0);
        }
        EXPECT_FALSE(IsControlEnabled(d, kDisabled));
        EXPECT_TRUE(IsControlEnabled(d, kEdit));
        EXPECT_TRUE(EnableControl(d, kEdit, false));
        EXPECT_FALSE(IsControlEnabled(d, kEdit));
        EXPECT_TRUE(EnableControl(d, kEdit, true));
        EXPECT_TRUE(IsControlEnabled(d, kEdit));
        EXPECT_FALSE(EnableControl(d, 999, true));
    });
    EXPECT_TRUE(Reports().empty()) << "changes made by the program were reported";
}

TEST_F(Dialogs, TheFocusStartsAtTheFirstTabStopAndMovesWhenAsked)
{
    Run([](WindowHandle d) {
        EXPECT_EQ(GetFocusedControl(d), std::optional<int>(kPush));
        EXPECT_TRUE(FocusControl(d, kEdit));
        EXPECT_EQ(GetFocusedControl(d), std::optional<int>(kEdit));
        EXPECT_FALSE(FocusControl(d, kDisabled)) << "a disabled control took the focus";
        EXPECT_EQ(GetFocusedControl(d), std::optional<int>(kEdit));
    });
}

TEST_F(Dialogs, ListsAddInOrderSelectAndReportOnlyTheUsersChoice)
{
    Run([](WindowHandle d) {
        // Sorted: upper and lower case alike, then by character code.
        EXPECT_EQ(AddListItem(d, kSorted, u"Sim明朝"), 0);
        EXPECT_EQ(AddListItem(d, kSorted, u"beta"), 0);
        EXPECT_EQ(AddListItem(d, kSorted, u"Alpha"), 0);
        EXPECT_EQ(AddListItem(d, kSorted, u"Beta"), 1);
        EXPECT_EQ(AddListItem(d, kSorted, u"SimSans"), 3);
        const std::vector<std::u16string> sorted = {u"Alpha", u"Beta", u"beta", u"SimSans", u"Sim明朝"};
        ASSERT_EQ(GetListCount(d, kSorted), 5);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(GetListItem(d, kSorted, i), sorted[i]) << i;
        EXPECT_EQ(GetListItem(d, kSorted, 5), std::nullopt);
        EXPECT_EQ(GetListItem(d, kSorted, -1), std::nullopt);
        // Unsorted: at the end.
        for (const char16_t* item : {u"900", u"0", u"400"}) AddListItem(d, kPlain, item);
        EXPECT_EQ(GetListItem(d, kPlain, 0), u"900");
        EXPECT_EQ(GetListItem(d, kPlain, 2), u"400");

        EXPECT_EQ(GetListSelection(d, kPlain), -1);
        EXPECT_TRUE(SetListSelection(d, kPlain, 2));
        EXPECT_EQ(GetListSelection(d, kPlain), 2);
        EXPECT_FALSE(SetListSelection(d, kPlain, 3));
        EXPECT_EQ(GetListSelection(d, kPlain), 2);
        EXPECT_TRUE(SetListSelection(d, kPlain, -1));
        EXPECT_EQ(GetListSelection(d, kPlain), -1);
        EXPECT_TRUE(Reports().empty()) << "the program's own selection was reported";

        EXPECT_TRUE(ClickListItem(d, kPlain, 1));
        EXPECT_EQ(GetListSelection(d, kPlain), 1);
        EXPECT_FALSE(ClickListItem(d, kPlain, 7));
        EXPECT_TRUE(ClearList(d, kPlain));
        EXPECT_EQ(GetListCount(d, kPlain), 0);
        EXPECT_EQ(GetListSelection(d, kPlain), -1);
        EXPECT_EQ(AddListItem(d, kPush, u"no list"), -1);
    });
    const std::vector<std::pair<int, std::uint32_t>> expected = {{kPlain, lbn::SelectionChanged}};
    EXPECT_EQ(Reports(), expected);
}

TEST_F(Dialogs, ClicksReportTheButtonAfterACheckBoxTicksItself)
{
    std::vector<int> checksWhenReported;
    Run([&](WindowHandle d) {
        EXPECT_TRUE(ClickControl(d, kPush));
        EXPECT_TRUE(ClickControl(d, kCheck));
        checksWhenReported.push_back(GetControlCheck(d, kCheck));
        EXPECT_TRUE(ClickControl(d, kRadio));
        EXPECT_EQ(GetControlCheck(d, kRadio), 0) << "a radio button the program manages ticked itself";
        EXPECT_TRUE(ClickControl(d, kCheck));
        EXPECT_EQ(GetControlCheck(d, kCheck), 0);
        EXPECT_FALSE(ClickControl(d, kDisabled));
        EXPECT_FALSE(ClickControl(d, kLabel));
        EXPECT_FALSE(ClickControl(d, kSorted));
    });
    EXPECT_EQ(checksWhenReported, std::vector<int>{1});
    const std::vector<std::pair<int, std::uint32_t>> expected = {
        {kPush, bn::Clicked}, {kCheck, bn::Clicked}, {kRadio, bn::Clicked}, {kCheck, bn::Clicked}};
    EXPECT_EQ(Reports(), expected);
}

TEST_F(Dialogs, TheEscapeKeyAndTheCloseBoxAskTheProcedureToCancel)
{
    for (const bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "close box");
        TheHarness() = Harness{};
        const int result = Run([escape](WindowHandle d) {
            TheHarness().closing = true;
            if (escape)
                CloseMenuOrDialog();
            else
                EXPECT_TRUE(ClickCloseBox(d));
        });
        EXPECT_EQ(result, id::Cancel);
        const std::vector<std::pair<int, std::uint32_t>> expected = {{id::Cancel, bn::Clicked}};
        EXPECT_EQ(Reports(), expected);
    }
}

TEST_F(Dialogs, AProcedureThatIgnoresACancelStaysOpen)
{
    TheHarness().cancelResult = std::nullopt;
    const int result = Run([](WindowHandle d) {
        EXPECT_TRUE(ClickCloseBox(d));
        EXPECT_TRUE(IsLiveWindow(d));
        EXPECT_EQ(GetOpenDialog(), d);
    });
    EXPECT_EQ(result, kEndedByHarness);
}

TEST_F(Dialogs, ControlsStandWhereTheirDialogUnitsSay)
{
    Run([](WindowHandle d) {
        const DialogUnitsInPixels units = GetDialogBaseUnits(d);
        ASSERT_GT(units.x, 0);
        ASSERT_GT(units.y, units.x) << "characters are higher than wide";
        const shared::BaseUnits base{units.x, units.y};
        const DialogTemplate t = TestTemplate();
        const Rect window = GetWindowBounds(d);
        const Rect client = shared::ToPixels({0, 0, t.rect.width, t.rect.height}, base);
        EXPECT_EQ(window.Width(), client.Width());
        EXPECT_EQ(window.Height(), client.Height());
        for (const DialogItem& item : t.items) {
            if (item.id == kWideLabel || item.id == kLabel || item.id == kNeighbour) continue;
            EXPECT_EQ(GetControlBounds(d, item.id), shared::ToPixels(item.rect, base)) << item.id;
        }
        // The narrow label grew to the right, up to its neighbour.
        const Rect wide = GetControlBounds(d, kWideLabel);
        const Rect asked = shared::ToPixels({150, 100, 10, 8}, base);
        EXPECT_EQ(wide.left, asked.left);
        EXPECT_GT(wide.right, asked.right);
        EXPECT_LT(wide.right, GetControlBounds(d, kNeighbour).left);
        EXPECT_EQ(GetControlBounds(d, 999), Rect{});
    });
}

TEST_F(Dialogs, ADialogTakesTheActivationFromTheProgramsWindows)
{
    const WindowHandle w = MakeWindow();
    ShowAppWindow(w, sw::ShowNormal);
    ASSERT_TRUE(PumpUntil([w] { return GetForegroundAppWindow() == w; }));
    Log().clear();
    bool inactive = false;
    Run([&](WindowHandle) { inactive = PumpUntil([] { return GetForegroundAppWindow() == 0; }); });
    EXPECT_TRUE(inactive) << "the window stayed active under the dialog";
    const std::vector<Received> told = ReceivedBy(w, wm::Activate);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(LowWord(told.front().wParam), wa::Inactive);
}

TEST_F(Dialogs, ADialogMovesAlsoOffTheScreen)
{
    Run([](WindowHandle d) {
        const Rect before = GetWindowBounds(d);
        const Rect moved{-40, -30, -40 + before.Width(), -30 + before.Height()};
        EXPECT_TRUE(MoveAppWindow(d, moved, false));
        EXPECT_EQ(GetWindowBounds(d), moved);
    });
}

TEST_F(Dialogs, AnEditBoxKeepsWhatIsPaintedIntoIt)
{
    Run([](WindowHandle d) {
        EXPECT_EQ(BeginControlPaint(d, kPush).context, 0u) << "a button took a paint";
        const ControlPaint paint = BeginControlPaint(d, kSample);
        ASSERT_NE(paint.context, 0u);
        const Rect bounds = GetControlBounds(d, kSample);
        EXPECT_GT(paint.client.Width(), bounds.Width() - 8) << "the border took too much";
        EXPECT_LE(paint.client.Width(), bounds.Width() - 2) << "the border was painted over";
        constexpr Colour kRed = 0x000000FF;
        FillSolidRect(paint.context, paint.client, paint.background);
        FillSolidRect(paint.context, Rect{2, 2, 12, 12}, kRed);
        EndControlPaint(paint);
        PumpMessages();
        Colour colour = 0;
        ASSERT_TRUE(ReadControlPixel(d, kSample, Point{5, 5}, colour));
        EXPECT_EQ(colour, kRed);
        ASSERT_TRUE(ReadControlPixel(d, kSample, Point{20, 5}, colour));
        EXPECT_EQ(colour, paint.background);
        EXPECT_NE(paint.text, paint.background);
        EXPECT_FALSE(ReadControlPixel(d, kSample, Point{paint.client.Width(), 0}, colour));
    });
}

}  // namespace
}  // namespace conformance
