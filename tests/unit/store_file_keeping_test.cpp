// Saving keeps what the user set on a file: its permission bits, and a
// symbolic link that leads to it; and the temporary files of saves that were
// cut off are removed at start-up, and nothing else is.
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "app_fixture.h"
#include "data_file_fixture.h"
#include "platform/files.h"
#include "store/text_files.h"

namespace {

using FileKeeping = StoreTest;

std::filesystem::perms Mode(const std::filesystem::path& path)
{
    return std::filesystem::status(path).permissions() & std::filesystem::perms::mask;
}

std::set<std::string> Entries(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::u16string Wide(const std::filesystem::path& path) { return platform::FromUtf8(path.string()); }

TEST_F(FileKeeping, ModeOfTheDataFileAndOfAnExportedFileSurvivesASave)
{
    using std::filesystem::perms;
    const perms modes[] = {perms::owner_read | perms::owner_write,
                           perms::owner_read | perms::owner_write | perms::group_read,
                           perms::owner_read | perms::owner_write | perms::others_read | perms::set_gid};
    const std::filesystem::path exported = folder_ / "exported.txt";
    for (perms mode : modes) {
        SCOPED_TRACE(static_cast<int>(mode));
        ASSERT_EQ(SaveDataFile(), 1);
        WriteBytes(exported, "before");
        std::filesystem::permissions(DataFile(), mode);
        std::filesystem::permissions(exported, mode);
        ASSERT_EQ(SaveDataFile(), 1);
        ASSERT_EQ(WriteTextFile(Wide(exported), u"after"), 1);
        EXPECT_EQ(Mode(DataFile()), mode);
        EXPECT_EQ(Mode(exported), mode);
        EXPECT_EQ(ReadBytes(exported), "after");
    }
}

// A note's text moves to a fresh file at each change; the file keeps the mode
// the user gave the one before.
TEST_F(FileKeeping, ANotesNextFileKeepsTheModeOfItsLast)
{
    using std::filesystem::perms;
    NoteRecord note;
    note.text = u"";
    for (perms mode : {perms::owner_read | perms::owner_write, perms::owner_all | perms::group_read}) {
        ASSERT_TRUE(ReplaceNoteText(note, u"text"));
        std::filesystem::permissions(DataDir() / platform::ToUtf8(FieldText(note.fileName)), mode);
        ASSERT_TRUE(ReplaceNoteText(note, u"next text"));
        EXPECT_EQ(Mode(DataDir() / platform::ToUtf8(FieldText(note.fileName))), mode);
    }
}

// Root may give the new file the old one's owner, and does.
TEST_F(FileKeeping, OwnerOfTheDataFileSurvivesASaveByRoot)
{
    if (::geteuid() != 0) GTEST_SKIP() << "only root can hand a file to another owner";
    ASSERT_EQ(SaveDataFile(), 1);
    ASSERT_EQ(::chown(DataFile().c_str(), 4321, 4322), 0);
    ASSERT_EQ(SaveDataFile(), 1);
    struct stat info {};
    ASSERT_EQ(::stat(DataFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4322u);
}

// A new file gets the usual mode for new files: 0666 less the umask.
TEST_F(FileKeeping, NewFileTakesTheUmask)
{
    const mode_t old = ::umask(027);
    const bool saved = SaveDataFile() == 1;
    ::umask(old);
    ASSERT_TRUE(saved);
    using std::filesystem::perms;
    EXPECT_EQ(Mode(DataFile()), perms::owner_read | perms::owner_write | perms::group_read);
}

// A data file that is a symbolic link (into a synced folder, say) stays a
// link; the file it leads to is replaced, in its own folder, and no
// temporary file is left on either side.
TEST_F(FileKeeping, SymbolicLinkToTheDataFileStaysALink)
{
    const std::filesystem::path synced = folder_ / "synced";
    std::filesystem::create_directories(synced);
    WriteBytes(synced / "real.bin", "old");
    std::filesystem::create_symlink("../synced/real.bin", DataFile());  // relative, as users make them
    std::filesystem::create_symlink(synced / "second-hop", synced / "first-hop");
    std::filesystem::create_symlink(synced / "real.bin", synced / "second-hop");
    noteSettings.trayIcon = 1;

    ASSERT_EQ(SaveDataFile(), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(DataFile()));
    EXPECT_EQ(std::filesystem::read_symlink(DataFile()), "../synced/real.bin");
    EXPECT_EQ(ReadBytes(synced / "real.bin").size(), layout::Record(0));
    EXPECT_EQ(Entries(DataDir()), std::set<std::string>{"CeVlmDat.bin"});

    // Through two links, to a file that does not exist yet.
    std::filesystem::remove(DataFile());
    std::filesystem::remove(synced / "real.bin");
    std::filesystem::create_symlink(synced / "first-hop", DataFile());
    ASSERT_EQ(SaveDataFile(), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(synced / "first-hop"));
    EXPECT_EQ(ReadBytes(synced / "real.bin").size(), layout::Record(0));
    EXPECT_EQ(Entries(synced), (std::set<std::string>{"first-hop", "second-hop", "real.bin"}));

    // A loop of links is no file to write: the save fails and changes nothing.
    std::filesystem::remove(DataFile());
    std::filesystem::create_symlink(DataDir() / "loop", DataFile());
    std::filesystem::create_symlink(DataFile(), DataDir() / "loop");
    EXPECT_EQ(SaveDataFile(), 0);
    EXPECT_EQ(Entries(DataDir()), (std::set<std::string>{"CeVlmDat.bin", "loop"}));
}

TEST_F(FileKeeping, OnlyTheWritersOwnLeftoversAreRemoved)
{
    // The second as an older copy named it.
    const char* leftovers[] = {"~VLM00000.txt.cevelmo-save-ZZZZZZ.tmp", ".CeVlmDat.bin.cevelmo-save-a1B2c3"};
    const char* others[] = {"CeVlmDat.bin",
                            "VLM00000.txt",
                            "CeVlmDat.bin.tmp1234",                  // an older program's pattern: not ours to judge
                            "~CeVlmDat.bin.cevelmo-save-a1B2c.tmp",   // too short
                            "~CeVlmDat.bin.cevelmo-save-a1B2c3",      // no ".tmp"
                            ".CeVlmDat.bin.cevelmo-save-a1B2c3.tmp",  // the older lead, the newer tail
                            ".CeVlmDat.bin.cevelmo-save-a1B2c3~",     // one more character
                            "~.cevelmo-save-a1B2c3.tmp",              // no target name
                            "CeVlmDat.bin.cevelmo-save-a1B2c3",       // no leading dot
                            "~notes.tmp",
                            "notes.txt"};
    for (const char* name : leftovers) WriteBytes(DataDir() / name, "cut off");
    for (const char* name : others) WriteBytes(DataDir() / name, "keep");
    std::filesystem::create_directory(DataDir() / ".x.cevelmo-save-folder");
    const auto cut = platform::StageFileReplacement(DataFilePath(), "a save cut off before its rename");
    ASSERT_TRUE(cut && ::fnmatch("*/~CeVlmDat.bin.cevelmo-save-*.tmp", cut->temp.c_str(), 0) == 0) << "skipped by sync";

    EXPECT_EQ(platform::RemoveLeftoverTempFiles(dataFolder), 3);
    std::set<std::string> expected(std::begin(others), std::end(others));
    expected.insert(".x.cevelmo-save-folder");
    EXPECT_EQ(Entries(DataDir()), expected);
    EXPECT_EQ(platform::RemoveLeftoverTempFiles(u""), 0);
}

class StartUpCleaning : public AppTest {};

TEST_F(StartUpCleaning, StartUpRemovesLeftoverTemporaryFilesFromData)
{
    WriteBytes(DataDir() / "~CeVlmDat.bin.cevelmo-save-Qw3rty.tmp", "cut off");
    WriteBytes(DataDir() / ".VLM00002.txt.cevelmo-save-000000", "cut off");
    WriteBytes(DataDir() / "VLM00002.txt", "a note's text");
    // A linked data file's saves were cut off beside the file it leads to.
    const std::filesystem::path synced = folder_ / "synced";
    std::filesystem::create_directory(synced);
    std::filesystem::create_symlink(synced / "real.bin", DataFile());
    for (const char* name : {"real.bin", "~real.bin.cevelmo-save-Ab12Cd.tmp", ".real.bin.cevelmo-save-Ab12Cd",
                             "~other.cevelmo-save-Ab12Cd.tmp"})
        WriteBytes(synced / name, "");
    ASSERT_TRUE(Start());
    EXPECT_EQ(Entries(DataDir()), (std::set<std::string>{"CE_VELMO.lock", "CeVlmDat.bin", "VLM00002.txt"}));
    EXPECT_EQ(Entries(synced), (std::set<std::string>{"real.bin", "~other.cevelmo-save-Ab12Cd.tmp"}));
}

}  // namespace
