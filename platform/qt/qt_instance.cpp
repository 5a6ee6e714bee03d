// The single-instance lock and the hand-off from a second start.
//
// The lock is an advisory lock on a file in the user's private runtime
// folder: the system lets go of it when its process ends, however it ends,
// so a crash leaves nothing stale behind, and taking it writes nothing to the
// disk. The process that holds it also listens on a local socket beside it.
// A second start connects, sends (class, title, message, wParam, lParam) and
// waits briefly for a one-byte answer: 1 when the running instance found the
// window and posted the message to it.
//
// Plain sockets watched by the Qt loop do this; the start-up of every run
// then loads neither Qt's network library nor the libraries it brings.
#include <QByteArray>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QSysInfo>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <optional>

#include "platform/inspect.h"
#include "platform/system.h"
#include "platform/window.h"

namespace platform::qt {
namespace {

constexpr int kAnswerTimeoutMs = 2000;

int lockFd = -1;
int serverFd = -1;
QSocketNotifier* serverNotifier = nullptr;
QString heldName;

QString RuntimeFolder(const QString& name)
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir().mkpath(runtime))
        return runtime;
    const QString fallback = QStringLiteral("/tmp/%1-%2").arg(name).arg(getuid());
    QDir().mkpath(fallback);
    QFile::setPermissions(fallback, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return fallback;
}

QString ServerPath(const QString& name)
{
    return RuntimeFolder(name) + QStringLiteral("/%1-%2").arg(name).arg(getuid());
}

// The socket address of a path; nullopt when the path does not fit.
std::optional<sockaddr_un> AddressOf(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(bytes.size()) >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return address;
}

struct HandOff {
    QString className;
    QString title;
    quint32 message = 0;
    quint64 wParam = 0;
    qint64 lParam = 0;
};

QByteArray Encode(const HandOff& handOff)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << handOff.className << handOff.title << handOff.message << handOff.wParam << handOff.lParam;
    return bytes;
}

// The hand-off, once all of its bytes have arrived.
std::optional<HandOff> Decode(const QByteArray& bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    HandOff handOff;
    in >> handOff.className >> handOff.title >> handOff.message >> handOff.wParam >> handOff.lParam;
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    return handOff;
}

bool PostHandOff(const HandOff& handOff)
{
    const WindowHandle window = FindAppWindow(handOff.className.toStdU16String(), handOff.title.toStdU16String());
    return window != 0 && PostWindowMessage(window, handOff.message, static_cast<WParam>(handOff.wParam),
                                            static_cast<LParam>(handOff.lParam));
}

bool WriteAll(int fd, const char* data, std::size_t size, bool socket = true)
{
    while (size > 0) {
        const ssize_t n = socket ? ::send(fd, data, size, MSG_NOSIGNAL) : ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// One connection from a second start: its bytes gather until the hand-off
// is whole (or the peer gives up), then it is posted and answered.
class Connection {
public:
    explicit Connection(int fd) : fd_(fd), notifier_(fd, QSocketNotifier::Read)
    {
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { OnReadable(); });
    }
    ~Connection() { ::close(fd_); }

private:
    void OnReadable();
    int fd_;
    QSocketNotifier notifier_;
    QByteArray received_;
};

std::map<int, std::unique_ptr<Connection>>& Connections()
{
    // Never destroyed: Qt objects must not outlive Qt's own teardown at exit.
    static auto* connections = new std::map<int, std::unique_ptr<Connection>>;
    return *connections;
}

void Connection::OnReadable()
{
    char buffer[512];
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n > 0)
        received_.append(buffer, static_cast<qsizetype>(n));
    const std::optional<HandOff> handOff = n > 0 ? Decode(received_) : std::nullopt;
    if (n > 0 && !handOff)
        return;  // the rest has not arrived yet
    if (handOff) {
        const char answer = PostHandOff(*handOff) ? 1 : 0;
        WriteAll(fd_, &answer, 1);
    }
    notifier_.setEnabled(false);
    // Deleting the connection from inside its own notifier's signal is not
    // safe: let the loop do it.
    const int fd = fd_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [fd] { Connections().erase(fd); }, Qt::QueuedConnection);
}

