// IBus through its own D-Bus bus. IBus keeps no open flag per input context:
// its engine is either a keyboard layout ("xkb:...") or an input method, and
// the desktop's switch key swaps between them. Opening switches to the input
// method last seen in use (at first a Japanese engine IBus knows), closing
// to the layout last seen in use.
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
// How long a call waits for IBus. A missing input method is answered at once
// by the bus; a busy machine can keep a live one from answering for a good
// part of a second, and a call given up on is an input method taken for
// missing, left closed for the whole edit.
constexpr int kTimeoutMs = 2000;

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
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return reply.arguments();
}

QVariant Unwrapped(const QVariant& value)
{
    return value.userType() == qMetaTypeId<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
}

// The name in an engine description: its third field (type name,
// attachments, name, ...).
std::optional<QString> EngineName(const QVariant& description)
{
    const QVariant value = Unwrapped(description);
    if (value.userType() != qMetaTypeId<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument argument = value.value<QDBusArgument>();
    QString typeName, name;
    QVariantMap attachments;
    argument.beginStructure();
    argument >> typeName >> attachments >> name;
    return name;
}

std::optional<QString> GlobalEngine()
{
    const auto reply = Call(kInterface, QStringLiteral("GetGlobalEngine"), {});
    return reply && !reply->isEmpty() ? EngineName(reply->at(0)) : std::nullopt;
}

// The first of the named engines that IBus knows, in the order given.
QString FirstKnownEngine(const QStringList& names)
{
    const auto reply = Call(kInterface, QStringLiteral("GetEnginesByNames"), {names});
    if (!reply || reply->isEmpty() || reply->at(0).userType() != qMetaTypeId<QDBusArgument>())
        return QString();
    const QDBusArgument list = reply->at(0).value<QDBusArgument>();
    QString first;
    list.beginArray();
    while (!list.atEnd()) {
        QDBusVariant description;
        list >> description;
        if (const std::optional<QString> name = EngineName(description.variant()); name && first.isEmpty())
            first = *name;
    }
    list.endArray();
    return first;
}

// The engines of each kind last seen in use: opening goes back to the
// user's input method, closing to the user's layout.
QString lastLayout;
QString lastInputMethod;

std::optional<QString> EngineInUse()
{
    const std::optional<QString> engine = GlobalEngine();
    if (engine && !engine->isEmpty())
        (IsLayout(*engine) ? lastLayout : lastInputMethod) = *engine;
    return engine;
}

}  // namespace

bool SetActive(bool open)
{
    const std::optional<QString> current = EngineInUse();
    if (!current)
        return false;
    if (IsLayout(*current) != open)
        return true;
    // IBus has no list of the user's engines for programs to read; a
    // Japanese engine it knows stands in until the user's own was seen.
    QString target = open ? lastInputMethod : lastLayout;
    if (target.isEmpty() && open)
        target = FirstKnownEngine({QStringLiteral("mozc-jp"), QStringLiteral("anthy"), QStringLiteral("kkc")});
    // IBus answers once it has taken the request; the engine itself starts
    // a moment later, so asking which one is in use now could still name
    // the old one.
    return !target.isEmpty() && Call(kInterface, QStringLiteral("SetGlobalEngine"), {target}).has_value();
}

std::optional<bool> IsActive()
{
    const std::optional<QString> engine = EngineInUse();
    if (!engine)
        return std::nullopt;
    return !IsLayout(*engine);
}

}  // namespace platform::qt::ime::ibus
