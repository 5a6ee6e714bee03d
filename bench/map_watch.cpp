// Starts a program and reports how long it took until it had mapped a given
// number of top-level windows, and how much memory it then held.
//
//   map_watch COUNT TIMEOUT_MS QUIET_MS PROGRAM [ARGS...]
//
// The watcher listens to the root window's structure changes before it
// starts the program, so no map can be missed. It counts the windows that
// the window manager takes on (see WatchMaps), which leaves out
// override-redirect windows (menus, tooltips), a tray icon (the tray host
// takes it, not the window manager) and windows that are never mapped.
//
// It prints one line:
//   ok MAPPED_MS FIRST_MS RSS_KB CPU_MS...  every window was mapped, the first
//                                      after FIRST_MS; RSS read once the
//                                      program has been idle for QUIET_MS
//   timeout MAPPED_COUNT FIRST_MS RSS_KB CPU_MS...  not all of them within
//                                      TIMEOUT_MS (FIRST_MS -1: none)
// and then ends the program with SIGTERM (SIGKILL after 10 s), or at once
// with SIGKILL when the environment variable MAP_WATCH_KILL is set: then the
// X server destroys all its windows in one go, whatever the program would
// do on its way out, and the window manager has them all to let go of
// after the program has gone. CPU_MS is the
// processor time (user and system) the program had used when the last
// window was mapped, followed by that of each process named in the
// environment variable MAP_WATCH_PIDS (say, the X server and the window
// manager) over the same span: counts that a busy machine disturbs far less
// than the wall-clock time.
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long ResidentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// Processor time of a process so far, in milliseconds.
long CpuMs(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t end = text.rfind(')');  // the command name may hold spaces
    if (end == std::string::npos) return -1;
    std::istringstream fields(text.substr(end + 2));
    std::string field;
    long user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) user = std::strtol(field.c_str(), nullptr, 10);
        if (i == 15) system = std::strtol(field.c_str(), nullptr, 10);
    }
    return (user + system) * 1000 / sysconf(_SC_CLK_TCK);
}

std::vector<pid_t> WatchedPids()
{
    std::vector<pid_t> pids;
    std::istringstream list(std::getenv("MAP_WATCH_PIDS") ? std::getenv("MAP_WATCH_PIDS") : "");
    for (long pid = 0; list >> pid;) pids.push_back(static_cast<pid_t>(pid));
    return pids;
}

long CpuMs(const std::vector<pid_t>& pids)
{
    long sum = 0;
    for (pid_t pid : pids) sum += CpuMs(pid);
    return sum;
}

// Waits until the processes have used no processor time for a while, at
// most `limitMs`: the program has painted what it mapped, and the memory it
// then holds is what it keeps; or the desktop is done with its windows.
void WaitUntilIdle(const std::vector<pid_t>& pids, int quietMs, int limitMs)
{
    constexpr int kStepMs = 50;
    long last = CpuMs(pids);
    int quiet = 0;
    for (int waited = 0; quiet < quietMs && waited < limitMs; waited += kStepMs) {
        usleep(kStepMs * 1000);
        const long now = CpuMs(pids);
        quiet = now == last ? quiet + kStepMs : 0;
        last = now;
    }
}

pid_t Launch(char** argv)
{
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv);
        std::perror("map_watch: exec");
        _exit(127);
    }
    return pid;
}

void Stop(pid_t pid)
{
    kill(pid, std::getenv("MAP_WATCH_KILL") ? SIGKILL : SIGTERM);
    for (int i = 0; i < 1000; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

long MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Counts the windows the window manager maps for clients until `count` or
// the deadline. Returns the number seen; `first` gets the moment of the
// first map. The window manager reparents a
// client window into a frame of its own, a child of the root, and maps the
// frame once the client inside is ready: the frame's map is the moment the
// window appears. Both events reach the root window's listeners, in that
// order, so none can slip past.
int WatchMaps(xcb_connection_t* connection, xcb_window_t root, int count, Clock::time_point deadline,
              std::optional<Clock::time_point>& first)
{
    std::set<xcb_window_t> frames;  // parents that took a window away from the root
    std::set<xcb_window_t> mapped;
    const int fd = xcb_get_file_descriptor(connection);
    while (static_cast<int>(mapped.size()) < count) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_poll_for_event(connection), &std::free);
        if (!event) {
            if (xcb_connection_has_error(connection)) break;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) break;
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, static_cast<int>(left));
            continue;
        }
        switch (event->response_type & 0x7F) {
        case XCB_REPARENT_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_reparent_notify_event_t*>(event.get());
            if (e->event == root && e->parent != root) frames.insert(e->parent);
            break;
        }
        case XCB_MAP_NOTIFY: {
            const auto* e = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
            if (e->event == root && frames.count(e->window)) mapped.insert(e->window);
            if (!first && !mapped.empty()) first = Clock::now();
            break;
        }
        default: break;
        }
    }
    return static_cast<int>(mapped.size());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s COUNT TIMEOUT_MS QUIET_MS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const int timeoutMs = std::atoi(argv[2]);
    const int quietMs = std::atoi(argv[3]);
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "map_watch: cannot connect to the display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    // A round trip: the selection is in force before the program starts.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    const std::vector<pid_t> others = WatchedPids();
    std::vector<long> othersBefore;
    for (pid_t other : others) othersBefore.push_back(CpuMs(other));
    const Clock::time_point start = Clock::now();
    const pid_t pid = Launch(argv + 4);
    std::optional<Clock::time_point> first;
    const int seen = WatchMaps(connection, root, count, start + std::chrono::milliseconds(timeoutMs), first);
    const long mappedMs = MillisecondsSince(start);
    const long firstMs =
        first ? std::chrono::duration_cast<std::chrono::milliseconds>(*first - start).count() : -1;
    std::string cpu = std::to_string(CpuMs(pid));
    for (std::size_t i = 0; i < others.size(); ++i) cpu += " " + std::to_string(CpuMs(others[i]) - othersBefore[i]);
    if (seen >= count) WaitUntilIdle({pid}, quietMs, 30000);
    const long rss = ResidentKb(pid);
    // A program that counts its round trips (bench/x_round_trips.cpp) writes
    // the counts of its start now, before its end adds its own.
    if (std::getenv("X_ROUND_TRIPS_FILE")) {
        kill(pid, SIGUSR2);
        usleep(300000);
    }
    if (seen >= count)
        std::printf("ok %ld %ld %ld %s\n", mappedMs, firstMs, rss, cpu.c_str());
    else
        std::printf("timeout %d %ld %ld %s\n", seen, firstMs, rss, cpu.c_str());
    std::fflush(stdout);
    // Killed for the next program to meet its end: the desktop finishes with
    // this one's windows first (the window manager may still be focusing and
    // stacking them), so that the next one meets only their end.
    if (std::getenv("MAP_WATCH_KILL")) WaitUntilIdle(others, 1000, 120000);
    Stop(pid);
    xcb_disconnect(connection);
    return 0;
}
