// The holder's side of the hand-off: a listening socket in a folder of the
// user's own, watched by the Qt loop, that takes the one request from
// processes of the same user and from nobody else.
//
// Any local process can try to connect, so the socket guards itself: a
// connection that sends anything but the request, or more, is closed; one
// that has not sent it in time is closed; past a number of open connections
// new ones are closed at once; when the process comes near the end of its
// descriptors the socket pauses instead of taking the last ones, which the
// saves of the notes need; and when the socket's file disappears
// (a cleaner emptied the folder) it is made again and its new address
// written into the lock file.
#include <QFileSystemWatcher>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/qt/qt_hand_off.h"
#include "platform/shared/window_state.h"
#include "platform/window.h"

namespace platform::qt::handoff {
namespace {

constexpr int kBacklog = 128;
// A later start sends its request as soon as it is connected, so a
// connection that is still silent after this long is not one.
constexpr int kConnectionTimeLimitMs = 2000;
// Well above what a burst of starts keeps open at once: each is served as
// soon as it is accepted.
constexpr int kMaxConnections = 32;
// How long accepting rests after the process ran out of descriptors.
constexpr int kAcceptPauseMs = 200;
// Descriptors that accepting leaves free for the rest of the program:
// writing the data file and a note's text, the desktop's own (a new thread's
// wake-up pipe among them, whose failure ends the process).
constexpr long kDescriptorsToSpare = 16;

// One accepted connection: reads the request, answers, closes.
class Connection : public QObject {
public:
    Connection(int fd, const Target& target, QObject* parent);
    ~Connection() override
    {
        notifier_.setEnabled(false);  // while its descriptor is still open
        ::close(fd_);
    }

private:
    void OnReadable();
    void End();

