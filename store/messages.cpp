// Posting a command to a window.
#include "store/messages.h"

#include "platform/window.h"

bool PostCommand(platform::WindowHandle window, std::uint32_t id, platform::LParam origin)
{
    return platform::PostWindowMessage(window, platform::wm::Command, id, origin);
}
