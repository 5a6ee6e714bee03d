// The single-instance lock and the hand-off to the running instance. The
// lock is a lock file's: every path to the file meets the same lock, another
// file is another lock, and a process holds one. A second process finds it
// taken until the holder lets it go or dies, and can hand the holder's window
// its message once the holder listens.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#include "child_process.h"
#include "platform/system.h"
#include "platform/text.h"
#include "recording_window.h"

namespace conformance {
namespace {

namespace fs = std::filesystem;

class Instance : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        folder_ = fs::temp_directory_path() / ("conformance-lock-" + std::to_string(getpid()) + "-" +
                                               std::to_string(std::random_device{}()));
        fs::create_directories(folder_ / "a");
        fs::create_directories(folder_ / "b");
    }

    void TearDown() override
    {
        ReleaseInstanceLock();
        fs::remove_all(folder_);
        PlatformTest::TearDown();
    }

    // The lock file of one of two data folders, "a" and "b".
    std::string LockFile(const char* data = "a") const { return (folder_ / data / "test.lock").string(); }
    std::u16string Lock(const char* data = "a") const { return FromUtf8(LockFile(data)); }

    fs::path folder_;
};

TEST_F(Instance, ALockIsTakenOncePerProcessWhateverPathNamesIt)
{
    ASSERT_EQ(AcquireInstanceLock(Lock()), InstanceLock::Acquired);
    EXPECT_TRUE(fs::is_regular_file(LockFile())) << "the lock file is made";
    EXPECT_EQ(AcquireInstanceLock(Lock()), InstanceLock::AlreadyExists) << "taken twice";
    EXPECT_EQ(AcquireInstanceLock(FromUtf8((folder_ / "b" / ".." / "a" / "test.lock").string())),
              InstanceLock::AlreadyExists)
        << "the same file by another path";
    fs::create_directory_symlink(folder_ / "a", folder_ / "link");
    EXPECT_EQ(AcquireInstanceLock(FromUtf8((folder_ / "link" / "test.lock").string())), InstanceLock::AlreadyExists)
        << "the same file through a link to its folder";
    EXPECT_EQ(AcquireInstanceLock(Lock("b")), InstanceLock::Failed) << "a second lock in one process";
    ReleaseInstanceLock();
    EXPECT_EQ(AcquireInstanceLock(Lock("b")), InstanceLock::Acquired);
    ReleaseInstanceLock();
    EXPECT_EQ(AcquireInstanceLock(Lock()), InstanceLock::Acquired) << "the lock was not given back";
}

TEST_F(Instance, ALockFileThatCannotBeMadeIsAFailure)
{
    EXPECT_EQ(AcquireInstanceLock(FromUtf8((folder_ / "missing" / "test.lock").string())), InstanceLock::Failed);
    fs::create_directory(folder_ / "a" / "test.lock");
    EXPECT_EQ(AcquireInstanceLock(Lock()), InstanceLock::Failed) << "a folder where the lock file goes";
    EXPECT_EQ(AcquireInstanceLock(Lock("b")), InstanceLock::Acquired) << "the failures held nothing";
}

TEST_F(Instance, HandOffReachesTheListeningHoldersWindowWhileItLives)
{
    const std::uint32_t message = wm::User + 7;
    EXPECT_EQ(HandOffToRunningInstance(Lock()), HandOff::NotNow) << "handed to an instance that does not run";
    EXPECT_FALSE(ListenForHandOffs(0, message, 1, 2)) << "listening without the lock";
    ASSERT_EQ(AcquireInstanceLock(Lock()), InstanceLock::Acquired);
    EXPECT_EQ(HandOffToRunningInstance(Lock()), HandOff::NotNow) << "handed to a holder that does not listen yet";

    const WindowHandle w = MakeWindow(Rect{100, 100, 260, 140}, u"conformance hand-off");
    ASSERT_TRUE(ListenForHandOffs(w, message, 1, 2));
    // This process is the running instance: the message is posted to the window.
    EXPECT_EQ(HandOffToRunningInstance(Lock()), HandOff::Queued);
    EXPECT_TRUE(ReceivedBy(w, message).empty()) << "a hand-off is posted, not sent";
    PumpMessages();
    EXPECT_EQ(ReceivedBy(w, message), (std::vector<Received>{{w, message, 1, 2}}));

    DestroyAppWindow(w);
    EXPECT_EQ(HandOffToRunningInstance(Lock()), HandOff::NotNow) << "handed to a window that has ended";
    const WindowHandle next = MakeWindow();
    ASSERT_TRUE(ListenForHandOffs(next, message, 3, 4));
    ReleaseInstanceLock();
    EXPECT_EQ(HandOffToRunningInstance(Lock()), HandOff::NotNow) << "handed to a lock given back";
    PumpMessages();
    EXPECT_TRUE(ReceivedBy(next, message).empty());
}

