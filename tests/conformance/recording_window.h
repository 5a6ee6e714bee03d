// A test window class whose procedure records every message it receives and
// lets a test answer chosen messages itself. Windows made through the fixture
// are destroyed after each test, so every test starts on an empty desktop.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/testing/inspect.h"
#include "platform/types.h"
#include "platform/window.h"

namespace conformance {

using namespace platform;

struct Received {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    friend bool operator==(const Received&, const Received&) = default;
    friend void PrintTo(const Received& r, std::ostream* out)
    {
        *out << "{window " << r.window << ", message " << r.message << ", " << r.wParam << ", " << r.lParam << "}";
    }
};

// Answers a message instead of the default processing, or passes (nullopt).
using Handler = std::function<std::optional<LResult>(WindowHandle, std::uint32_t, WParam, LParam)>;

inline const std::u16string kClassName = u"CONFORMANCE";

// Everything the test windows received so far, in order.
std::vector<Received>& Log();
// The messages of one number that one window received.
std::vector<Received> ReceivedBy(WindowHandle window, std::uint32_t message);
// Messages in the private range (wm::User and above), in order.
std::vector<Received> PrivateMessages();
// The activation and focus messages (wm::Activate, wm::SetFocus,
// wm::KillFocus), in order.
std::vector<Received> ActivationMessages();

// What the desktop does on its own time (a window manager activating a
// window) arrives within a moment, later on a loaded machine: pumps until
// `done` holds, for at most ten seconds, and tells whether it came to hold.
bool PumpUntil(const std::function<bool()>& done);
// Pumps for a moment, long enough for the desktop to act on what was asked,
// for checks that something does not happen.
void PumpAWhile();

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    WindowHandle MakeWindow(Rect bounds = Rect{100, 100, 260, 140}, const std::u16string& title = u"conformance");
    void SetHandler(Handler handler);

private:
    std::vector<WindowHandle> made_;
};

}  // namespace conformance
