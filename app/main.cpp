// Program entry of the desktop build: answer the command line, make sure a
// desktop can be reached, hand the arguments to the platform and run the
// program. Start reading at AppMain (app/startup.cpp).
#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/startup.h"
#include "platform/system.h"

int main(int argc, char** argv)
{
    platform::CatchEndSignals();
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    if (const std::optional<int> ended = HandleCommandLine(arguments, std::cout, std::cerr)) return *ended;
    if (const std::string reason = platform::DesktopUnavailableReason(); !reason.empty()) {
        std::cerr << "cevelmo: " << reason << '\n';
        return 1;
    }
    platform::InitPlatform(argc, argv);
    const int exitCode = AppMain();
    platform::EndPlatform();
    return exitCode;
}
