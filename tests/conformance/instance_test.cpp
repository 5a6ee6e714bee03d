// The single-instance lock and the hand-off to the running instance: one
// lock per process, taken once; a second process finds it taken until the
// holder lets it go, and can hand the holder's window a message.
#include <unistd.h>

#include <string>

#include "child_process.h"
#include "platform/system.h"
#include "platform/text.h"
#include "recording_window.h"

namespace conformance {
namespace {

// A name of this run alone, so that runs side by side do not meet.
std::string LockName(const char* what) { return std::string("CONFORMANCE-") + what + "-" + std::to_string(getpid()); }

class Instance : public PlatformTest {
protected:
    void TearDown() override
    {
        ReleaseInstanceLock();
        PlatformTest::TearDown();
    }
};

TEST_F(Instance, TheLockIsTakenOncePerProcessAndGivenBack)
{
    const std::u16string name = FromUtf8(LockName("once"));
    EXPECT_EQ(AcquireInstanceLock(name), InstanceLock::Acquired);
    EXPECT_EQ(AcquireInstanceLock(name), InstanceLock::AlreadyExists) << "taken twice";
    EXPECT_EQ(AcquireInstanceLock(name + u"-other"), InstanceLock::Failed) << "a second lock in one process";
    ReleaseInstanceLock();
    EXPECT_EQ(AcquireInstanceLock(name + u"-other"), InstanceLock::Acquired);
    ReleaseInstanceLock();
    EXPECT_EQ(AcquireInstanceLock(name), InstanceLock::Acquired) << "the lock was not given back";
}

TEST_F(Instance, ASecondProcessFindsTheLockTakenUntilItIsGivenBack)
{
    if (!LockIsSharedBetweenProcesses())
        GTEST_SKIP() << "the simulated lock lives inside one process; behaviour tests stand in another "
                        "process with sim::SetInstanceLockHeldElsewhere";
    const std::string name = LockName("shared");
    ASSERT_EQ(AcquireInstanceLock(FromUtf8(name)), InstanceLock::Acquired);
    EXPECT_EQ(RunChild({kAcquireLockRole, name}), kChildAlreadyExists);
    ReleaseInstanceLock();
    EXPECT_EQ(RunChild({kAcquireLockRole, name}), kChildAcquired);
    // The child has ended, and its lock with it.
    EXPECT_EQ(AcquireInstanceLock(FromUtf8(name)), InstanceLock::Acquired);
}

TEST_F(Instance, HandOffReachesTheHoldersWindowOfThatClassAndTitle)
{
    const std::u16string name = FromUtf8(LockName("hand-off"));
    const std::uint32_t message = wm::User + 7;
    EXPECT_FALSE(PostToRunningInstance(name, kClassName, u"conformance hand-off", message, 1, 2))
        << "handed to an instance that does not run";
    ASSERT_EQ(AcquireInstanceLock(name), InstanceLock::Acquired);
    EXPECT_FALSE(PostToRunningInstance(name, kClassName, u"conformance hand-off", message, 1, 2))
        << "handed to a window that does not exist";
    const WindowHandle w = MakeWindow(Rect{100, 100, 260, 140}, u"conformance hand-off");
    // This process is the running instance: the message is posted to its window.
    EXPECT_TRUE(PostToRunningInstance(name, kClassName, u"conformance hand-off", message, 1, 2));
    EXPECT_TRUE(ReceivedBy(w, message).empty()) << "a hand-off is posted, not sent";
    PumpMessages();
    EXPECT_EQ(ReceivedBy(w, message), (std::vector<Received>{{w, message, 1, 2}}));
}

TEST_F(Instance, ASecondProcessHandsItsMessageToTheHolder)
{
    if (!LockIsSharedBetweenProcesses())
        GTEST_SKIP() << "the simulated lock lives inside one process; behaviour tests read the hand-off "
                        "with sim::HandedOffMessages";
    const std::string name = LockName("second-start");
    ASSERT_EQ(AcquireInstanceLock(FromUtf8(name)), InstanceLock::Acquired);
    const WindowHandle w = MakeWindow(Rect{100, 100, 260, 140}, u"conformance second start");
    const std::uint32_t message = wm::User + 8;
    const std::string title = ToUtf8(u"conformance second start");
    EXPECT_EQ(RunChild({kHandOffRole, name, ToUtf8(kClassName), title, std::to_string(message), "111", "-5"}), 0);
    PumpMessages();
    EXPECT_EQ(ReceivedBy(w, message), (std::vector<Received>{{w, message, 111, -5}}));
    EXPECT_EQ(RunChild({kHandOffRole, name, ToUtf8(kClassName), "no such title", std::to_string(message), "1", "1"}),
              1)
        << "the child was told its hand-off arrived where no window took it";
}

}  // namespace
}  // namespace conformance
