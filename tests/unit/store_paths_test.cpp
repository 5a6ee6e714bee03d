// Path helpers and the start-up paths: joining, note file names, existence and
// the refusal of paths that would not fit a global path buffer.
#include "data_file_fixture.h"
#include "store/data_file.h"
#include "store/text_files.h"

namespace {

TEST(PathHelpers, JoinPath)
{
    const std::u16string long259(259 - 2, u'a');  // "/" + name makes 259 units
    struct Case {
        std::u16string folder, name;
        bool ok;
        std::u16string joined;
    } cases[] = {
        {u"/a/Data", u"VLM00000.txt", true, u"/a/Data/VLM00000.txt"},
        {u"/a/Data/", u"x", true, u"/a/Data/x"},
        {u"/", u"x", true, u"/x"},
        {u"", u"x", false, u"unchanged"},
        {u"/a", u"", false, u"unchanged"},
        {long259, u"b", true, long259 + u"/b"},
        {long259, u"bc", false, u"unchanged"},
    };
    for (const Case& c : cases) {
        std::u16string out = u"unchanged";
        EXPECT_EQ(JoinPath(out, c.folder, c.name), c.ok) << platform::ToUtf8(c.folder);
        EXPECT_EQ(out, c.joined);
    }
}

TEST(PathHelpers, FindLastCharAndNoteFileNames)
{
    EXPECT_EQ(FindLastChar(u"/a/b/c", u'/'), std::optional<std::size_t>(4));
    EXPECT_EQ(FindLastChar(u"abc", u'/'), std::nullopt);
    EXPECT_EQ(FindLastChar(u"", u'/'), std::nullopt);

    // Only a note text file's own name: never a path, never another file.
    const std::pair<std::u16string, bool> names[] = {
        {u"VLM00000.txt", true},   {u"VLM99999.txt", true},  {u"", false},
        {u".", false},             {u"..", false},           {u"../VLM00000.txt", false},
        {u"/etc/passwd", false},   {u"CeVlmDat.bin", false}, {u"VlmLog.txt", false},
        {u"VLM0000a.txt", false},  {u"VLM000000.txt", false}, {u"VLM0000.txt", false},
        {u"vlm00000.txt", false},  {u"VLM00000.TXT", false}, {u"VLM00000.txt/", false},
        {u".VLM00000.txt.cevelmo-save-a1B2c3", false},
    };
    for (const auto& [name, isNote] : names) EXPECT_EQ(IsNoteFileName(name), isNote) << platform::ToUtf8(name);
}

TEST(PathHelpers, InitPathsFromProgramPath)
{
    ASSERT_TRUE(InitPaths(u"/opt/付箋/cevelmo"));
    EXPECT_EQ(modulePath, u"/opt/付箋/cevelmo");
    EXPECT_EQ(appFolder, u"/opt/付箋");
    EXPECT_EQ(dataFolder, u"/opt/付箋/Data");
    EXPECT_EQ(helpPath, u"/opt/付箋/CeVelmo.htm");
    EXPECT_EQ(DataFilePath(), u"/opt/付箋/Data/CeVlmDat.bin");

    ASSERT_TRUE(InitPaths(u"cevelmo"));
    EXPECT_EQ(appFolder, u"cevelmo");
    EXPECT_EQ(dataFolder, u"cevelmo/Data");
    EXPECT_EQ(helpPath, u"cevelmo/CeVelmo.htm");
}

TEST(PathHelpers, InitPathsRefusesPathsThatDoNotFit)
{
    ASSERT_TRUE(InitPaths(u"/keep/cevelmo"));
    EXPECT_FALSE(InitPaths(u"/" + std::u16string(299, u'p')));
    EXPECT_FALSE(InitPaths(u""));
    // The program path fits, but its help path would not.
    EXPECT_FALSE(InitPaths(u"/" + std::u16string(250, u'p') + u"/x"));
    EXPECT_EQ(dataFolder, u"/keep/Data") << "a refused path changes nothing";
}

using PathExistence = StoreTest;

TEST_F(PathExistence, FilesAndFolders)
{
    WriteBytes(DataDir() / "a.txt", "a");
    const std::u16string data = dataFolder;
    EXPECT_TRUE(IsExistingFolder(data));
    EXPECT_FALSE(IsExistingFile(data));
    EXPECT_TRUE(IsExistingFile(data + u"/a.txt"));
    EXPECT_FALSE(IsExistingFolder(data + u"/a.txt"));
    EXPECT_FALSE(IsExistingFile(data + u"/missing"));
    EXPECT_FALSE(IsExistingFolder(data + u"/missing"));
    EXPECT_FALSE(IsExistingFile(u""));
    EXPECT_FALSE(IsExistingFolder(u""));
}

}  // namespace
