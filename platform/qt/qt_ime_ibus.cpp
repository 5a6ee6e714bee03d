// IBus through its own D-Bus bus. IBus keeps no open flag per input context:
// its engine is either a keyboard layout ("xkb:...") or an input method, and
// the desktop's switch key swaps between them. Opening switches to the input
// method last seen in use (at first a Japanese engine IBus knows), closing
// to the layout last seen in use.
//
// Anthy on IBus has an input mode of its own and starts in its Latin one,
// where keys type themselves: opening also asks it for hiragana, once the
// engine has started on the focused input context (a moment after the
// switch; the first start of the engine takes a good part of a second).
#include "platform/qt/qt_ime_ibus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTimer>

#include <utility>

namespace platform::qt::ime::ibus {
namespace {

// The daemon's bus name, which is also the name of its interface.
const QString kService = QStringLiteral("org.freedesktop.IBus");
const QString kPath = QStringLiteral("/org/freedesktop/IBus");
const QString kInputContext = QStringLiteral("org.freedesktop.IBus.InputContext");
// How often, and how many times, opening looks whether the engine has
// started on the input context, from the loop.
constexpr int kEngineStartStepMs = 100;
constexpr int kEngineStartSteps = 50;
// How long a call waits for IBus. A missing input method is answered at once
// by the bus; a busy machine can keep a live one from answering for a good
// part of a second, and a call given up on is an input method taken for
// missing, left closed for the whole edit.
constexpr int kTimeoutMs = 2000;

bool IsLayout(const QString& engine) { return engine.startsWith(QLatin1String("xkb:")); }
bool IsInputMethod(const QString& engine) { return !engine.isEmpty() && !IsLayout(engine); }

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

QDBusMessage Request(const QString& path, const QString& interface, const QString& method,
                     const QList<QVariant>& arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    return message;
}

QDBusMessage Call(const QDBusMessage& request)
{
    QDBusConnection bus = Bus();
    return bus.isConnected() ? bus.call(request, QDBus::Block, kTimeoutMs) : QDBusMessage();
}

QDBusMessage Call(const QString& method, const QList<QVariant>& arguments = {})
{
    return Call(Request(kPath, kService, method, arguments));
}

// IBus refuses what it cannot do with a plain failure ("No global engine"
// before any engine was chosen): an answer all the same.
bool Answered(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ReplyMessage ||
           (reply.type() == QDBusMessage::ErrorMessage &&
            reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.Failed"));
}

bool Done(const QDBusMessage& reply) { return reply.type() == QDBusMessage::ReplyMessage; }

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

// The engine in use; empty before one was chosen (IBus starts with none
// until its panel or the user picks one).
std::optional<QString> GlobalEngine()
{
    const QDBusMessage reply = Call(QStringLiteral("GetGlobalEngine"));
    if (!Answered(reply))
        return std::nullopt;
    if (!Done(reply) || reply.arguments().isEmpty())
        return QString();
    return EngineName(reply.arguments().at(0)).value_or(QString());
}

// The first of the named engines that IBus knows, in the order given.
QString FirstKnownEngine(const QStringList& names)
{
    const QDBusMessage reply = Call(QStringLiteral("GetEnginesByNames"), {names});
    if (!Done(reply) || reply.arguments().isEmpty() ||
        reply.arguments().at(0).userType() != qMetaTypeId<QDBusArgument>())
        return QString();
    const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
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
// The engine is the whole desktop's: the user's own from before an editor
// switched it, and the one switched to, while that switch stands.
std::optional<QString> usersEngine;
QString lentEngine;

std::optional<QString> EngineInUse()
{
    const std::optional<QString> engine = GlobalEngine();
    if (engine && !engine->isEmpty())
        (IsLayout(*engine) ? lastLayout : lastInputMethod) = *engine;
    return engine;
}

// The input context that has the focus, as IBus names it.
QString FocusedContext()
{
    const QDBusMessage reply = Call(Request(kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                            QStringLiteral("Get"), {kService, QStringLiteral("CurrentInputContext")}));
    if (!Done(reply) || reply.arguments().isEmpty())
        return QString();
    return Unwrapped(reply.arguments().at(0)).value<QDBusObjectPath>().path();
}

// Puts Anthy in hiragana once it works for the focused input context;
// other engines open ready to compose. IBus answers a question about an
// input context only on the connection that made it (Qt's, which these
// calls use) and never answers another, which may have the focus by then:
// so nothing here waits for an answer. An input context that has no engine
// yet, or the old one, is asked again.
void AskForHiragana(const QString& engine, int stepsLeft)
{
    if (!engine.startsWith(QLatin1String("anthy")))
        return;
    const QString context = FocusedContext();
    if (context.isEmpty())
        return;
    auto* watcher = new QDBusPendingCallWatcher(
        Bus().asyncCall(Request(context, kInputContext, QStringLiteral("GetEngine")), kTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [=](QDBusPendingCallWatcher* self) {
        self->deleteLater();
        const QDBusMessage reply = self->reply();
        if (Done(reply) && !reply.arguments().isEmpty() && EngineName(reply.arguments().at(0)) == engine) {
            constexpr uint kChecked = 1;
            Bus().send(Request(context, kInputContext, QStringLiteral("PropertyActivate"),
                               {QStringLiteral("InputMode.Hiragana"), QVariant::fromValue(kChecked)}));
        } else if (Answered(reply) && stepsLeft > 0) {
            QTimer::singleShot(kEngineStartStepMs, [engine, stepsLeft] { AskForHiragana(engine, stepsLeft - 1); });
        }
    });
}

}  // namespace

bool SetActive(bool open)
{
    const std::optional<QString> current = EngineInUse();
    if (!current)
        return false;
    if (!open && !IsInputMethod(*current))
        return true;
    // IBus has no list of the user's engines for programs to read; a
    // Japanese engine it knows stands in until the user's own was seen.
    QString target = !open ? lastLayout : IsInputMethod(*current) ? *current : lastInputMethod;
    if (target.isEmpty() && open)
        target = FirstKnownEngine({QStringLiteral("mozc-jp"), QStringLiteral("anthy"), QStringLiteral("kkc")});
    if (target.isEmpty())
        return false;
    // IBus answers once it has taken the request; the engine itself starts
    // a moment later, so asking which one is in use now could still name
    // the old one.
    if (target != *current) {
        if (!Done(Call(QStringLiteral("SetGlobalEngine"), {target})))
            return false;
        if (!usersEngine && !current->isEmpty())
            usersEngine = *current;
        lentEngine = target;
    }
    if (open)
        AskForHiragana(target, kEngineStartSteps);
    return true;
}

std::optional<bool> IsActive()
{
    const std::optional<QString> engine = EngineInUse();
    if (!engine)
        return std::nullopt;
    return IsInputMethod(*engine);
}

void GiveBackEngine()
{
    const std::optional<QString> users = std::exchange(usersEngine, std::nullopt);
    if (users && GlobalEngine() == lentEngine)
        Call(QStringLiteral("SetGlobalEngine"), {*users});
}

}  // namespace platform::qt::ime::ibus