class InstanceBetweenProcesses : public Instance {
protected:
    void SetUp() override
    {
        if (!LockIsSharedBetweenProcesses())
            GTEST_SKIP() << "the simulated lock lives inside one process; behaviour tests stand in another "
                            "process with sim::SetInstanceLockHeldElsewhere";
        Instance::SetUp();
    }
};

TEST_F(InstanceBetweenProcesses, AnotherProcessFindsTheSameFolderTakenAndAnotherFree)
{
    ASSERT_EQ(AcquireInstanceLock(Lock()), InstanceLock::Acquired);
    EXPECT_EQ(RunChild({kAcquireLockRole, LockFile()}), kChildAlreadyExists);
    EXPECT_EQ(RunChild({kAcquireLockRole, (folder_ / "b" / ".." / "a" / "test.lock").string()}),
              kChildAlreadyExists)
        << "the same file by another path";
    EXPECT_EQ(RunChild({kAcquireLockRole, LockFile("b")}), kChildAcquired) << "another folder is another lock";
    ReleaseInstanceLock();
    EXPECT_EQ(RunChild({kAcquireLockRole, LockFile()}), kChildAcquired);
    // The child has ended, and its lock with it.
    EXPECT_EQ(AcquireInstanceLock(Lock()), InstanceLock::Acquired);
}

TEST_F(InstanceBetweenProcesses, AKilledHolderLeavesNoLockBehind)
{
    const pid_t holder = StartChild({kHoldLockRole, LockFile()});
    ASSERT_GT(holder, 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fs::exists(HeldMarker(LockFile())) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(AcquireInstanceLock(Lock()), InstanceLock::AlreadyExists);
    kill(holder, SIGKILL);
    int status = 0;
    waitpid(holder, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the holder ended before it was killed";
    EXPECT_EQ(AcquireInstanceLock(Lock()), InstanceLock::Acquired);
}

TEST_F(InstanceBetweenProcesses, AnotherProcessHandsItsRequestOnceTheHolderListens)
{
    ASSERT_EQ(AcquireInstanceLock(Lock()), InstanceLock::Acquired);
    EXPECT_EQ(RunChild({kHandOffRole, LockFile()}), kChildNotNow) << "the holder does not listen yet";
    const WindowHandle w = MakeWindow(Rect{100, 100, 260, 140}, u"conformance second start");
    const std::uint32_t message = wm::User + 8;
    ASSERT_TRUE(ListenForHandOffs(w, message, 111, -5));
    EXPECT_EQ(RunChild({kHandOffRole, LockFile()}), kChildQueued);
    EXPECT_EQ(RunChild({kHandOffRole, LockFile()}), kChildQueued);
    PumpMessages();
    EXPECT_EQ(ReceivedBy(w, message), (std::vector<Received>{{w, message, 111, -5}, {w, message, 111, -5}}))
        << "one message per request";

    DestroyAppWindow(w);
    EXPECT_EQ(RunChild({kHandOffRole, LockFile()}), kChildNotNow) << "the window has ended";
    ReleaseInstanceLock();
    EXPECT_EQ(RunChild({kHandOffRole, LockFile()}), kChildNotNow) << "the holder has let go";
}

// The lock file deleted or replaced under the holder (a cleaner, a sync
// tool): another process still finds the folder taken, and reaches the
// holder once it has written its address into the file again.
TEST_F(InstanceBetweenProcesses, TheLockOutlivesItsFileAndTheHolderStaysReachable)
{
    ASSERT_EQ(AcquireInstanceLock(Lock()), InstanceLock::Acquired);
    const WindowHandle w = MakeWindow(Rect{100, 100, 260, 140}, u"conformance lock file gone");
    ASSERT_TRUE(ListenForHandOffs(w, wm::User + 9, 0, 0));
    const auto content = [this] {
        std::ifstream file(LockFile());
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    const std::string address = content();
    for (const bool replaced : {false, true}) {
        SCOPED_TRACE(replaced ? "replaced" : "deleted");
        fs::remove(LockFile());
        if (replaced) std::ofstream(LockFile()) << "/a/stale/address\n";
        EXPECT_EQ(RunChild({kAcquireLockRole, LockFile()}), kChildAlreadyExists);
        EXPECT_TRUE(PumpUntil([&] { return content() == address; })) << "the address was not written again";
        EXPECT_EQ(RunChild({kHandOffRole, LockFile()}), kChildQueued);
    }
}

}  // namespace
}  // namespace conformance
