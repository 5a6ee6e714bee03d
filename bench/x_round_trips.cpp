// Counts a program's round trips to the X server: the replies it waited
// for, by request, and for GetProperty by property atom. Loaded into any
// xcb program (CeVelmo, the floor) with LD_PRELOAD, it stands between the
// program and libxcb: it notes the request of every sequence number sent
// and counts each wait for a reply (or for a checked request's error).
//
//   X_ROUND_TRIPS_FILE=counts.txt LD_PRELOAD=libbench_x_round_trips.so PROGRAM
//
// It also counts the events the program reads, by type ("event:N"), with
// the property changes by atom ("PropertyNotify@ATOM") and the window
// manager's synthetic configure notifications apart ("event:22s"): what
// each round trip answers.
//
// On SIGUSR2 it writes the counts so far to the file, one "NAME COUNT" a
// line ("GetProperty@ATOM COUNT" for the properties read; the harness names
// the atoms), and keeps counting. Requests batched before one wait still
// count one each: the start's atom lookups, not the notes'.
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

constexpr std::size_t kCore = 128;      // core requests by opcode
constexpr std::size_t kExtensions = 32; // requests of extensions, by extension
constexpr std::size_t kAtoms = 4096;    // GetProperty by property atom
constexpr std::uint8_t kGetProperty = 20;

std::array<std::atomic<long>, kCore> core{};
std::array<std::atomic<long>, kExtensions> extension{};
std::array<const xcb_extension_t*, kExtensions> extensionKeys{};
std::array<std::atomic<long>, kAtoms> properties{};
constexpr std::size_t kEventTypes = 37;  // core event types (35: generic), and synthetic configure notifications
constexpr std::size_t kSyntheticConfigure = 36;
std::array<std::atomic<long>, kEventTypes> events{};
std::array<std::atomic<long>, kAtoms> propertyEvents{};
std::atomic<long> unknown{0};

// What was sent with each sequence number, its low 16 bits as the X server
// echoes them: the slot of the request and, for GetProperty, the atom.
struct Sent {
    int slot = -1;  // < kCore: core opcode; kCore + i: extension i
    std::uint32_t atom = 0;
};
std::array<Sent, 65536> sent;
std::mutex lock;
int outFd = -1;

int SlotOf(const xcb_protocol_request_t* request)
{
    if (!request->ext)
        return request->opcode < kCore ? request->opcode : -1;
    for (std::size_t i = 0; i < kExtensions; ++i) {
        if (!extensionKeys[i])
            extensionKeys[i] = request->ext;
        if (extensionKeys[i] == request->ext)
            return static_cast<int>(kCore + i);
    }
    return -1;
}

// Read before the request is sent: sending moves the vector past what it wrote.
Sent Describe(const iovec* vector, const xcb_protocol_request_t* request)
{
    Sent entry{SlotOf(request), 0};
    if (!request->ext && request->opcode == kGetProperty && vector && vector[0].iov_len >= 12)
        std::memcpy(&entry.atom, static_cast<const char*>(vector[0].iov_base) + 8, sizeof entry.atom);
    return entry;
}

void Note(std::uint64_t sequence, const Sent& entry)
{
    std::lock_guard<std::mutex> guard(lock);
    sent[sequence & 0xFFFF] = entry;
}

void Count(std::uint64_t sequence)
{
    Sent entry;
    {
        std::lock_guard<std::mutex> guard(lock);
        entry = sent[sequence & 0xFFFF];
    }
    if (entry.slot < 0)
        ++unknown;
    else if (entry.slot < static_cast<int>(kCore))
        ++core[entry.slot];
    else
        ++extension[entry.slot - kCore];
    if (entry.slot == kGetProperty && entry.atom < kAtoms)
        ++properties[entry.atom];
}

void CountEvent(const xcb_generic_event_t* event)
{
    if (!event)
        return;
    const std::uint8_t type = event->response_type & 0x7F;
    const bool synthetic = (event->response_type & 0x80) != 0;
    if (type == XCB_CONFIGURE_NOTIFY && synthetic)
        ++events[kSyntheticConfigure];
    else if (type < kSyntheticConfigure)
        ++events[type];
    if (type == XCB_PROPERTY_NOTIFY) {
        const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (change->atom < kAtoms)
            ++propertyEvents[change->atom];
    }
}

// Async-signal-safe writing: plain write(2) of hand-formatted lines.
void WriteLine(const char* name, long number, long count)
{
    if (count == 0)
        return;
    char line[128];
    std::size_t n = 0;
    for (const char* c = name; *c && n < 80; ++c)
        line[n++] = *c;
    if (number >= 0) {
        char digits[24];
        int d = 0;
        do digits[d++] = static_cast<char>('0' + number % 10); while ((number /= 10) > 0);
        while (d > 0) line[n++] = digits[--d];
    }
    line[n++] = ' ';
    char digits[24];
    int d = 0;
    do digits[d++] = static_cast<char>('0' + count % 10); while ((count /= 10) > 0);
    while (d > 0) line[n++] = digits[--d];
    line[n++] = '\n';
    [[maybe_unused]] const ssize_t written = write(outFd, line, n);
}

const char* CoreName(std::size_t opcode)
{
    switch (opcode) {
    case 3: return "GetWindowAttributes";
    case 14: return "GetGeometry";
    case 15: return "QueryTree";
    case 16: return "InternAtom";
    case 17: return "GetAtomName";
    case 20: return "GetProperty";
    case 23: return "GetSelectionOwner";
    case 38: return "QueryPointer";
    case 40: return "TranslateCoordinates";
    case 43: return "GetInputFocus";
    case 98: return "QueryExtension";
    default: return nullptr;
    }
}

