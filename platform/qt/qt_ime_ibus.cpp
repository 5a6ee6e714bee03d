// IBus through its own D-Bus bus. IBus keeps no open flag per input context:
// its engine is either a keyboard layout ("xkb:...") or an input method, and
// the desktop's switch key swaps between the first of each in the user's
// list (PreloadEngines). Opening and closing do the same swap.
#include "platform/qt/qt_ime_ibus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QStringList>

namespace platform::qt::ime::ibus {
namespace {

const QString kService = QStringLiteral("org.freedesktop.IBus");
const QString kPath = QStringLiteral("/org/freedesktop/IBus");
const QString kInterface = QStringLiteral("org.freedesktop.IBus");
constexpr int kTimeoutMs = 250;

bool IsLayout(const QString& engine) { return engine.startsWith(QLatin1String("xkb:")); }

QString MachineId()
{
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly))
            return QString::fromLatin1(file.readAll()).trimmed();
    }
    return QString();
}

// The bus address: IBUS_ADDRESS, or the file the daemon writes for the X
// display ($XDG_CONFIG_HOME/ibus/bus/MACHINE-HOST-DISPLAY, host "unix" for a
// local display).
QString Address()
{
    const QString given = qEnvironmentVariable("IBUS_ADDRESS");
    if (!given.isEmpty())
        return given;
    const QString display = qEnvironmentVariable("DISPLAY");
    const qsizetype colon = display.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return QString();
    const QString host = colon == 0 ? QStringLiteral("unix") : display.left(colon);
    const QString number = display.mid(colon + 1).section(QLatin1Char('.'), 0, 0);
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    QFile file(config + QStringLiteral("/ibus/bus/") + MachineId() + QLatin1Char('-') + host + QLatin1Char('-') +
               number);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("IBUS_ADDRESS="))
            return QString::fromUtf8(line.mid(13));
    }
    return QString();
}

// Qt's IBus input context talks to IBus on a connection named "QIBusProxy";
// requests on that connection reach IBus after the focus changes it reported.
QDBusConnection Bus()
{
    QDBusConnection shared(QStringLiteral("QIBusProxy"));
    if (shared.isConnected())
        return shared;
    QDBusConnection own(QStringLiteral("cevelmo-ibus"));
    if (own.isConnected())
        return own;
    return QDBusConnection::connectToBus(Address(), QStringLiteral("cevelmo-ibus"));
}

std::optional<QList<QVariant>> Call(const QString& interface, const QString& method, const QList<QVariant>& arguments)
{
    QDBusConnection bus = Bus();
    if (!bus.isConnected())
        return std::nullopt;
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = bus.call(message, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return reply.arguments();
}

QVariant Unwrapped(const QVariant& value)
{
    return value.userType() == qMetaTypeId<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
}

// The name of the engine in use: the third field of the engine description
// (type name, attachments, name, ...).
std::optional<QString> GlobalEngine()
{
    const auto reply = Call(kInterface, QStringLiteral("GetGlobalEngine"), {});
    if (!reply)
        return std::nullopt;
    const QVariant description = Unwrapped(reply->at(0));
    if (description.userType() != qMetaTypeId<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument argument = description.value<QDBusArgument>();
    QString typeName, name;
    QVariantMap attachments;
    argument.beginStructure();
    argument >> typeName >> attachments >> name;
    return name;
}

QStringList PreloadEngines()
{
    const auto reply = Call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                            {kInterface, QStringLiteral("PreloadEngines")});
    return reply ? Unwrapped(reply->at(0)).toStringList() : QStringList();
}

}  // namespace

bool SetActive(bool open)
{
    const QStringList engines = PreloadEngines();
    const auto target =
        std::find_if(engines.begin(), engines.end(), [open](const QString& e) { return IsLayout(e) != open; });
    if (target == engines.end())
        return false;
    if (!Call(kInterface, QStringLiteral("SetGlobalEngine"), {*target}))
        return false;
    return IsActive() == open;
}

std::optional<bool> IsActive()
{
    const std::optional<QString> engine = GlobalEngine();
    if (!engine)
        return std::nullopt;
    return !IsLayout(*engine);
}

}  // namespace platform::qt::ime::ibus
