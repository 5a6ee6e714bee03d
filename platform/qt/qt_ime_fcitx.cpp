// fcitx5 through its D-Bus controller (org.fcitx.Fcitx.Controller1), which
// acts on the input context that has the focus: Activate and Deactivate open
// and close the input method, State tells 0 (no input context), 1 (closed)
// or 2 (open). The Anthy engine's typing method (romaji or kana) is part of
// its configuration, which the controller reads and writes.
//
// Qt's fcitx module makes one input context per top-level window, the first
// time the window takes the focus, and focuses it once fcitx has answered:
// until then the controller acts on the context that had the focus before,
// which may be another window's or another program's. fcitx tells the
// program when one of its contexts takes the focus (CurrentIM, sent on every
// focus-in to a client that asks for it, as Qt's module does).
//
// A typing method lent to an editor is noted on disk, with the user's own,
// before it is written: a program killed during the edit cannot put the
// user's back, so its next start does.
#include "platform/qt/qt_ime_fcitx.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform::qt::ime::fcitx {
namespace {

const QString kService = QStringLiteral("org.fcitx.Fcitx5");
const QString kPath = QStringLiteral("/controller");
const QString kInterface = QStringLiteral("org.fcitx.Fcitx.Controller1");
const QString kAnthyConfig = QStringLiteral("fcitx://config/addon/anthy");
const QString kTypingMethod = QStringLiteral("TypingMethod");
const QString kGeneral = QStringLiteral("General");
const QString kInputContext = QStringLiteral("org.fcitx.Fcitx.InputContext1");
// How long a call waits for fcitx5. A missing input method is answered at once
// by the bus; a busy machine can keep a live one from answering for a good
// part of a second, and a call given up on is an input method taken for
// missing, left closed for the whole edit.
constexpr int kTimeoutMs = 2000;

// The user's own typing method while the program has set another one, and
// the one it set.
std::optional<QString> usersTypingMethod;
QString lentTypingMethod;

// Qt's fcitx input context talks to fcitx on a connection of its own named
// "fcitx". Requests sent on that same connection reach fcitx after the focus
// changes the input context reported, so they act on the editor's context.
QDBusConnection Bus()
{
    QDBusConnection shared(QStringLiteral("fcitx"));
    return shared.isConnected() ? shared : QDBusConnection::sessionBus();
}

QDBusMessage Request(const QString& method, const QList<QVariant>& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    message.setArguments(arguments);
    return message;
}

std::optional<QList<QVariant>> Call(const QString& method, const QList<QVariant>& arguments = {})
{
    const QDBusMessage reply = Bus().call(Request(method, arguments), QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return std::nullopt;
    return reply.arguments();
}

// A dictionary of the configuration tree, however D-Bus wrapped it.
QVariantMap MapOf(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QDBusVariant>())
        return MapOf(value.value<QDBusVariant>().variant());
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        QVariantMap map;
        value.value<QDBusArgument>() >> map;
        return map;
    }
    return value.toMap();
}

QString StringOf(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QDBusVariant>())
        return value.value<QDBusVariant>().variant().toString();
    return value.toString();
}

// Anthy's typing method as the configuration names it, when Anthy is one of
// the input methods of the current group (the one that opening switches to).
std::optional<QString> AnthyTypingMethod()
{
    const auto group = Call(QStringLiteral("CurrentInputMethodGroup"));
    if (!group || group->isEmpty())
        return std::nullopt;
    const auto info = Call(QStringLiteral("InputMethodGroupInfo"), {group->at(0)});
    bool hasAnthy = false;
    if (info && info->size() >= 2) {
        const QDBusArgument items = info->at(1).value<QDBusArgument>();
        items.beginArray();
        while (!items.atEnd()) {
            QString name, layout;
            items.beginStructure();
            items >> name >> layout;
            items.endStructure();
            hasAnthy = hasAnthy || name == QLatin1String("anthy");
        }
        items.endArray();
    }
    if (!hasAnthy)
        return std::nullopt;
    const auto config = Call(QStringLiteral("GetConfig"), {kAnthyConfig});
    if (!config || config->isEmpty())
        return std::nullopt;
    const QVariant method = MapOf(MapOf(config->at(0)).value(kGeneral)).value(kTypingMethod);
    if (!method.isValid())
        return std::nullopt;
    return StringOf(method);
}

