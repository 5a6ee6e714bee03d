// Another computer's files arriving in the Data folder while the program
// runs, written as a sync engine writes them (a temporary name, then a
// rename), and the conflict copies an engine leaves: the windows and the
// records follow, nothing of ours is lost, and our own saves are no change.
#include <array>
#include <future>

#include "app/sync_reload.h"
#include "app_fixture.h"
#include "edit/editor.h"
#include "platform/editor.h"
#include "platform/testing/inspect.h"
#include "platform/writer.h"
#include "store/record_codec.h"
#include "store/save_writer.h"
#include "store/sync_conflicts.h"

class SyncReloadTest : public AppTest {
protected:
    void Arrive(const std::string& name, const std::string& bytes)
    {
        const std::filesystem::path temp = DataDir() / (".syncthing." + name + ".tmp");
        WriteBytes(temp, bytes);
        std::filesystem::rename(temp, DataDir() / name);
    }
    static std::string Image(const std::vector<NoteRecord>& notes)
    {
        std::string image(4 + kSettingsBytes + 4 + notes.size() * kRecordBytes, '\0');
        auto* bytes = reinterpret_cast<std::uint8_t*>(image.data());
        bytes[0] = 1;
        EncodeSettings(noteSettings, std::span<std::uint8_t, kSettingsBytes>(bytes + 4, kSettingsBytes));
        bytes[4 + kSettingsBytes] = static_cast<std::uint8_t>(notes.size());
        for (std::size_t i = 0; i < notes.size(); ++i)
            EncodeRecord(notes[i], std::span<std::uint8_t, kRecordBytes>(bytes + 172 + i * kRecordBytes, kRecordBytes));
        return image;
    }
    void StartWith(const std::vector<std::u16string>& texts)
    {
        std::vector<NoteRecord> notes;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            notes.push_back(StoredNote({10, 10, 100, 60}, -2, 1));
            SetFieldText(notes.back().created, u"2026/01/01 00:00:0" + std::u16string(1, static_cast<char16_t>(u'0' + i)));
            notes.back().text = texts[i];
            notes.back().textUnsaved = true;
        }
        StoreNotes(notes);
        ASSERT_TRUE(Start());
        platform::PumpMessages();
    }
    // Lets the quiet time of a burst pass.
    static void Settle() { platform::PumpMessagesFor(3000); }
    std::u16string Text(int i) { return Note(i).text.value_or(u""); }
};

TEST_F(SyncReloadTest, ChangesFromElsewhereReachTheWindowsWithoutRebuildingThem)
{
    StartWith({u"keep", u"old", u"peeled there"});
    const std::array<platform::WindowHandle, 3> windows{Note(0).window, Note(1).window, Note(2).window};
    std::vector<NoteRecord> theirs = LiveNotes();
    theirs[0].bounds = {200, 200, 300, 260};
    SetFieldText(theirs[1].fileName, u"VLM00009.txt");
    theirs[2] = StoredNote({50, 50, 150, 90}, -2, 1);
    SetFieldText(theirs[2].created, u"2030/01/01 00:00:00");
    SetFieldText(theirs[2].fileName, u"VLM00010.txt");
    Arrive("VLM00009.txt", "new");
    Arrive("VLM00010.txt", "made there");
    const std::string image = Image(theirs);
    Arrive("CeVlmDat.bin", image.substr(0, image.size() - 7));  // torn: changes nothing
    Settle();
    EXPECT_EQ(Text(1), u"old");
    EXPECT_TRUE(platform::IsLiveWindow(windows[2]));

    Arrive("CeVlmDat.bin", image);
    Settle();
    ASSERT_EQ(noteTable.count, 3);
    EXPECT_EQ(Note(0).window, windows[0]);
    EXPECT_EQ(platform::GetWindowBounds(windows[0]), (platform::Rect{200, 200, 300, 260}));
    EXPECT_EQ(Note(1).window, windows[1]);
    EXPECT_EQ(Text(1), u"new");
    EXPECT_FALSE(platform::IsLiveWindow(windows[2]));
    EXPECT_EQ(Text(2), u"made there");
    EXPECT_TRUE(platform::IsWindowShown(Note(2).window));
    EXPECT_FALSE(std::filesystem::exists(folder_ / "VlmLog.txt")) << "removed elsewhere is not logged";
    FinishSaves();
    EXPECT_EQ(ReadBytes(DataFile()), image) << "nothing of ours to add: not written back";
}

// The notes are read before the watch starts: what a sync engine brought in
// between was never reported, and is taken in all the same.
TEST_F(SyncReloadTest, AFileThatArrivedBeforeTheWatchIsTakenIn)
{
    StartWith({u"here"});
    StopKeepingInStep();
    std::vector<NoteRecord> theirs = sharedNotes;
    theirs[0].bounds = {200, 200, 300, 260};
    Arrive("CeVlmDat.bin", Image(theirs));
    StartKeepingInStep();
    Settle();
    EXPECT_EQ(Note(0).bounds, theirs[0].bounds);
    FinishSaves();
}

