// The disk writer: work runs in the order handed over, a file staged on the
// program's thread and committed by the writer is whole on disk once the
// writer is idle, and results handed back run on the program's thread, at
// the loop's next turn. Once finished, the writer runs work at once.
// A file can take a second name, which keeps a file from elsewhere aside.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <unistd.h>

#include "platform/files.h"
#include "platform/text.h"
#include "platform/writer.h"
#include "recording_window.h"

namespace conformance {
namespace {

TEST(DiskWriter, RunsWorkInOrderAndHandsResultsBackToTheProgramsThread)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("cevelmo-writer-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    StartWriterThread();  // the desktop's writer has one already
    const std::u16string path = FromUtf8((folder / "file.bin").string());
    std::vector<int> order;
    std::vector<std::thread::id> backOn;
    for (int i = 0; i < 3; ++i) {
        const std::optional<StagedFile> staged = StageFileReplacement(path, "version " + std::to_string(i));
        ASSERT_TRUE(staged);
        RunOnWriter([&order, &backOn, i, file = *staged] {
            order.push_back(i);
            if (CommitStagedFile(file)) FlushFolderOf(file);
            RunOnMainThread([&backOn] { backOn.push_back(std::this_thread::get_id()); });
        });
    }
    WaitForWriterIdle();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    std::ifstream in(folder / "file.bin", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "version 2");
    EXPECT_EQ(CompletedReplacements(path), 3);
    EXPECT_TRUE(backOn.empty()) << "results wait for the program's loop";
    ASSERT_TRUE(PumpUntil([&backOn] { return backOn.size() == 3; }));
    for (const std::thread::id id : backOn) EXPECT_EQ(id, std::this_thread::get_id());

    FinishWriter();
    bool ran = false;
    RunOnWriter([&ran] { ran = true; });
    EXPECT_TRUE(ran) << "a finished writer runs work at once";

    // A second name is the file itself, also when named through a link.
    std::filesystem::create_symlink(folder / "file.bin", folder / "link.bin");
    const std::u16string aside = FromUtf8((folder / "aside.bin").string());
    EXPECT_TRUE(LinkFileAs(FromUtf8((folder / "link.bin").string()), aside));
    EXPECT_TRUE(std::filesystem::equivalent(folder / "file.bin", folder / "aside.bin"));
    EXPECT_FALSE(LinkFileAs(path, aside)) << "a name taken stays";
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace conformance
