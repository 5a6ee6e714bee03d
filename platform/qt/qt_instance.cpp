// The single-instance lock and the hand-off from a second start.
//
// The lock is a lock file in the user's private runtime folder; the process
// that holds it also listens on a local socket beside it. A second start
// connects, sends (class, title, message, wParam, lParam) and waits briefly
// for a one-byte answer: 1 when the running instance found the window and
// posted the message to it.
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>

#include <unistd.h>

#include "platform/inspect.h"
#include "platform/system.h"
#include "platform/window.h"

namespace platform::qt {
namespace {

constexpr int kConnectTimeoutMs = 1500;
constexpr int kAnswerTimeoutMs = 2000;

std::unique_ptr<QLockFile> heldLock;
QLocalServer* handOffServer = nullptr;  // deleted on release, never at exit
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

struct HandOff {
    QString className;
    QString title;
    quint32 message = 0;
    quint64 wParam = 0;
    qint64 lParam = 0;
};

bool PostHandOff(const HandOff& handOff)
{
    const WindowHandle window = FindAppWindow(handOff.className.toStdU16String(), handOff.title.toStdU16String());
    return window != 0 && PostWindowMessage(window, handOff.message, static_cast<WParam>(handOff.wParam),
                                            static_cast<LParam>(handOff.lParam));
}

// Reads one hand-off from a connection once all of it has arrived, posts it
// and answers.
void ServeConnection(QLocalSocket* socket)
{
    QDataStream in(socket);
    in.setVersion(QDataStream::Qt_6_0);
    in.startTransaction();
    HandOff handOff;
    in >> handOff.className >> handOff.title >> handOff.message >> handOff.wParam >> handOff.lParam;
    if (!in.commitTransaction())
        return;  // the rest has not arrived yet
    const char answer = PostHandOff(handOff) ? 1 : 0;
    socket->write(&answer, 1);
    socket->flush();
    socket->disconnectFromServer();
}

void StartServer(const QString& name)
{
    const QString path = ServerPath(name);
    QLocalServer::removeServer(path);  // a socket left by a crashed holder of the lock
    handOffServer = new QLocalServer;
    if (!handOffServer->listen(path))
        return;
    QLocalServer* server = handOffServer;
    QObject::connect(server, &QLocalServer::newConnection, server, [server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] { ServeConnection(socket); });
            if (socket->bytesAvailable() > 0)
                ServeConnection(socket);
        }
    });
}

}  // namespace
}  // namespace platform::qt

namespace platform {
using namespace platform::qt;

InstanceLock AcquireInstanceLock(const std::u16string& name)
{
    const QString lockName = QString::fromStdU16String(name);
    // One lock per process; asking again for the one held finds it taken.
    if (heldLock)
        return heldName == lockName ? InstanceLock::AlreadyExists : InstanceLock::Failed;
    auto lock = std::make_unique<QLockFile>(RuntimeFolder(lockName) + QStringLiteral("/%1.lock").arg(lockName));
    lock->setStaleLockTime(0);  // stale only when its owner is gone
    if (!lock->tryLock(0)) {
        return lock->error() == QLockFile::LockFailedError ? InstanceLock::AlreadyExists
                                                           : InstanceLock::Failed;
    }
    heldLock = std::move(lock);
    heldName = lockName;
    StartServer(lockName);
    return InstanceLock::Acquired;
}

void ReleaseInstanceLock()
{
    delete handOffServer;
    handOffServer = nullptr;
    if (heldLock)
        heldLock->unlock();
    heldLock.reset();
    heldName.clear();
}

bool PostToRunningInstance(const std::u16string& lockName, const std::u16string& className,
                           const std::u16string& title, std::uint32_t message, WParam wParam,
                           LParam lParam)
{
    const QString name = QString::fromStdU16String(lockName);
    const HandOff handOff{QString::fromStdU16String(className), QString::fromStdU16String(title), message,
                          static_cast<quint64>(wParam), static_cast<qint64>(lParam)};
    if (heldLock && heldName == name)
        return PostHandOff(handOff);  // this process is the running instance
    QLocalSocket socket;
    socket.connectToServer(ServerPath(name));
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    QDataStream out(&socket);
    out.setVersion(QDataStream::Qt_6_0);
    out << handOff.className << handOff.title << handOff.message << handOff.wParam << handOff.lParam;
    if (socket.bytesToWrite() > 0 && !socket.waitForBytesWritten(kConnectTimeoutMs))
        return false;
    char answer = 0;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(kAnswerTimeoutMs))
            return false;
    }
    return socket.read(&answer, 1) == 1 && answer == 1;
}

}  // namespace platform
