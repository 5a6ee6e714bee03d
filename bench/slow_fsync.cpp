// A slow disk for benchmarks: preloaded into a program (LD_PRELOAD), it
// makes every fsync(2) and fdatasync(2) take CEVELMO_BENCH_FLUSH_MS
// milliseconds longer (2,000 when unset), as a slow USB stick, a network
// folder or a busy laptop disk does, and then flushes for real. Never part
// of the program; bench/key_after_paste.py uses it.
#include <dlfcn.h>
#include <time.h>

#include <cerrno>
#include <cstdlib>

namespace {

void Delay()
{
    const char* value = std::getenv("CEVELMO_BENCH_FLUSH_MS");
    const long ms = value != nullptr ? std::strtol(value, nullptr, 10) : 2000;
    timespec left{ms / 1000, (ms % 1000) * 1000000};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

template <typename Fn>
Fn Next(const char* name)
{
    return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd)
{
    static const auto next = Next<int (*)(int)>("fsync");
    Delay();
    return next(fd);
}

extern "C" int fdatasync(int fd)
{
    static const auto next = Next<int (*)(int)>("fdatasync");
    Delay();
    return next(fd);
}
