// The command line: usage, version, and the refusal of anything else, in the
// conventions of the terminal (usage errors end with 2, as the shell's own
// tools do).
#include "app/command_line.h"

#include <algorithm>

#include "platform/text.h"
#include "store/app_state.h"

namespace {

constexpr int kExitAnswered = 0;
constexpr int kExitUsageError = 2;

constexpr char kUsage[] =
    "Usage: cevelmo [--help | --version]\n"
    "\n"
    "CeVelmo (付箋紙) puts sticky notes on the desktop. An installed copy\n"
    "keeps them in the user's data folder (~/.local/share/cevelmo/Data), a\n"
    "copy unpacked into a folder in the Data folder beside the program file.\n"
    "It runs once per Data folder: started again while it runs, it adds one\n"
    "new note to the running program and ends.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n";

bool IsHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }
bool IsVersion(const std::string& argument) { return argument == "--version"; }

}  // namespace

std::optional<int> HandleCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                                     std::ostream& err)
{
    const auto unknown = std::find_if(arguments.begin(), arguments.end(), [](const std::string& argument) {
        return !IsHelp(argument) && !IsVersion(argument);
    });
    if (unknown != arguments.end()) {
        const bool option = !unknown->empty() && unknown->front() == '-';
        err << "cevelmo: " << (option ? "unknown option '" : "unexpected argument '") << *unknown << "'\n\n"
            << kUsage;
        return kExitUsageError;
    }
    if (std::any_of(arguments.begin(), arguments.end(), IsHelp)) {
        out << kUsage;
        return kExitAnswered;
    }
    if (std::any_of(arguments.begin(), arguments.end(), IsVersion)) {
        out << "CeVelmo " << platform::ToUtf8(kVersionText) << '\n';
        return kExitAnswered;
    }
    return std::nullopt;
}
