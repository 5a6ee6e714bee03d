// Typing survives a crash: while an edit is open its text reaches the
// recovery copy within a second, the next start puts it back into its note,
// and an edit or a program that ends normally leaves no copy behind.
#include "edit_fixture.h"
#include "platform/inspect.h"
#include "store/edit_recovery.h"

namespace {

class EditRecoveryTest : public EditTest {
protected:
    std::filesystem::path Copy() const { return DataDir() / "CeVlmEdit.txt"; }
    int Copies() const { return platform::CompletedReplacements(platform::FromUtf8(Copy().string())); }

    // The process dies: nothing of it ends, and a new one starts on the folder.
    void CrashAndStart()
    {
        sim::Reset();
        ResetProgramState();
        sim::SetModulePath(platform::FromUtf8(folder_.string() + "/cevelmo"));
        ASSERT_TRUE(Start());
        platform::PumpMessages();
    }

    // The second note (without text, as the first) edited, typed into, and
    // killed once its copy is on disk; the next start is the test's.
    void LeaveCopyOfSecondNote(std::u16string_view typed)
    {
        StartWithText(u"keep");
        StartEditing(1);
        Type(typed);
        platform::PumpMessagesFor(kRecoveryLatestMs);
        ASSERT_EQ(Copies(), 1);
        sim::Reset();
        ResetProgramState();
    }
};

TEST_F(EditRecoveryTest, AKillWhileTypingLosesAtMostTheLastSecondAndFindsTheEditedNote)
{
    // Two notes alike in creation time and file (none): the copy still names the second.
    StartWithText(std::nullopt);
    StartEditing(1);
    for (int key = 0; key < 25; ++key) {
        Type(u"a");
        platform::PumpMessagesFor(100);
    }
    CrashAndStart();
    ASSERT_EQ(noteTable.count, 2);
    EXPECT_FALSE(Note(0).text.has_value());
    const std::u16string restored = Note(1).text.value_or(u"");
    EXPECT_GE(restored.size(), 15u) << "keys typed more than a second before the kill are kept";
    EXPECT_EQ(restored, std::u16string(restored.size(), u'a'));
    EXPECT_EQ(ReadBytes(DataDir() / StoredFileNames()[1]), platform::ToUtf8(restored)) << "stored the usual way";
    EXPECT_FALSE(std::filesystem::exists(Copy()));
}

TEST_F(EditRecoveryTest, ACopyIsWrittenOnlyForChangesAndGoesWhenTheEditOrTheProgramEnds)
{
    StartWithText(u"old");
    for (const bool endByShutdown : {false, true}) {
        StartEditing();
        Press(platform::vk::Left);
        platform::PumpMessagesFor(kRecoveryLatestMs);
        EXPECT_FALSE(std::filesystem::exists(Copy())) << "an unchanged text needs no copy";
        Type(u"new ");
        platform::PumpMessagesFor(kRecoveryQuietMs);
        const int copies = Copies();
        EXPECT_TRUE(std::filesystem::exists(Copy()));
        Press(platform::vk::Left);
        platform::PumpMessagesFor(kRecoveryLatestMs);
        EXPECT_EQ(Copies(), copies) << "a key that changes nothing writes nothing";
        if (endByShutdown)
            Restart();
        else
            Press(platform::vk::Escape);
        EXPECT_FALSE(std::filesystem::exists(Copy())) << (endByShutdown ? "shutdown" : "Esc");
    }
    EXPECT_EQ(Note(0).text, u"new new old");
}

TEST_F(EditRecoveryTest, ACopyWhoseNoteIsGoneBecomesANote)
{
    LeaveCopyOfSecondNote(u"typed");
    NoteRecord first = ShownNote(kFirst);
    SetFieldText(first.fileName, u"VLM00000.txt");
    StoreNotes({first});
    CrashAndStart();
    ASSERT_EQ(noteTable.count, 2);
    EXPECT_EQ(Note(0).text, u"keep");
    EXPECT_EQ(Note(1).text, u"typed");
    Restart();
    EXPECT_EQ(Note(1).text, u"typed") << "and it was stored";
    EXPECT_FALSE(std::filesystem::exists(Copy()));
}

TEST_F(EditRecoveryTest, ATornCopyIsLeftAlone)
{
    LeaveCopyOfSecondNote(u"typed");
    std::string bytes = ReadBytes(Copy());
    bytes.pop_back();
    WriteBytes(Copy(), bytes);
    CrashAndStart();
    ASSERT_EQ(noteTable.count, 2);
    EXPECT_FALSE(Note(1).text.has_value());
    Restart();
    EXPECT_EQ(ReadBytes(Copy()), bytes);
}

}  // namespace
