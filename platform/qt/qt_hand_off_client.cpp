// A later start's side of the hand-off: one attempt to reach the holder of
// the lock at the address in the lock file. Whatever goes wrong makes the
// attempt fail, never block for long: the caller tries again.
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/qt/qt_hand_off.h"

namespace platform::qt::handoff {
namespace {

// Time for the holder to take the request and answer, even when it is busy
// with a burst of starts.
constexpr int kAnswerTimeoutMs = 5000;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// The socket's path as the holder wrote it, or empty while there is none:
// the holder has not begun to listen, is writing it, or has stopped. The
// file is read without waiting, whatever lies at its name.
std::string ReadAddress(const std::string& lockPath)
{
    const Descriptor file(::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat info = {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
    char text[sizeof(sockaddr_un::sun_path) + 1];
    const ssize_t n = ::pread(file.get(), text, sizeof text, 0);
    const std::string_view read(text, n > 0 ? static_cast<std::size_t>(n) : 0);
    const std::size_t end = read.find('\n');
    if (end == std::string_view::npos || end >= sizeof(sockaddr_un::sun_path) || read.front() != '/' ||
        read.substr(0, end).find('\0') != std::string_view::npos)
        return {};
    return std::string(read.substr(0, end));
}

// The holder runs as this user; anyone else listening there is not it.
bool ServedByThisUser(int fd)
{
    ucred peer = {};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

bool WaitReadable(int fd, int timeoutMs)
{
    pollfd wait = {fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&wait, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready == 1;
}

}  // namespace

bool Request(const std::string& lockPath)
{
    const std::string address = ReadAddress(lockPath);
    if (address.empty()) return false;
    const Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    sockaddr_un to = {};
    to.sun_family = AF_UNIX;
    std::memcpy(to.sun_path, address.c_str(), address.size() + 1);
    // Not blocking: a holder whose queue of connections is full refuses at
    // once (EAGAIN), and the caller tries again a moment later.
    if (socket.get() < 0 || ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 ||
        !ServedByThisUser(socket.get()))
        return false;
    if (::send(socket.get(), kRequest.data(), kRequest.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(kRequest.size()))
        return false;
    char answer = 0;
    return WaitReadable(socket.get(), kAnswerTimeoutMs) && ::recv(socket.get(), &answer, 1, 0) == 1 &&
           answer == kQueued;
}

}  // namespace platform::qt::handoff
