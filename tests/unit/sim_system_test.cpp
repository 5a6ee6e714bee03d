// The sim backend's process services: the instance lock and hand-off, clock,
// random numbers, waits, hotkeys and message boxes.
#include "sim_fixture.h"

namespace {

using namespace platform;

using SimSystem = SimTest;

TEST_F(SimSystem, InstanceLockIsHeldOnceAndElsewhereBlocksIt)
{
    sim::SetInstanceLockHeldElsewhere(u"OTHER", true);
    EXPECT_EQ(AcquireInstanceLock(u"OTHER"), InstanceLock::AlreadyExists);
    EXPECT_EQ(AcquireInstanceLock(u"LOCK"), InstanceLock::Acquired);
    EXPECT_EQ(AcquireInstanceLock(u"LOCK"), InstanceLock::AlreadyExists);
    ReleaseInstanceLock();
    EXPECT_EQ(AcquireInstanceLock(u"LOCK"), InstanceLock::Acquired);
    sim::SetInstanceLockHeldElsewhere(u"OTHER", false);
    ReleaseInstanceLock();
    EXPECT_EQ(AcquireInstanceLock(u"OTHER"), InstanceLock::Acquired);
}

TEST_F(SimSystem, HandOffGoesToTheOtherProcessOrToOurOwnWindow)
{
    const std::uint32_t message = wm::Command;
    EXPECT_FALSE(PostToRunningInstance(u"LOCK", u"SIMTEST", u"sim", message, 111, 0)) << "nobody runs";

    sim::SetInstanceLockHeldElsewhere(u"LOCK", true);
    EXPECT_TRUE(PostToRunningInstance(u"LOCK", u"SIMTEST", u"sim", message, 111, 0));
    ASSERT_EQ(sim::HandedOffMessages().size(), 1u);
    EXPECT_EQ(sim::HandedOffMessages()[0].className, u"SIMTEST");
    EXPECT_EQ(sim::HandedOffMessages()[0].wParam, 111u);
    sim::SetInstanceLockHeldElsewhere(u"LOCK", false);

    ASSERT_EQ(AcquireInstanceLock(u"LOCK"), InstanceLock::Acquired);
    EXPECT_FALSE(PostToRunningInstance(u"LOCK", u"SIMTEST", u"sim", message, 111, 0)) << "no window yet";
    const WindowHandle w = Make();
    EXPECT_TRUE(PostToRunningInstance(u"LOCK", u"SIMTEST", u"sim", message, 111, 0));
    PumpMessages();
    EXPECT_EQ(Only({message}), (std::vector<SimMessage>{{w, message, 111, 0}}));
    EXPECT_EQ(sim::HandedOffMessages().size(), 1u);
}

TEST_F(SimSystem, ClockRandomNumbersAndWaitsAreScripted)
{
    const LocalTime start = GetLocalTimeNow();
    EXPECT_EQ(std::vector<int>({start.year, start.month, start.day, start.hour, start.minute, start.second}),
              std::vector<int>({2024, 1, 2, 3, 4, 5}));
    sim::SetLocalTime({1999, 12, 31, 23, 59, 58});
    EXPECT_EQ(GetLocalTimeNow().year, 1999);

    EXPECT_EQ(RandomNumber(), 0u);
    EXPECT_EQ(RandomNumber(), 1u);
    sim::SetRandomSequence({7, 9});
    EXPECT_EQ(RandomNumber(), 7u);
    EXPECT_EQ(RandomNumber(), 9u);
    EXPECT_EQ(RandomNumber(), 9u) << "the last number repeats";

    SleepMilliseconds(100);
    SleepMilliseconds(10);
    EXPECT_EQ(sim::Sleeps(), std::vector<int>({100, 10}));
    EXPECT_EQ(GetModuleFilePath(), u"");
    sim::SetModulePath(u"/opt/app/cevelmo");
    EXPECT_EQ(GetModuleFilePath(), u"/opt/app/cevelmo");
}

TEST_F(SimSystem, HotkeyRegistrationRefusesConflictsAndBlanks)
{
    const WindowHandle a = Make();
    const WindowHandle b = Make();
    ASSERT_TRUE(RegisterSystemHotkey(a, 1, mod::Control, 'F'));
    struct Case {
        const char* name;
        WindowHandle window;
        int id;
        std::uint32_t modifiers, key;
        bool accepted;
    };
    const Case cases[] = {
        {"same keys, other window", b, 2, mod::Control, 'F', false},
        {"same id, same window", a, 1, mod::Alt, 'G', false},
        {"no modifier", a, 3, 0, 'G', false},
        {"no key", a, 3, mod::Alt, 0, false},
        {"dead window", a + 100, 3, mod::Alt, 'G', false},
        {"same id, other window", b, 1, mod::Alt, 'F', true},
        {"other modifiers, same key", a, 4, mod::Control | mod::Shift, 'F', true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RegisterSystemHotkey(c.window, c.id, c.modifiers, c.key), c.accepted);
    }
    EXPECT_EQ(sim::Hotkeys().size(), 3u);
    EXPECT_FALSE(UnregisterSystemHotkey(b, 9));
    EXPECT_TRUE(UnregisterSystemHotkey(a, 1));
    EXPECT_TRUE(RegisterSystemHotkey(b, 2, mod::Control, 'F')) << "the keys were not freed";
}

TEST_F(SimSystem, PressedHotkeyPostsToItsWindow)
{
    const WindowHandle w = Make();
    ASSERT_TRUE(RegisterSystemHotkey(w, 0x5000, mod::Alt | mod::Shift, 'F'));
    EXPECT_FALSE(sim::PressHotkey(mod::Alt, 'F'));
    EXPECT_TRUE(sim::PressHotkey(mod::Alt | mod::Shift, 'F'));
    EXPECT_TRUE(Only({wm::Hotkey}).empty()) << "a hotkey is posted, not sent";
    PumpMessages();
    const LParam keys = ('F' << 16) | mod::Alt | mod::Shift;
    EXPECT_EQ(Only({wm::Hotkey}), (std::vector<SimMessage>{{w, wm::Hotkey, 0x5000, keys}}));
    DestroyAppWindow(w);
    EXPECT_TRUE(sim::Hotkeys().empty()) << "a destroyed window kept its hotkey";
}

TEST_F(SimSystem, MessageBoxesAnswerFromTheScriptThenWithTheirFirstButton)
{
    struct Case {
        std::uint32_t style;
        int expected;
    };
    sim::QueueMessageBoxAnswer(id::No);
    sim::QueueMessageBoxAnswer(id::Cancel);
    const Case cases[] = {
        {mb::YesNo | mb::IconQuestion, id::No},       {mb::YesNoCancel, id::Cancel},
        {mb::YesNoCancel | mb::IconQuestion, id::Yes}, {mb::Ok | mb::IconExclamation | mb::SetForeground, id::Ok},
    };
    for (const Case& c : cases) EXPECT_EQ(ShowMessageBox(u"text", u"caption", c.style), c.expected);
    ASSERT_EQ(sim::MessageBoxes().size(), 4u);
    EXPECT_EQ(sim::MessageBoxes()[3].style, mb::Ok | mb::IconExclamation | mb::SetForeground);
    EXPECT_EQ(sim::MessageBoxes()[1].answer, id::Cancel);
}

TEST_F(SimSystem, MessageBoxRunsANestedLoopAndRecordsBoxesInOpeningOrder)
{
    const WindowHandle w = Make();
    const std::uint32_t kLater = wm::User + 5;
    Answer() = [](WindowHandle, std::uint32_t m, WParam, LParam) -> std::optional<LResult> {
        if (m == kLater) ShowMessageBox(u"inner", u"c", mb::Ok);
        return std::nullopt;
    };
    PostWindowMessage(w, kLater, 0, 0);
    EXPECT_EQ(ShowMessageBox(u"outer", u"c", mb::YesNo), id::Yes);
    EXPECT_EQ(sim::DeliveredCount(w, kLater), 1) << "the box did not pump the queue";
    ASSERT_EQ(sim::MessageBoxes().size(), 2u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, u"outer");
    EXPECT_EQ(sim::MessageBoxes()[1].text, u"inner");
}

}  // namespace
