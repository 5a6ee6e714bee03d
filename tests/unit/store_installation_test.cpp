// Installed or unpacked: what the install record says about the program's
// folder, and where the installation's own folder lies.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/sim/sim.h"
#include "platform/text.h"
#include "store/installation.h"

namespace {

namespace fs = std::filesystem;

// A prefix with bin/ and the installation's folder share/cevelmo/.
class InstallRecordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::Reset();
        root_ = fs::temp_directory_path() / ("cevelmo-install-" + std::to_string(std::random_device{}()));
        fs::create_directories(root_ / "bin");
        fs::create_directories(root_ / "share" / "cevelmo");
    }
    void TearDown() override { fs::remove_all(root_); }

    void WriteRecord(const std::string& text) const
    {
        std::ofstream(root_ / "share" / "cevelmo" / "install-record", std::ios::binary) << text;
    }
    std::string Bin() const { return (root_ / "bin").string(); }
    std::u16string BinFolder() const { return platform::FromUtf8(Bin()); }

    fs::path root_;
};

TEST_F(InstallRecordTest, InstalledOnlyWhenTheRecordNamesThisFolder)
{
    const fs::path other = root_ / "elsewhere";
    fs::create_directories(other);
    struct Case {
        std::string record;
        bool installed;
        const char* what;
    } cases[] = {
        {"Instl=1\nInstlDir=" + Bin() + "\n", true, "the record names this folder"},
        {"# comment\r\nInstl=1\r\nInstlDir=" + Bin() + "\r\n", true, "CR LF lines and a comment"},
        {"InstlDir=" + Bin() + "\nInstl=7", true, "any order, any non-zero number, no last line break"},
        {"Instl=1\nInstlDir=" + other.string() + "\n", false, "another folder"},
        {"Instl=1\nInstlDir=/opt/cevelmo/bin\n", false, "a folder that does not exist"},
        {"Instl=0\nInstlDir=" + Bin() + "\n", false, "Instl is 0"},
        {"Instl=yes\nInstlDir=" + Bin() + "\n", false, "Instl is no number"},
        {"Instl=1 \nInstlDir=" + Bin() + "\n", false, "Instl with trailing text"},
        {"InstlDir=" + Bin() + "\n", false, "no Instl"},
        {"Instl=1\n", false, "no InstlDir"},
        {"Instl=1\nInstlDir=\n", false, "an empty InstlDir"},
        {"Instl=1\nInstlDir=" + Bin() + "/\n", true, "the folder with a final slash is the same folder"},
        {"", false, "an empty record"},
    };
    for (const Case& c : cases) {
        WriteRecord(c.record);
        EXPECT_EQ(IsInstalled(BinFolder()), c.installed) << c.what;
    }
}

TEST_F(InstallRecordTest, NoRecordMeansUnpacked)
{
    EXPECT_FALSE(IsInstalled(BinFolder()));
    // A folder by the record's name is no record.
    fs::create_directories(root_ / "share" / "cevelmo" / "install-record");
    EXPECT_FALSE(IsInstalled(BinFolder()));
}

TEST_F(InstallRecordTest, TheSameFolderByAnotherPathIsInstalled)
{
    // The program knows its folder by its real path; the record may name it
    // through a link (a prefix that is a link, /bin on a merged /usr).
    const fs::path link = root_ / "link";
    fs::create_directory_symlink(root_ / "bin", link);
    WriteRecord("Instl=1\nInstlDir=" + link.string() + "\n");
    EXPECT_TRUE(IsInstalled(BinFolder()));

    // A copy of the whole prefix elsewhere is unpacked: its record still
    // names the old folder.
    const fs::path moved = root_ / "moved";
    fs::create_directories(moved / "bin");
    fs::create_directories(moved / "share" / "cevelmo");
    fs::copy_file(root_ / "share" / "cevelmo" / "install-record", moved / "share" / "cevelmo" / "install-record");
    EXPECT_FALSE(IsInstalled(platform::FromUtf8((moved / "bin").string())));
}

TEST(InstallationFolder, LiesBesideTheProgramsFolder)
{
    EXPECT_EQ(InstallationFolder(u"/usr/bin"), std::optional<std::u16string>(u"/usr/share/cevelmo"));
    EXPECT_EQ(InstallationFolder(u"/home/月/.local/bin"), std::optional<std::u16string>(u"/home/月/.local/share/cevelmo"));
    EXPECT_EQ(InstallationFolder(u"/bin"), std::optional<std::u16string>(u"/share/cevelmo"));
    // Nothing above the program's folder: no installation.
    EXPECT_EQ(InstallationFolder(u""), std::nullopt);
    EXPECT_EQ(InstallationFolder(u"bin"), std::nullopt);
}

}  // namespace
