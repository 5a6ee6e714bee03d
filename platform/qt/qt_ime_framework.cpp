// Which input-method framework composes the program's text, and the calls
// that reach it.
#include "platform/qt/qt_ime_framework.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTimer>

#include <utility>

#include "platform/qt/qt_ime_fcitx.h"
#include "platform/qt/qt_ime_ibus.h"

namespace platform::qt::ime {

// Qt loads the input context module that QT_IM_MODULE names (newer Qt also
// reads the list QT_IM_MODULES); a desktop running fcitx5 or IBus sets it.
Framework InUse()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return Framework::None;
    QByteArray module = qgetenv("QT_IM_MODULES").split(';').value(0);
    if (module.isEmpty())
        module = qgetenv("QT_IM_MODULE");
    if (module.startsWith("fcitx"))
        return Framework::Fcitx;
    if (module == "ibus")
        return Framework::IBus;
    return Framework::None;
}

Framework Answering()
{
    const Framework framework = InUse();
    switch (framework) {
    case Framework::Fcitx: return fcitx::Answers() ? framework : Framework::None;
    case Framework::IBus: return ibus::IsActive().has_value() ? framework : Framework::None;
    default: return Framework::None;
    }
}

bool SetOpen(Framework framework, bool open)
{
    switch (framework) {
    case Framework::Fcitx: return fcitx::SetActive(open);
    case Framework::IBus: return ibus::SetActive(open);
    default: return false;
    }
}

bool WatchFocus(Framework framework, std::function<void()> onFocus)
{
    return framework == Framework::Fcitx && fcitx::WatchFocus(std::move(onFocus));
}

std::optional<bool> IsOpen(Framework framework)
{
    switch (framework) {
    case Framework::Fcitx: return fcitx::IsActive();
    case Framework::IBus: return ibus::IsActive();
    default: return std::nullopt;
    }
}

bool SetConversion(Framework framework, Conversion conversion)
{
    return framework == Framework::Fcitx && fcitx::SetTypingMethod(conversion);
}

void GiveBack(Framework framework)
{
    switch (framework) {
    case Framework::Fcitx: fcitx::RestoreTypingMethod(); break;
    case Framework::IBus: ibus::GiveBackEngine(); break;
    default: break;
    }
}

void GiveBackAfterEarlierRun()
{
    if (InUse() == Framework::Fcitx)
        QTimer::singleShot(0, [] { fcitx::RestoreLeftTypingMethod(); });
}

}  // namespace platform::qt::ime