TEST_F(SyncReloadTest, AFileArrivingWhileOurSaveIsOnItsWayIsTakenInNotWrittenOver)
{
    StartWith({u"here"});
    std::vector<NoteRecord> theirs = LiveNotes();
    theirs.push_back(StoredNote({50, 50, 150, 90}, -2, 1));
    SetFieldText(theirs[1].created, u"2030/01/01 00:00:00");
    platform::StartWriterThread();
    std::promise<void> flushing;
    platform::RunOnWriter([held = flushing.get_future().share()] { held.wait(); });
    platform::MoveAppWindow(Note(0).window, {300, 300, 400, 350}, true);
    ASSERT_EQ(SaveDataFile(), 1);
    Arrive("CeVlmDat.bin", Image(theirs));
    flushing.set_value();
    platform::WaitForWriterIdle();
    Settle();
    FinishSaves();
    bool missing = false;
    const std::vector<NoteRecord> stored = ReadNotesFrom(DataFilePath(), missing).value();
    ASSERT_EQ(stored.size(), 2u) << "their note is kept";
    EXPECT_EQ(stored[0].bounds, (platform::Rect{300, 300, 400, 350}));
    EXPECT_EQ(FindConflictCopies(dataFolder).size(), 0u);
}

TEST_F(SyncReloadTest, OurUnsavedChangeAndOpenEditStayAndTheirTextBecomesANote)
{
    StartWith({u"mine", u"edited here"});
    std::vector<NoteRecord> theirs = sharedNotes;
    platform::MoveAppWindow(Note(0).window, {300, 300, 400, 350}, true);  // a save waits
    const platform::WindowHandle editor = OpenNoteEditor(Note(1).window);
    ASSERT_NE(editor, 0u);
    ASSERT_TRUE(sim::TypeText(editor, u"typed"));
    SetFieldText(theirs[1].fileName, u"VLM00005.txt");
    Arrive("VLM00005.txt", "from elsewhere");
    Arrive("CeVlmDat.bin", Image(theirs));
    Settle();
    ASSERT_EQ(noteTable.count, 3);
    EXPECT_EQ(Note(0).bounds, (platform::Rect{300, 300, 400, 350}));
    EXPECT_NE(Note(1).editWindow, 0u) << "the edit goes on";
    EXPECT_NE(GetEditorText(editor).value_or(u"").find(u"typed"), std::u16string::npos);
    EXPECT_TRUE(Text(2).starts_with(u"【同期の競合】") && Text(2).ends_with(u"\r\nfrom elsewhere"));
    FinishSaves();
    bool missing = false;
    const std::vector<NoteRecord> stored = ReadNotesFrom(DataFilePath(), missing).value();
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0].bounds, Note(0).bounds);
    EXPECT_EQ(stored[2].text, Note(2).text);
}

TEST_F(SyncReloadTest, ConflictCopiesAreTakenInAndRemoved)
{
    StartWith({u"ours"});
    std::vector<NoteRecord> copy = LiveNotes();
    SetFieldText(copy[0].fileName, u"VLM00004.txt");
    Arrive("VLM00004.txt", "theirs");
    Arrive("CeVlmDat.sync-conflict-20261208-211643-ABCDEFG.bin", Image(copy));
    Arrive("VLM00007.sync-conflict-20261208-211650-ABCDEFG.txt", "only in the copy");
    Arrive("VLM00008 (conflicted copy 2026-12-08 211700).txt", "ours");
    WriteBytes(folder_ / "VlmLog.txt", "-\r\nshared\r\n-------------------------------\r\n");
    WriteBytes(folder_ / "VlmLog.sync-conflict-20261208-211643-ABCDEFG.txt",
               "-\r\nshared\r\n-------------------------------\r\ntheirs\r\n-------------------------------\r\n");
    Settle();
    ASSERT_EQ(noteTable.count, 3);
    EXPECT_EQ(Text(0), u"ours");
    EXPECT_EQ(Text(1), u"【同期の競合】ABCDEFG 2026/12/08 21:16:43\r\ntheirs");
    EXPECT_EQ(Text(2), u"【同期の競合】ABCDEFG 2026/12/08 21:16:50\r\nonly in the copy");
    EXPECT_EQ(ReadBytes(folder_ / "VlmLog.txt"),
              "-\r\nshared\r\n-------------------------------\r\ntheirs\r\n-------------------------------\r\n");
    FinishSaves();
    for (const std::string& name : DataEntries()) EXPECT_EQ(name.find("conflict"), std::string::npos) << name;
    EXPECT_FALSE(std::filesystem::exists(folder_ / "VlmLog.sync-conflict-20261208-211643-ABCDEFG.txt"));
}