    int fd_;
    Target target_;
    std::size_t received_ = 0;
    QSocketNotifier notifier_;
};

struct Server {
    int lockFd = -1;
    std::string lockPath;
    Target target;
    int listenFd = -1;
    std::string socketPath;
    std::string madeFolder;  // made for this socket alone, removed with it
    struct stat socketFile = {};
    std::unique_ptr<QSocketNotifier> acceptor;
    std::unique_ptr<QFileSystemWatcher> watcher;
    std::unique_ptr<QObject> connections;  // parent of every open Connection
};
// Never deleted at exit: it holds Qt objects, which must not outlive the
// application object; the holder gives it up with the lock.
Server* server = nullptr;

Connection::Connection(int fd, const Target& target, QObject* parent)
    : QObject(parent), fd_(fd), target_(target), notifier_(fd, QSocketNotifier::Read)
{
    QObject::connect(&notifier_, &QSocketNotifier::activated, this, [this] { OnReadable(); });
    QTimer::singleShot(kConnectionTimeLimitMs, this, [this] { End(); });
    OnReadable();  // a later start's request is usually there before the accept
}

void Connection::End()
{
    notifier_.setEnabled(false);
    deleteLater();
}

void Connection::OnReadable()
{
    if (!notifier_.isEnabled()) return;
    // One byte more than the request lacks: a byte beyond the request that
    // is already there ends the connection as any other wrong byte does.
    const std::size_t lacking = kRequest.size() - received_;
    char buffer[kRequest.size() + 1];
    const ssize_t n = ::recv(fd_, buffer, lacking + 1, 0);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    const auto got = static_cast<std::size_t>(n);
    if (n <= 0 || got > lacking || kRequest.substr(received_, got) != std::string_view(buffer, got)) {
        End();
        return;
    }
    received_ += got;
    if (received_ < kRequest.size()) return;
    // Answered before posting, and posted only when the answer went out:
    // a later start that gave up waiting tries again, and must not find its
    // note made twice. No answer while the window is gone: the holder is
    // ending, and the later start tries again until it can take the lock.
    if (IsLiveWindow(target_.window)) {
        const char answer = kQueued;
        if (::send(fd_, &answer, 1, MSG_NOSIGNAL | MSG_DONTWAIT) == 1)
            PostWindowMessage(target_.window, target_.message, target_.wParam, target_.lParam);
    }
    End();
}

bool FromThisUser(int fd)
{
    ucred peer = {};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

void AcceptAll();

// Whether one more connection still leaves kDescriptorsToSpare free.
bool RoomForAConnection()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return true;
    std::error_code error;
    long open = 0;
    for (std::filesystem::directory_iterator it("/proc/self/fd", error), end; !error && it != end;
         it.increment(error))
        ++open;
    if (error) return true;
    return static_cast<long>(limit.rlim_cur) - open > kDescriptorsToSpare;
}

// Out of descriptors (or memory), the socket stays readable and the loop
// would spin on it: rest a moment, then take the waiting connections.
void PauseAccepting()
{
    server->acceptor->setEnabled(false);
    QTimer::singleShot(kAcceptPauseMs, server->acceptor.get(), [] {
        server->acceptor->setEnabled(true);
        AcceptAll();
    });
}

void AcceptAll()
{
    for (;;) {
        if (!RoomForAConnection()) {
            PauseAccepting();
            return;
        }
        const int fd = ::accept4(server->listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) PauseAccepting();
            return;
        }
        if (server->connections->children().size() >= kMaxConnections || !FromThisUser(fd)) {
            ::close(fd);
            continue;
        }
        new Connection(fd, server->target, server->connections.get());
    }
}

constexpr std::size_t kSocketPathLimit = sizeof(sockaddr_un::sun_path);

// The socket's name: one per data folder, so that copies of the program
// with their own folders share the user's runtime folder side by side.
std::string SocketName(const std::string& lockPath)
{
    char* real = ::realpath(lockPath.c_str(), nullptr);
    const std::string key = real ? real : lockPath;
    std::free(real);
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const unsigned char c : key) hash = (hash ^ c) * 1099511628211ull;
    char name[32];
    std::snprintf(name, sizeof name, "cevelmo-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

bool Fits(const std::string& folder, const std::string& name)
{
    return folder.size() + 1 + name.size() < kSocketPathLimit;
}

// A folder that no other user can have put there or can write into: a real
// folder (not a link to one), the user's own, without the given permission
// bits for others.
bool IsPrivateFolder(const std::string& path, mode_t othersMayNot)
{
    struct stat info = {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
           (info.st_mode & othersMayNot) == 0;
}

// Where the socket goes: the user's runtime folder when it is the user's own
// and nobody else may write into it; else a folder of the user's own in the
// temporary folder, one for all the user's copies; else, when another user
// took that name first, a fresh folder for this socket alone. Folders that
// would make the socket's path too long are passed over.
std::string SocketFolder(const std::string& name, std::string& made)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && Fits(runtime, name) &&
        IsPrivateFolder(runtime, S_IWGRP | S_IWOTH))
        return runtime;
    const char* tmpdir = std::getenv("TMPDIR");
    for (const std::string& base : {std::string(tmpdir && tmpdir[0] == '/' ? tmpdir : "/tmp"), std::string("/tmp")}) {
        const std::string own = base + "/cevelmo-" + std::to_string(::geteuid());
        if (!Fits(own, name)) continue;
        if ((::mkdir(own.c_str(), 0700) == 0 || errno == EEXIST) && IsPrivateFolder(own, S_IRWXG | S_IRWXO))
            return own;
        std::string fresh = base + "/cevelmo-XXXXXX";
        if (::mkdtemp(fresh.data()) != nullptr) {
            made = fresh;
            return fresh;
        }
    }
    return {};
}

int BindSocket(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    // A socket left behind by a holder that was killed; the name is this
    // data folder's and the folder the user's own.
    ::unlink(path.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path.c_str(), 0600) != 0 || ::listen(fd, kBacklog) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Written whole, with the newline last, so that a later start reading it
// meanwhile sees no address rather than part of one.
bool PublishAddress(const std::string& address)
{
    const std::string line = address + '\n';
    return ::ftruncate(server->lockFd, 0) == 0 &&
           ::pwrite(server->lockFd, line.data(), line.size(), 0) == static_cast<ssize_t>(line.size());
}

void CloseSocket()
{
    server->acceptor.reset();
    if (!server->watcher->files().isEmpty()) server->watcher->removePaths(server->watcher->files());
    if (server->listenFd < 0) return;
    ::close(server->listenFd);
    server->listenFd = -1;
    struct stat now = {};
    if (::lstat(server->socketPath.c_str(), &now) == 0 && now.st_ino == server->socketFile.st_ino &&
        now.st_dev == server->socketFile.st_dev)
        ::unlink(server->socketPath.c_str());
    if (!server->madeFolder.empty()) ::rmdir(server->madeFolder.c_str());
    server->madeFolder.clear();
}

bool OpenSocket();

void OnSocketFileChanged()
{
    struct stat now = {};
    if (::lstat(server->socketPath.c_str(), &now) == 0 && now.st_ino == server->socketFile.st_ino &&
        now.st_dev == server->socketFile.st_dev)
        return;
    CloseSocket();
    OpenSocket();
}

bool OpenSocket()
{
    const std::string name = SocketName(server->lockPath);
    const std::string folder = SocketFolder(name, server->madeFolder);
    if (folder.empty()) {
        std::fputs("cevelmo: no private folder for the socket that later starts reach this one by\n", stderr);
        return false;
    }
    server->socketPath = folder + '/' + name;
    server->listenFd = BindSocket(server->socketPath);
    if (server->listenFd < 0 || ::lstat(server->socketPath.c_str(), &server->socketFile) != 0 ||
        !PublishAddress(server->socketPath)) {
        std::fprintf(stderr, "cevelmo: cannot listen at %s: %s\n", server->socketPath.c_str(), std::strerror(errno));
        CloseSocket();
        return false;
    }
    server->acceptor = std::make_unique<QSocketNotifier>(server->listenFd, QSocketNotifier::Read);
    QObject::connect(server->acceptor.get(), &QSocketNotifier::activated, [] { AcceptAll(); });
    server->watcher->addPath(QString::fromLocal8Bit(server->socketPath));
    return true;
}

}  // namespace

bool Listen(int lockFd, const std::string& lockPath, const Target& target)
{
    if (server && server->lockFd == lockFd) {
        server->target = target;
        return server->listenFd >= 0;
    }
    Stop();
    server = new Server;
    server->lockFd = lockFd;
    server->lockPath = lockPath;
    server->target = target;
    server->connections = std::make_unique<QObject>();
    server->watcher = std::make_unique<QFileSystemWatcher>();
    QObject::connect(server->watcher.get(), &QFileSystemWatcher::fileChanged, [] { OnSocketFileChanged(); });
    return OpenSocket();
}

void Stop()
{
    if (!server) return;
    CloseSocket();
    [[maybe_unused]] const int cleared = ::ftruncate(server->lockFd, 0);
    delete server;
    server = nullptr;
}

void MoveAddressTo(int lockFd)
{
    if (!server) return;
    server->lockFd = lockFd;
    if (server->listenFd >= 0) PublishAddress(server->socketPath);
}

bool DeliverHere()
{
    if (!server || server->listenFd < 0 || !IsLiveWindow(server->target.window)) return false;
    const Target& t = server->target;
    return PostWindowMessage(t.window, t.message, t.wParam, t.lParam);
}

}  // namespace platform::qt::handoff
