// The one simulated world, its reset, and the handle counters that outlive a
// reset. Also the clean-up of per-window services when a window ends.
#include "platform/sim/sim_world.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/folder_watch.h"
#include "platform/text.h"

namespace sim::detail {
namespace {

struct Counters {
    WindowHandle window = 0;
    platform::FontHandle font = 0;
    platform::IconHandle icon = 0;
};

Counters& TheCounters()
{
    static Counters counters;
    return counters;
}

}  // namespace

World& TheWorld()
{
    static World world;
    return world;
}

WindowHandle NextWindowHandle() { return ++TheCounters().window; }
platform::FontHandle NextFontHandle() { return ++TheCounters().font; }
platform::IconHandle NextIconHandle() { return ++TheCounters().icon; }

SimWindow* FindWindow(WindowHandle window)
{
    auto& windows = TheWorld().windows;
    auto it = windows.find(window);
    return it == windows.end() ? nullptr : &it->second;
}

void ForgetWindowServices(WindowHandle window)
{
    World& world = TheWorld();
    // Like the real desktop, a window's hotkeys end with it; its tray icon
    // stays until the program deletes it.
    std::erase_if(world.hotkeys, [window](const Hotkey& h) { return h.window == window; });
    world.inputMethodOpen.erase(window);
    world.inputConversion.erase(window);
    world.editors.erase(window);
    std::erase_if(world.timers, [window](const auto& entry) { return entry.first.first == window; });
}

std::optional<std::u16string> LockKey(const std::u16string& lockFile, bool make)
{
    const std::filesystem::path path(platform::ToUtf8(lockFile));
    std::error_code error;
    if (make && !std::filesystem::exists(path, error)) std::ofstream(path, std::ios::app);
    if (!std::filesystem::is_directory(path.parent_path(), error)) return std::nullopt;
    if (make && !std::filesystem::is_regular_file(path, error)) return std::nullopt;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    if (error) return std::nullopt;
    return platform::FromUtf8(canonical.string());
}

}  // namespace sim::detail

namespace sim {

void Reset()
{
    detail::TheWorld() = detail::World{};
    detail::DropMainThreadWork();
    platform::StopWatchingFolder();
}

}  // namespace sim
