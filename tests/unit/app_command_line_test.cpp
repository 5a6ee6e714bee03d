// The command line: what each argument list prints, where, and the exit code
// it ends with; an empty list starts the program.
#include <gtest/gtest.h>

#include <sstream>

#include "app/command_line.h"

namespace {

struct Row {
    std::vector<std::string> arguments;
    std::optional<int> exitCode;
    const char* out;  // a line that must be on standard output, or "" for none
    const char* err;  // the same for standard error
};

TEST(CommandLine, AnswersHelpAndVersionAndRefusesEverythingElse)
{
    const Row rows[] = {
        {{}, std::nullopt, "", ""},
        {{"--help"}, 0, "Usage: cevelmo [--help | --version]\n", ""},
        {{"-h"}, 0, "Usage: cevelmo [--help | --version]\n", ""},
        {{"--version"}, 0, "CeVelmo 1.20\n", ""},
        {{"--version", "--help"}, 0, "Usage: cevelmo", ""},
        {{"--bogus"}, 2, "", "cevelmo: unknown option '--bogus'\n"},
        {{"-platform", "xcb"}, 2, "", "cevelmo: unknown option '-platform'\n"},
        {{"--help", "note.txt"}, 2, "", "cevelmo: unexpected argument 'note.txt'\n"},
        {{""}, 2, "", "cevelmo: unexpected argument ''\n"},
        {{"--version="}, 2, "", "unknown option '--version='"},
    };
    for (const Row& row : rows) {
        std::ostringstream out, err;
        const std::optional<int> code = HandleCommandLine(row.arguments, out, err);
        const std::string where = ::testing::PrintToString(row.arguments);
        EXPECT_EQ(code, row.exitCode) << where;
        if (*row.out == '\0')
            EXPECT_EQ(out.str(), "") << where;
        else
            EXPECT_NE(out.str().find(row.out), std::string::npos) << where << " printed " << out.str();
        if (*row.err == '\0') {
            EXPECT_EQ(err.str(), "") << where;
        } else {
            EXPECT_NE(err.str().find(row.err), std::string::npos) << where << " printed " << err.str();
            EXPECT_NE(err.str().find("Usage: cevelmo"), std::string::npos) << where << ": a refusal shows the usage";
        }
    }
}

}  // namespace
