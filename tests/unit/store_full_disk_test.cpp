// A full disk and a read-only folder, for real: the program folder is a
// small tmpfs mounted for each test, filled up or remounted read-only.
// Mounting needs root (as in CI); elsewhere the tests skip and say why.
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "menu_fixture.h"

class FullDiskTest : public MenuTest {
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
        if (::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=1m,mode=0755") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        mounted_ = true;
    }

    void TearDown() override
    {
        ShutdownApp();
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
        MenuTest::TearDown();
    }

    // Fills the disk, then frees `pages` pages of it again.
    void FillDisk(int pages = 0)
    {
        const std::string page(4096, 'r');
        {
            std::ofstream reserve(folder_ / "reserve", std::ios::binary);
            for (int i = 0; i < pages; ++i) reserve << page;
        }
        std::FILE* filler = std::fopen((folder_ / "filler").c_str(), "wb");
        ASSERT_NE(filler, nullptr);
        std::setvbuf(filler, nullptr, _IONBF, 0);
        while (std::fwrite(page.data(), 1, page.size(), filler) == page.size()) {
        }
        std::fclose(filler);
        std::filesystem::remove(folder_ / "reserve");
    }

    void FreeDisk() { std::filesystem::remove(folder_ / "filler"); }

    void Remount(unsigned long flags)
    {
        ASSERT_EQ(::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | flags, nullptr), 0) << std::strerror(errno);
    }

    std::string FileText(const std::string& name) const { return ReadBytes(DataDir() / name); }

    bool mounted_ = false;
};

// On a full disk a paste cannot write the new text: nothing on disk
// changes, the user is told once, and after a restart the note has its old
// text. With room again, the next save writes what the note holds.
TEST_F(FullDiskTest, FullDiskChangesNothingOnDiskAndTellsOnce)
{
    StartWithNotes(2);
    GiveText(0, u"old");
    GiveText(1, u"other");
    const std::vector<std::string> stored = StoredFileNames();
    FillDisk();

    sim::SetClipboardContent(u"pasted on a full disk");
    Run(Note(0).window, CMD_PASTE, 1);
    Run(Note(0).window, CMD_PASTE, 1);
    Run(Note(1).window, CMD_CUT, 1);
    EXPECT_EQ(Note(0).text, u"pasted on a full disk");
    EXPECT_FALSE(Note(1).text.has_value());
    EXPECT_EQ(StoredFileNames(), stored);
    EXPECT_EQ(FileText(stored[0]), "old");
    EXPECT_EQ(FileText(stored[1]), "other");
    EXPECT_EQ(sim::TrayMessages().size(), 1u);
    EXPECT_EQ(DataEntries(), (std::set<std::string>{"CeVlmDat.bin", stored[0], stored[1]}));

    Restart();
    ASSERT_EQ(noteTable.count, 2);
    EXPECT_EQ(Note(0).text, u"old");
    EXPECT_EQ(Note(1).text, u"other");

    sim::SetClipboardContent(u"pasted with room");
    Run(Note(0).window, CMD_PASTE, 1);  // still full: told again in this run
    FreeDisk();
    Run(Note(0).window, CMD_SAVE_DATA, 0);
    EXPECT_FALSE(saveTrouble.failing);
    Restart();
    EXPECT_EQ(Note(0).text, u"pasted with room");
    EXPECT_EQ(DataEntries().size(), 3u);  // the data file and two texts
}

// A read-only Data folder keeps the record's file name when its file cannot
// be deleted: once the folder can be written again, nothing is lost.
TEST_F(FullDiskTest, ReadOnlyFolderLosesNothingOnceWritableAgain)
{
    StartWithNotes(2);
    GiveText(0, u"old");
    GiveText(1, u"peel me");
    Remount(MS_RDONLY);

    sim::SetClipboardContent(u"pasted while read-only");
    Run(Note(0).window, CMD_PASTE, 1);
    Run(Note(1).window, CMD_PEEL, 1);
    EXPECT_EQ(noteTable.count, 1);
    EXPECT_EQ(sim::TrayMessages().size(), 1u);
    EXPECT_EQ(StoredFileNames(), (std::vector<std::string>{"VLM00000.txt", "VLM00001.txt"}));

    Remount(0);
    Run(Note(0).window, CMD_SAVE_DATA, 0);
    Restart();
    ASSERT_EQ(noteTable.count, 1);
    EXPECT_EQ(Note(0).text, u"pasted while read-only");
    EXPECT_EQ(DataEntries(), (std::set<std::string>{"CeVlmDat.bin", StoredFileNames()[0]}));
}

// A note peeled off while the folder is read-only comes back after a
// restart, since the data file on disk still names it and its file.
TEST_F(FullDiskTest, NotePeeledWhileReadOnlyComesBackWhole)
{
    StartWithNotes(1);
    GiveText(0, u"still here");
    Remount(MS_RDONLY);
    Run(Note(0).window, CMD_PEEL, 1);
    EXPECT_EQ(noteTable.count, 0);
    Restart();
    ASSERT_EQ(noteTable.count, 1);
    EXPECT_EQ(Note(0).text, u"still here");
}

// The log is appended whole or not at all: when the disk fills up in the
// middle of an entry, the log is cut back and the note stays.
TEST_F(FullDiskTest, LoggedPeelOnAFullDiskKeepsTheLogAndTheNote)
{
    StartWithNotes(2);
    GiveText(0, std::u16string(20000, u'x'));
    WriteBytes(folder_ / "VlmLog.txt", "earlier entries\r\n");
    FillDisk(1);  // room for the first block of the entry, not for all of it

    Run(Note(0).window, CMD_PEEL_LOGGED, 1);
    EXPECT_EQ(noteTable.count, 2);
    EXPECT_EQ(ReadBytes(folder_ / "VlmLog.txt"), "earlier entries\r\n");
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);

    FreeDisk();
    Run(Note(0).window, CMD_PEEL_LOGGED, 1);
    EXPECT_EQ(noteTable.count, 1);
    EXPECT_TRUE(ReadBytes(folder_ / "VlmLog.txt").ends_with(std::string(20000, 'x') + "\r\n" +
                                                            "-------------------------------\r\n"));
}