bool WriteTypingMethod(const QString& method)
{
    QVariantMap general;
    general.insert(kTypingMethod, method);
    QVariantMap config;
    config.insert(kGeneral, general);
    return Call(QStringLiteral("SetConfig"), {kAnthyConfig, QVariant::fromValue(QDBusVariant(config))}).has_value();
}

// The note of a lent typing method: the lender's process id, the user's
// method and the lent one, a line each. It belongs with the user's input
// method, so it lies in the user's state folder rather than beside the
// notes (a Data folder may be shared with other machines).
QString LoanPath()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/cevelmo/lent-typing-method");
}

void NoteLoan(const QString& users, const QString& lent)
{
    const QString path = LoanPath();
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QStringLiteral("%1\n%2\n%3\n").arg(getpid()).arg(users, lent).toUtf8());
        file.commit();
    }
}

bool Runs(qint64 pid) { return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

}  // namespace

bool Answers() { return Call(QStringLiteral("State")).has_value(); }

bool SetActive(bool open)
{
    return Bus().send(Request(open ? QStringLiteral("Activate") : QStringLiteral("Deactivate"), {}));
}

// QtDBus delivers a signal only to a slot; a timer's start() is one, and its
// timeout runs the callback from the loop. Kept for the whole run, like the
// connection (never destroyed: Qt objects must not outlive Qt's teardown).
bool WatchFocus(std::function<void()> onFocus)
{
    static QTimer* const relay = new QTimer;
    relay->setSingleShot(true);
    relay->setInterval(0);
    QObject::connect(relay, &QTimer::timeout, std::move(onFocus));
    return Bus().connect(QString(), QString(), kInputContext, QStringLiteral("CurrentIM"), relay, SLOT(start()));
}

std::optional<bool> IsActive()
{
    const auto state = Call(QStringLiteral("State"));
    if (!state || state->isEmpty())
        return std::nullopt;
    const int value = state->at(0).toInt();
    if (value == 0)
        return std::nullopt;  // no input context has the focus
    return value == 2;
}

bool SetTypingMethod(Conversion conversion)
{
    const QString wanted = conversion == Conversion::Kana ? QStringLiteral("Kana") : QStringLiteral("Romaji");
    const std::optional<QString> current = AnthyTypingMethod();
    if (!current)
        return false;
    if (*current == wanted)
        return true;  // the engine's stored setting is written only when it changes
    if (!usersTypingMethod)
        usersTypingMethod = current;
    lentTypingMethod = wanted;
    NoteLoan(*usersTypingMethod, wanted);
    return WriteTypingMethod(wanted) && AnthyTypingMethod() == wanted;
}

void RestoreTypingMethod()
{
    const std::optional<QString> users = std::exchange(usersTypingMethod, std::nullopt);
    if (users && AnthyTypingMethod() == lentTypingMethod)
        WriteTypingMethod(*users);
    if (users)
        QFile::remove(LoanPath());
}

void RestoreLeftTypingMethod()
{
    QFile file(LoanPath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    file.close();
    if (lines.size() < 3 || Runs(lines[0].toLongLong()))
        return;  // the lender still edits (another copy of the program)
    const std::optional<QString> current = AnthyTypingMethod();
    if (!current)
        return;  // kept for a start that finds fcitx answering
    if (*current == lines[2])
        WriteTypingMethod(lines[1]);
    QFile::remove(LoanPath());
}

}  // namespace platform::qt::ime::fcitx
