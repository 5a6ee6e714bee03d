// A tray host that a case starts and ends itself, to see what the desktop
// tells the program when a tray comes late or goes. On the simulated
// desktop it is the simulation's tray switch; on X it is the tray program
// named by TRAY_HOST_COMMAND, started on a desktop that began without a
// tray (tests/e2e/with_desktop.sh with DESKTOP_TRAY=none).
#pragma once

#include <string>

#include <sys/types.h>

namespace conformance {

class TrayHost {
public:
    // Why no tray host can be started and ended here; empty when one can.
    static std::string Unavailable();

    // No tray runs while the object lives, until Start.
    TrayHost();
    ~TrayHost();
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    // Starts the host (false when it could not), or ends it.
    bool Start();
    void Stop();

private:
    pid_t host_ = 0;
};

}  // namespace conformance
