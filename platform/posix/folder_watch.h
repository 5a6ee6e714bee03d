// The file layer's side of watching a folder (platform/folder_watch.h):
// inotify on the folder, and on its parent for the folder's own name, so
// that a folder replaced by rename keeps being watched. A backend waits for
// the descriptor to be readable in its own way and then takes the names.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace platform::posix {

// Starts watching; the descriptor to wait on, or -1 when the folder cannot
// be watched. Replaces an earlier watch.
int StartFolderWatch(const std::u16string& folder);

// Reads what the kernel has queued, without waiting, and appends the
// changed names (the empty name for the folder itself) to `names`, each
// once. False when nothing was queued.
bool ReadFolderWatch(std::vector<std::u16string>& names);

void EndFolderWatch();

// What both backends do with the names read: keep them for
// TakeFolderChanges and post the message once per batch.
struct FolderWatchTarget {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    bool posted = false;
    std::vector<std::u16string> changes;
};
extern FolderWatchTarget folderWatchTarget;

// Reads the queued changes into folderWatchTarget and posts its message
// through `post` (the backend's PostWindowMessage) when none waits.
template <typename Post>
void DeliverFolderChanges(Post post)
{
    FolderWatchTarget& target = folderWatchTarget;
    if (!ReadFolderWatch(target.changes) || target.posted) return;
    target.posted = post(target.window, target.message, 0, 0);
}

}  // namespace platform::posix
