// The child roles and the spawning of a child.
#include "child_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/inspect.h"
#include "platform/system.h"
#include "platform/text.h"

extern char** environ;

namespace conformance {

bool RunChildRole(int argc, char** argv, int& exitCode)
{
    if (argc >= 3 && argv[1] == kAcquireLockRole) {
        switch (platform::AcquireInstanceLock(platform::FromUtf8(argv[2]))) {
        case platform::InstanceLock::Acquired: exitCode = kChildAcquired; break;
        case platform::InstanceLock::AlreadyExists: exitCode = kChildAlreadyExists; break;
        case platform::InstanceLock::Failed: exitCode = kChildFailed; break;
        }
        return true;
    }
    // Arguments: lock name, class, title, message, wParam, lParam.
    if (argc >= 8 && argv[1] == kHandOffRole) {
        const bool handed = platform::PostToRunningInstance(
            platform::FromUtf8(argv[2]), platform::FromUtf8(argv[3]), platform::FromUtf8(argv[4]),
            static_cast<std::uint32_t>(std::strtoul(argv[5], nullptr, 10)),
            static_cast<platform::WParam>(std::strtoull(argv[6], nullptr, 10)),
            static_cast<platform::LParam>(std::strtoll(argv[7], nullptr, 10)));
        exitCode = handed ? 0 : 1;
        return true;
    }
    return false;
}

int RunChild(const std::vector<std::string>& arguments)
{
    std::vector<std::string> all = {"/proc/self/exe"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, argv.data(), environ) != 0) return -1;
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