void Dump(int)
{
    if (outFd < 0 || ftruncate(outFd, 0) != 0 || lseek(outFd, 0, SEEK_SET) != 0)
        return;
    for (std::size_t i = 0; i < kCore; ++i) {
        const char* name = CoreName(i);
        WriteLine(name ? name : "core:", name ? -1 : static_cast<long>(i), core[i]);
    }
    for (std::size_t i = 0; i < kExtensions; ++i) {
        if (extensionKeys[i])
            WriteLine(extensionKeys[i]->name, -1, extension[i]);
    }
    for (std::size_t i = 0; i < kAtoms; ++i)
        WriteLine("GetProperty@", static_cast<long>(i), properties[i]);
    for (std::size_t i = 2; i < kSyntheticConfigure; ++i)
        WriteLine("event:", static_cast<long>(i), events[i]);
    WriteLine("event:22s", -1, events[kSyntheticConfigure]);
    for (std::size_t i = 0; i < kAtoms; ++i)
        WriteLine("PropertyNotify@", static_cast<long>(i), propertyEvents[i]);
    WriteLine("unknown", -1, unknown);
}

// The libxcb function of that name, the next one after this library's.
template <typename F>
F Next(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// libxcb's entry points call one another; only the outermost call counts.
thread_local int depth = 0;
struct Depth {
    Depth() { ++depth; }
    ~Depth() { --depth; }
    bool Outermost() const { return depth == 1; }
};

__attribute__((constructor)) void Start()
{
    const char* path = std::getenv("X_ROUND_TRIPS_FILE");
    if (!path)
        return;
    outFd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    struct sigaction action = {};
    action.sa_handler = Dump;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGUSR2, &action, nullptr);
}

}  // namespace

extern "C" {

unsigned int xcb_send_request(xcb_connection_t* c, int flags, iovec* vector, const xcb_protocol_request_t* request)
{
    static const auto next = Next<decltype(&xcb_send_request)>("xcb_send_request");
    Depth d;
    const Sent entry = d.Outermost() ? Describe(vector, request) : Sent{};
    const unsigned int sequence = next(c, flags, vector, request);
    if (d.Outermost())
        Note(sequence, entry);
    return sequence;
}

uint64_t xcb_send_request64(xcb_connection_t* c, int flags, iovec* vector, const xcb_protocol_request_t* request)
{
    static const auto next = Next<decltype(&xcb_send_request64)>("xcb_send_request64");
    Depth d;
    const Sent entry = d.Outermost() ? Describe(vector, request) : Sent{};
    const std::uint64_t sequence = next(c, flags, vector, request);
    if (d.Outermost())
        Note(sequence, entry);
    return sequence;
}

unsigned int xcb_send_request_with_fds(xcb_connection_t* c, int flags, iovec* vector,
                                       const xcb_protocol_request_t* request, unsigned int num_fds, int* fds)
{
    static const auto next = Next<decltype(&xcb_send_request_with_fds)>("xcb_send_request_with_fds");
    Depth d;
    const Sent entry = d.Outermost() ? Describe(vector, request) : Sent{};
    const unsigned int sequence = next(c, flags, vector, request, num_fds, fds);
    if (d.Outermost())
        Note(sequence, entry);
    return sequence;
}

uint64_t xcb_send_request_with_fds64(xcb_connection_t* c, int flags, iovec* vector,
                                     const xcb_protocol_request_t* request, unsigned int num_fds, int* fds)
{
    static const auto next = Next<decltype(&xcb_send_request_with_fds64)>("xcb_send_request_with_fds64");
    Depth d;
    const Sent entry = d.Outermost() ? Describe(vector, request) : Sent{};
    const std::uint64_t sequence = next(c, flags, vector, request, num_fds, fds);
    if (d.Outermost())
        Note(sequence, entry);
    return sequence;
}

void* xcb_wait_for_reply(xcb_connection_t* c, unsigned int request, xcb_generic_error_t** e)
{
    static const auto next = Next<decltype(&xcb_wait_for_reply)>("xcb_wait_for_reply");
    Depth d;
    if (d.Outermost())
        Count(request);
    return next(c, request, e);
}

void* xcb_wait_for_reply64(xcb_connection_t* c, uint64_t request, xcb_generic_error_t** e)
{
    static const auto next = Next<decltype(&xcb_wait_for_reply64)>("xcb_wait_for_reply64");
    Depth d;
    if (d.Outermost())
        Count(request);
    return next(c, request, e);
}

xcb_generic_error_t* xcb_request_check(xcb_connection_t* c, xcb_void_cookie_t cookie)
{
    static const auto next = Next<decltype(&xcb_request_check)>("xcb_request_check");
    Depth d;
    if (d.Outermost())
        Count(cookie.sequence);
    return next(c, cookie);
}

xcb_generic_event_t* xcb_wait_for_event(xcb_connection_t* c)
{
    static const auto next = Next<decltype(&xcb_wait_for_event)>("xcb_wait_for_event");
    xcb_generic_event_t* event = next(c);
    CountEvent(event);
    return event;
}

xcb_generic_event_t* xcb_poll_for_event(xcb_connection_t* c)
{
    static const auto next = Next<decltype(&xcb_poll_for_event)>("xcb_poll_for_event");
    xcb_generic_event_t* event = next(c);
    CountEvent(event);
    return event;
}

xcb_generic_event_t* xcb_poll_for_queued_event(xcb_connection_t* c)
{
    static const auto next = Next<decltype(&xcb_poll_for_queued_event)>("xcb_poll_for_queued_event");
    xcb_generic_event_t* event = next(c);
    CountEvent(event);
    return event;
}

}  // extern "C"
