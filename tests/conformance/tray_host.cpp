// The tray host of the cases: the simulation's switch, or a child process.
#include "tray_host.h"

#include <csignal>
#include <cstdlib>

#include <spawn.h>
#include <sys/wait.h>

#include "platform/shell.h"

#ifdef CONFORMANCE_HEADLESS
#include "platform/sim/sim.h"
#endif

extern char** environ;

namespace conformance {

#ifdef CONFORMANCE_HEADLESS

std::string TrayHost::Unavailable() { return {}; }
TrayHost::TrayHost() { sim::SetTrayAvailable(false); }
TrayHost::~TrayHost() { sim::SetTrayAvailable(true); }  // the simulation's default

bool TrayHost::Start()
{
    sim::SetTrayAvailable(true);
    return true;
}

void TrayHost::Stop() { sim::SetTrayAvailable(false); }

#else

namespace {

const char* HostCommand()
{
    const char* command = std::getenv("TRAY_HOST_COMMAND");
    return command != nullptr && *command != 0 ? command : nullptr;
}

}  // namespace

std::string TrayHost::Unavailable()
{
    if (HostCommand() == nullptr) return "no tray host to start here (TRAY_HOST_COMMAND is not set)";
    if (platform::IsTrayAvailable()) return "this desktop has a tray already";
    return {};
}

TrayHost::TrayHost() = default;
TrayHost::~TrayHost() { Stop(); }

bool TrayHost::Start()
{
    if (host_ != 0 || HostCommand() == nullptr) return false;
    // "exec" makes the host itself the child, so that ending the child ends it.
    std::string command = std::string("exec ") + HostCommand() + " >/dev/null 2>&1";
    char shell[] = "/bin/sh";
    char flag[] = "-c";
    char* argv[] = {shell, flag, command.data(), nullptr};
    pid_t host = 0;
    if (posix_spawn(&host, shell, nullptr, nullptr, argv, environ) != 0) return false;
    host_ = host;
    return true;
}

void TrayHost::Stop()
{
    if (host_ == 0) return;
    kill(host_, SIGTERM);
    int status = 0;
    waitpid(host_, &status, 0);
    host_ = 0;
}

#endif

}  // namespace conformance
