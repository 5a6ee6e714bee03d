// Simulated common dialogs: the colour chooser and the file dialogs answer
// from the test's script after the nested loop has run.
#include <algorithm>

#include "platform/dialogs.h"
#include "platform/sim/sim_world.h"

namespace {

sim::detail::DialogWorld& Dialogs() { return sim::detail::TheWorld().dialogs; }

template <typename T>
T TakeFirst(std::deque<T>& queue, T none)
{
    if (queue.empty()) return none;
    T first = std::move(queue.front());
    queue.pop_front();
    return first;
}

// Fills in the path and bare name as the desktop's dialog does, adding the
// default extension to a name that has none.
void SetChosenPath(platform::FileDialogRequest& request, std::u16string path)
{
    const std::size_t slash = path.rfind(u'/');
    std::u16string name = slash == std::u16string::npos ? path : path.substr(slash + 1);
    if (!request.defaultExtension.empty() && name.find(u'.') == std::u16string::npos) {
        name += u"." + request.defaultExtension;
        path += u"." + request.defaultExtension;
    }
    request.path = std::move(path);
    request.fileTitle = std::move(name);
}

bool RunFileDialog(sim::FileDialogKind kind, platform::FileDialogRequest& request)
{
    const std::size_t record = Dialogs().fileDialogs.size();
    Dialogs().fileDialogs.push_back({kind, request, false});
    // Closed as with Escape: cancelled.
    if (sim::detail::RunNestedLoop(sim::detail::LoopOwner::Dialog).closed) return false;
    std::optional<std::u16string> answer = TakeFirst(Dialogs().fileAnswers, std::optional<std::u16string>());
    if (!answer) return false;
    SetChosenPath(request, *answer);
    Dialogs().fileDialogs[record].chosen = true;
    return true;
}

}  // namespace

namespace platform {

bool ChooseColorDialog(ColorRequest& request)
{
    sim::ShownColorDialog shown{request, {}, false};
    if (request.customColors != nullptr)
        std::copy_n(request.customColors, kCustomColorCount, shown.customColors.begin());
    const std::size_t record = Dialogs().colorDialogs.size();
    Dialogs().colorDialogs.push_back(shown);
    // Closed as with Escape: cancelled, the custom colours as they were.
    if (sim::detail::RunNestedLoop(sim::detail::LoopOwner::Dialog).closed) return false;
    const sim::ColorAnswer answer = TakeFirst(Dialogs().colorAnswers, sim::ColorAnswer{});
    if (answer.customColors && request.customColors != nullptr)
        std::copy(answer.customColors->begin(), answer.customColors->end(), request.customColors);
    Dialogs().colorDialogs[record].chosen = answer.chosen;
    if (answer.chosen) request.color = answer.color;
    return answer.chosen;
}

bool ShowSaveFileDialog(FileDialogRequest& request) { return RunFileDialog(sim::FileDialogKind::Save, request); }
bool ShowOpenFileDialog(FileDialogRequest& request) { return RunFileDialog(sim::FileDialogKind::Open, request); }

}  // namespace platform

namespace sim {

void QueueColorAnswer(const ColorAnswer& answer) { Dialogs().colorAnswers.push_back(answer); }
const std::vector<ShownColorDialog>& ColorDialogs() { return Dialogs().colorDialogs; }

void QueueFileDialogAnswer(const std::optional<std::u16string>& path) { Dialogs().fileAnswers.push_back(path); }
const std::vector<ShownFileDialog>& FileDialogs() { return Dialogs().fileDialogs; }

}  // namespace sim
