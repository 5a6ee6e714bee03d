// The child roles and the spawning of a child.
#include "child_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/testing/inspect.h"
#include "platform/system.h"
#include "platform/text.h"

extern char** environ;

namespace conformance {

std::string HeldMarker(const std::string& lockFile) { return lockFile + ".held"; }

bool RunChildRole(int argc, char** argv, int& exitCode)
{
    if (argc < 3) return false;
    const std::u16string lockFile = platform::FromUtf8(argv[2]);
    if (argv[1] == kAcquireLockRole) {
        switch (platform::AcquireInstanceLock(lockFile)) {
        case platform::InstanceLock::Acquired: exitCode = kChildAcquired; break;
        case platform::InstanceLock::AlreadyExists: exitCode = kChildAlreadyExists; break;
        case platform::InstanceLock::Failed: exitCode = kChildFailed; break;
        }
        return true;
    }
    if (argv[1] == kHoldLockRole) {
        if (platform::AcquireInstanceLock(lockFile) != platform::InstanceLock::Acquired) {
            exitCode = kChildFailed;
            return true;
        }
        std::ofstream(HeldMarker(argv[2])) << "held";
        std::this_thread::sleep_for(std::chrono::seconds(30));  // until the test kills it
        exitCode = kChildAcquired;
        return true;
    }
    if (argv[1] == kHandOffRole) {
        const bool queued = platform::HandOffToRunningInstance(lockFile) == platform::HandOff::Queued;
        exitCode = queued ? kChildQueued : kChildNotNow;
        return true;
    }
    return false;
}

namespace {

std::vector<std::string> CommandLine(const std::vector<std::string>& arguments)
{
    std::vector<std::string> all = {"/proc/self/exe"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return all;
}

}  // namespace

pid_t StartChild(const std::vector<std::string>& arguments)
{
    std::vector<std::string> all = CommandLine(arguments);
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return child;
}

int RunChild(const std::vector<std::string>& arguments)
{
    const pid_t child = StartChild(arguments);
    if (child < 0) return -1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        platform::PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool LockIsSharedBetweenProcesses()
{
#ifdef CONFORMANCE_HEADLESS
    return false;
#else
    return true;
#endif
}

}  // namespace conformance
