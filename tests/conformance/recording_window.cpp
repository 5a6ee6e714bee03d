// The recording window procedure and the fixture around it.
#include "recording_window.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

namespace conformance {
namespace {

Handler& CurrentHandler()
{
    static Handler handler;
    return handler;
}

LResult RecordingProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam)
{
    Log().push_back({window, message, wParam, lParam});
    if (CurrentHandler()) {
        // A copy, so that a handler may replace itself while it runs.
        Handler handler = CurrentHandler();
        if (auto result = handler(window, message, wParam, lParam)) return *result;
    }
    return DefaultWindowProc(window, message, wParam, lParam);
}

void RegisterOnce()
{
    static const bool registered = RegisterWindowClass(
        kClassName, cs::HorizontalRedraw | cs::VerticalRedraw | cs::DoubleClicks, RecordingProc);
    ASSERT_TRUE(registered);
}

std::vector<Received> Filtered(auto keep)
{
    std::vector<Received> out;
    std::copy_if(Log().begin(), Log().end(), std::back_inserter(out), keep);
    return out;
}

}  // namespace

std::vector<Received>& Log()
{
    static std::vector<Received> log;
    return log;
}

std::vector<Received> ReceivedBy(WindowHandle window, std::uint32_t message)
{
    return Filtered([=](const Received& r) { return r.window == window && r.message == message; });
}

std::vector<Received> PrivateMessages()
{
    return Filtered([](const Received& r) { return r.message >= wm::User; });
}

std::vector<Received> ActivationMessages()
{
    return Filtered([](const Received& r) {
        return r.message == wm::Activate || r.message == wm::SetFocus || r.message == wm::KillFocus;
    });
}

namespace {

using Clock = std::chrono::steady_clock;

bool PumpFor(std::chrono::milliseconds limit, const std::function<bool()>& done)
{
    const auto end = Clock::now() + limit;
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done) { return PumpFor(std::chrono::seconds(10), done); }

void PumpAWhile() { PumpFor(std::chrono::milliseconds(300), [] { return false; }); }

void PlatformTest::SetUp()
{
    RegisterOnce();
    Log().clear();
}

void PlatformTest::TearDown()
{
    CurrentHandler() = nullptr;
    for (WindowHandle window : made_)
        if (IsLiveWindow(window)) DestroyAppWindow(window);
    PumpMessages();
    Log().clear();
}

WindowHandle PlatformTest::MakeWindow(Rect bounds, const std::u16string& title)
{
    const WindowHandle window = CreateAppWindow(kClassName, title, bounds);
    EXPECT_NE(window, 0u);
    made_.push_back(window);
    return window;
}

void PlatformTest::SetHandler(Handler handler) { CurrentHandler() = std::move(handler); }

}  // namespace conformance