void AcceptConnections()
{
    for (;;) {
        const int fd = ::accept4(serverFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;
        Connections()[fd] = std::make_unique<Connection>(fd);
    }
}

void StartServer(const QString& name)
{
    const std::optional<sockaddr_un> address = AddressOf(ServerPath(name));
    if (!address)
        return;
    // A socket file left by a crashed holder of the lock.
    ::unlink(address->sun_path);
    serverFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (serverFd < 0)
        return;
    if (::bind(serverFd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        ::listen(serverFd, 8) != 0) {
        ::close(serverFd);
        serverFd = -1;
        return;
    }
    serverNotifier = new QSocketNotifier(serverFd, QSocketNotifier::Read);
    QObject::connect(serverNotifier, &QSocketNotifier::activated, [] { AcceptConnections(); });
}

void StopServer()
{
    delete serverNotifier;
    serverNotifier = nullptr;
    Connections().clear();
    if (serverFd >= 0)
        ::close(serverFd);
    serverFd = -1;
}

// Says who holds the lock, in the form of Qt's lock files, which earlier
// copies of the program took: they find the lock stale by it once this
// process has ended, and taken while it runs (the advisory lock is what
// decides between copies of this one). Nothing waits for the disk: the file
// is only read while its writer is known to be alive.
void WriteHolder(int fd)
{
    const QByteArray holder = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                              QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' +
                              QSysInfo::machineHostName().toUtf8() + '\n';
    if (::ftruncate(fd, 0) == 0)
        WriteAll(fd, holder.constData(), static_cast<std::size_t>(holder.size()), false);
}

// Waits for the one-byte answer of the running instance.
bool ReadAnswer(int fd)
{
    pollfd waiting{fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&waiting, 1, kAnswerTimeoutMs);
    } while (ready < 0 && errno == EINTR);
    char answer = 0;
    return ready == 1 && ::recv(fd, &answer, 1, 0) == 1 && answer == 1;
}

}  // namespace
}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

InstanceLock AcquireInstanceLock(const std::u16string& name)
{
    const QString lockName = QString::fromStdU16String(name);
    // One lock per process; asking again for the one held finds it taken.
    if (lockFd >= 0)
        return heldName == lockName ? InstanceLock::AlreadyExists : InstanceLock::Failed;
    const QByteArray path = QFile::encodeName(RuntimeFolder(lockName) + QStringLiteral("/%1.lock").arg(lockName));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return InstanceLock::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        ::close(fd);
        return taken ? InstanceLock::AlreadyExists : InstanceLock::Failed;
    }
    WriteHolder(fd);
    lockFd = fd;
    heldName = lockName;
    StartServer(lockName);
    return InstanceLock::Acquired;
}

void ReleaseInstanceLock()
{
    StopServer();
    // The lock file stays: removing it while another start has it open would
    // let two processes each hold a lock, on two different files.
    if (lockFd >= 0)
        ::close(lockFd);
    lockFd = -1;
    heldName.clear();
}

bool PostToRunningInstance(const std::u16string& lockName, const std::u16string& className,
                           const std::u16string& title, std::uint32_t message, WParam wParam,
                           LParam lParam)
{
    const QString name = QString::fromStdU16String(lockName);
    const HandOff handOff{QString::fromStdU16String(className), QString::fromStdU16String(title), message,
                          static_cast<quint64>(wParam), static_cast<qint64>(lParam)};
    if (lockFd >= 0 && heldName == name)
        return PostHandOff(handOff);  // this process is the running instance
    const std::optional<sockaddr_un> address = AddressOf(ServerPath(name));
    if (!address)
        return false;
    // Non-blocking, so that a running instance too busy to take connections
    // fails the hand-off at once instead of holding up this start.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const QByteArray bytes = Encode(handOff);
    const bool delivered = ::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) == 0 &&
                           WriteAll(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) &&
                           ReadAnswer(fd);
    ::close(fd);
    return delivered;
}

}  // namespace platform
