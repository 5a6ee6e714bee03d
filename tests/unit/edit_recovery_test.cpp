// Typing survives a crash: an open edit's text reaches the recovery copy
// within a second, the next start puts it back, a normal end leaves no copy.
#include "edit_fixture.h"
#include "platform/testing/inspect.h"
#include "store/edit_recovery.h"

namespace {

class EditRecoveryTest : public EditTest {
protected:
    std::filesystem::path Copy() const { return DataDir() / "~CeVlmEdit.tmp"; }

    // The process dies; `meanwhile` happens to its folder; a new one starts.
    void KillAndStart(const std::function<void()>& meanwhile = [] {})
    {
        sim::Reset();
        ResetProgramState();
        meanwhile();
        sim::SetModulePath(platform::FromUtf8(folder_.string() + "/cevelmo"));
        ASSERT_TRUE(Start());
        platform::PumpMessages();
    }
};

TEST_F(EditRecoveryTest, AKillWhileTypingLosesAtMostTheLastSecondOfTheEditedNote)
{
    StartWithText(std::nullopt);  // two notes alike: no text, no file, one creation time
    StartEditing(1);
    for (int key = 0; key < 25; ++key) {
        Type(u"a");
        platform::PumpMessagesFor(100);
    }
    KillAndStart();
    EXPECT_FALSE(Note(0).text.has_value());
    const std::size_t kept = Note(1).text.value_or(u"").size();
    EXPECT_GE(kept, 15u) << "keys typed more than a second before the kill are kept";
    EXPECT_EQ(ReadBytes(DataDir() / StoredFileNames().at(1)), std::string(kept, 'a'));
}

TEST_F(EditRecoveryTest, ACopyIsWrittenForChangesOnlyAndGoesWhenTheEditOrTheProgramEnds)
{
    StartWithText(u"old");
    for (const bool byShutdown : {false, true}) {
        StartEditing();
        Type(u"new ");
        platform::PumpMessagesFor(kRecoveryQuietMs);
        const int copies = platform::CompletedReplacements(EditRecoveryPath());
        Press(platform::vk::Left);
        platform::PumpMessagesFor(kRecoveryLatestMs);
        EXPECT_EQ(platform::CompletedReplacements(EditRecoveryPath()), copies) << "nothing changed";
        byShutdown ? Restart() : Press(platform::vk::Escape);
        EXPECT_FALSE(std::filesystem::exists(Copy())) << byShutdown;
    }
}

TEST_F(EditRecoveryTest, ACopyWhoseNoteIsGoneBecomesANoteAndATornOneIsLeftAlone)
{
    StartWithText(u"keep");
    StartEditing(1);
    Type(u"typed");
    platform::PumpMessagesFor(kRecoveryQuietMs);
    std::string torn = ReadBytes(Copy());
    torn.pop_back();
    NoteRecord first = ShownNote(kFirst);
    SetFieldText(first.fileName, u"VLM00000.txt");
    KillAndStart([&] { StoreNotes({first}); });
    ASSERT_EQ(noteTable.count, 2);
    WriteBytes(Copy(), torn);
    Restart();
    EXPECT_EQ(Note(0).text, u"keep");
    EXPECT_EQ(Note(1).text, u"typed") << "the new note was stored; the torn copy changed nothing";
    EXPECT_EQ(ReadBytes(Copy()), torn);
}

TEST_F(EditRecoveryTest, AnOlderCopysRecoveryCopyIsTakenBackAndThenGoes)
{
    StartWithText(u"old");
    StartEditing(1);
    Type(u"typed");
    platform::PumpMessagesFor(kRecoveryQuietMs);
    KillAndStart([&] { std::filesystem::rename(Copy(), DataDir() / "CeVlmEdit.txt"); });
    Restart();
    EXPECT_EQ(Note(1).text, u"typed");
    EXPECT_FALSE(std::filesystem::exists(DataDir() / "CeVlmEdit.txt"));
}

TEST_F(EditRecoveryTest, TheDesktopsEndKeepsTheTypingAndTheWaitingSave)
{
    StartWithText(u"old");
    StartEditing(1);
    Type(u"typed");
    const std::int32_t moved = ++Note(0).bounds.left;
    RequestDataFileSave();
    platform::SendWindowMessage(mainWindow, platform::wm::EndSession, 1, 0);
    KillAndStart();
    EXPECT_EQ(Note(0).bounds.left, moved);
    EXPECT_EQ(Note(1).text, u"typed");
}

}  // namespace

