// The fuzz targets' program folder.
#include "fuzz_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/text.h"
#include "store/paths.h"

namespace fuzz {
namespace {

// Removed when the run ends, also when an invariant stops it.
std::string made;

void RemoveFolder()
{
    if (!made.empty()) std::filesystem::remove_all(made);
}

}  // namespace

const std::string& ProgramFolder()
{
    static const std::string folder = [] {
        const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/cevelmo-fuzz-XXXXXX";
        Require(::mkdtemp(pattern.data()) != nullptr, "cannot make a program folder");
        made = pattern;
        std::atexit(RemoveFolder);
        std::filesystem::create_directory(pattern + "/Data");
        Require(InitPaths(platform::FromUtf8(pattern + "/cevelmo")), "cannot set the paths");
        return pattern;
    }();
    return folder;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Require(out.good(), "cannot write the input file");
}

void Require(bool holds, const char* what)
{
    if (holds) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    RemoveFolder();
    std::abort();
}

}  // namespace fuzz
