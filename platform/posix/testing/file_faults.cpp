// The file layer's side of platform/testing/inspect.h, for test programs
// only: a full disk that strikes at a chosen write, and the count of the
// whole-file replacements of each path. Both work through the two calls the
// file layer lets a test put in place (platform/posix/file_io.h); the
// program's own file layer knows nothing of either.
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>

#include "platform/posix/file_io.h"
#include "platform/testing/inspect.h"

namespace {

// Counts down to the write that must fail; 0 = no failure planned.
int writesUntilFailure = 0;

ssize_t WriteUntilFull(int fd, const void* data, std::size_t size)
{
    if (writesUntilFailure > 0 && --writesUntilFailure == 0) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(fd, data, size);
}

// The disk writer's thread counts; tests read on their own thread.
std::mutex replacementsLock;
std::map<std::u16string, int> replacements;

void CountReplacement(const std::u16string& path)
{
    const std::lock_guard lock(replacementsLock);
    ++replacements[path];
}

// Counting starts with the process: a test that reads the count is linked
// with this file, whose start puts the counter in place before main runs.
struct CountFromStart {
    CountFromStart() { platform::posix::replacedCall = CountReplacement; }
} countFromStart;

}  // namespace

namespace platform {

void FailNthFileWrite(int n)
{
    writesUntilFailure = n > 0 ? n : 0;
    posix::writeCall = WriteUntilFull;
}

int CompletedReplacements(const std::u16string& path)
{
    const std::lock_guard lock(replacementsLock);
    auto found = replacements.find(path);
    return found == replacements.end() ? 0 : found->second;
}

}  // namespace platform
