// Watching a folder: a file written elsewhere as a sync engine writes it
// (a temporary name, then a rename) reaches the window as one message for
// the burst, with the names that changed; a folder replaced by rename keeps
// being watched, and a stopped watch is silent.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/folder_watch.h"
#include "platform/text.h"
#include "recording_window.h"

namespace conformance {
namespace {

namespace fs = std::filesystem;
constexpr std::uint32_t kChanged = wm::User + 7;

class FolderWatch : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        root_ = fs::temp_directory_path() / ("cevelmo-watch-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(folder());
    }
    void TearDown() override
    {
        StopWatchingFolder();
        fs::remove_all(root_);
        PlatformTest::TearDown();
    }
    fs::path folder() const { return root_ / "Data"; }
    static void Write(const fs::path& path, const std::string& bytes) { std::ofstream(path) << bytes; }
    // Pumps until the message came and takes what changed since.
    std::vector<std::u16string> Changes(WindowHandle window)
    {
        EXPECT_TRUE(PumpUntil([&] { return ReceivedBy(window, kChanged).size() > seen_; }));
        seen_ = ReceivedBy(window, kChanged).size();
        return TakeFolderChanges();
    }
    static bool Holds(const std::vector<std::u16string>& names, const std::u16string& name)
    {
        return std::find(names.begin(), names.end(), name) != names.end();
    }

    fs::path root_;
    std::size_t seen_ = 0;
};

TEST_F(FolderWatch, ReportsRenamesIntoTheFolderAndFollowsAFolderReplacedByRename)
{
    const WindowHandle window = MakeWindow();
    ASSERT_TRUE(WatchFolder(FromUtf8(folder().string()), window, kChanged));

    Write(folder() / ".syncthing.a.txt.tmp", "one");
    fs::rename(folder() / ".syncthing.a.txt.tmp", folder() / "a.txt");
    Write(folder() / "b.txt", "two");
    const std::vector<std::u16string> first = Changes(window);
    EXPECT_TRUE(Holds(first, u"a.txt") && Holds(first, u"b.txt"));
    EXPECT_EQ(ReceivedBy(window, kChanged).size(), 1u) << "one message for the burst";

    // Another folder renamed to the watched one's name.
    fs::create_directories(root_ / "Data.new");
    fs::rename(folder(), root_ / "Data.old");
    fs::rename(root_ / "Data.new", folder());
    EXPECT_TRUE(Holds(Changes(window), u"")) << "the folder itself changed";
    Write(folder() / "c.txt", "three");
    EXPECT_TRUE(Holds(Changes(window), u"c.txt")) << "the new folder is watched";

    StopWatchingFolder();
    Write(folder() / "d.txt", "four");
    PumpAWhile();
    EXPECT_EQ(ReceivedBy(window, kChanged).size(), seen_);
    EXPECT_TRUE(TakeFolderChanges().empty());
}

}  // namespace
}  // namespace conformance
