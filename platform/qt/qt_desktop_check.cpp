// Whether a desktop can be reached, asked before Qt starts on it: a Qt that
// cannot start its platform ends the process with an abort (code 134) and a
// page of advice about plugins, which tells someone who started the program
// without a desktop nothing useful. Only what is certain is judged here:
// without a platform chosen through QT_QPA_PLATFORM, no display named at all;
// and when the desktop is X (named alone, or chosen), an X display that does
// not answer. Anything else is Qt's to start or to refuse.
#include <cstdlib>
#include <string>
#include <string_view>

#include <xcb/xcb.h>

#include "platform/system.h"

namespace platform {
namespace {

std::string_view Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool XAnswers()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

}  // namespace

std::string DesktopUnavailableReason()
{
    const std::string_view chosen = Variable("QT_QPA_PLATFORM");
    const std::string_view x = Variable("DISPLAY");
    const std::string_view wayland = Variable("WAYLAND_DISPLAY");
    // "xcb", or "xcb:" followed by the plugin's options.
    const bool xChosen = chosen.substr(0, chosen.find(':')) == "xcb";
    if (chosen.empty() && x.empty() && wayland.empty())
        return "no desktop to show the notes on: neither DISPLAY nor WAYLAND_DISPLAY is set";
    if (xChosen && x.empty()) return "no X display to show the notes on: DISPLAY is not set";
    if ((xChosen || (chosen.empty() && wayland.empty())) && !XAnswers())
        return "cannot open the X display " + std::string(x);
    return {};
}

}  // namespace platform
