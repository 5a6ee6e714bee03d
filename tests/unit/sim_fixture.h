// A fresh simulated desktop for each test of the sim backend itself, with a
// window class whose procedure records every message and can be told how to
// answer.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "platform/sim/sim.h"
#include "platform/window.h"

struct SimMessage {
    platform::WindowHandle window = 0;
    std::uint32_t message = 0;
    platform::WParam wParam = 0;
    platform::LParam lParam = 0;
    friend bool operator==(const SimMessage&, const SimMessage&) = default;
};

class SimTest : public ::testing::Test {
protected:
    using Handler = std::function<std::optional<platform::LResult>(platform::WindowHandle, std::uint32_t,
                                                                  platform::WParam, platform::LParam)>;

    void SetUp() override
    {
        sim::Reset();
        Messages().clear();
        Answer() = nullptr;
        ASSERT_TRUE(platform::RegisterWindowClass(u"SIMTEST", 0, &Proc));
    }

    void TearDown() override { Answer() = nullptr; }

    static platform::WindowHandle Make(platform::Rect bounds = {10, 10, 110, 60})
    {
        return platform::CreateAppWindow(u"SIMTEST", u"sim", bounds);
    }

    // The messages of these numbers, in the order they arrived.
    static std::vector<SimMessage> Only(std::initializer_list<std::uint32_t> numbers)
    {
        std::vector<SimMessage> out;
        for (const SimMessage& m : Messages())
            for (std::uint32_t n : numbers)
                if (m.message == n) out.push_back(m);
        return out;
    }

    static std::vector<SimMessage>& Messages()
    {
        static std::vector<SimMessage> messages;
        return messages;
    }

    static Handler& Answer()
    {
        static Handler handler;
        return handler;
    }

private:
    static platform::LResult Proc(platform::WindowHandle w, std::uint32_t m, platform::WParam wp, platform::LParam lp)
    {
        Messages().push_back({w, m, wp, lp});
        if (Answer()) {
            Handler handler = Answer();
            if (auto result = handler(w, m, wp, lp)) return *result;
        }
        return platform::DefaultWindowProc(w, m, wp, lp);
    }
};
