// Start-up, single instance and shutdown of the program.
#include "app/note_windows.h"
#include "app/startup.h"
#include "app/window_proc.h"
#include "app_fixture.h"
#include "store/data_file.h"
#include "store/messages.h"

using platform::wm::Command;

TEST_F(AppTest, FirstStartCreatesDataFolderAndTrayIconWithoutHotkey)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(std::filesystem::is_directory(DataDir()));
    EXPECT_FALSE(std::filesystem::exists(DataFile()));  // nothing to store yet
    EXPECT_EQ(noteTable.count, 0);
    EXPECT_EQ(noteTable.capacity, 4);
    EXPECT_NE(mainWindow, 0u);
    EXPECT_EQ(noteSettings.trayIcon, 1);
    EXPECT_EQ(FieldText(noteSettings.hotkeyKey), u"F");
    EXPECT_EQ(noteSettings.editGesture, 1);

    const auto icons = sim::TrayIcons();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].owner, mainWindow);
    EXPECT_EQ(icons[0].callbackMessage, MSG_TRAY_NOTIFY);
    EXPECT_EQ(icons[0].tip, u"VELMO");
    EXPECT_TRUE(sim::Hotkeys().empty());
    EXPECT_EQ(hotkeyRegistered, 0);

    // The main window is the class's, off the screen, at the bottom.
    EXPECT_EQ(sim::WindowClass(mainWindow), u"VELMO");
    EXPECT_EQ(sim::WindowTitle(mainWindow), u"付箋紙");
    EXPECT_EQ(platform::GetWindowBounds(mainWindow), (platform::Rect{20000, 20000, 20160, 20040}));
    EXPECT_EQ(platform::GetZBand(mainWindow), platform::ZBand::Bottom);
}

// New notes get the desktop's default face when it has Japanese glyphs,
// else a Japanese face of the desktop's, the rest of the font kept.
TEST_F(AppTest, TheDefaultFontIsAFaceWithJapaneseGlyphs)
{
    struct Case { std::u16string face; std::uint8_t charSet; std::u16string chosen; };
    for (const Case& c : {Case{u"SimSans", 0, u"Sim明朝"}, Case{u"System", 128, u"System"}}) {
        SCOPED_TRACE(platform::ToUtf8(c.face));
        platform::FontDescription font{.height = -15, .weight = 400, .charSet = c.charSet};
        c.face.copy(font.faceName.data(), 31);
        sim::SetSystemFont(font);
        ASSERT_EQ(InitDefaultSettings(), 1);
        font.faceName.fill(u'\0');
        c.chosen.copy(font.faceName.data(), 31);
        EXPECT_EQ(noteSettings.defaultFont, font);
    }
}

TEST_F(AppTest, AFileNamedDataEndsStartUpWithItsMessage)
{
    WriteBytes(folder_ / "Data", "not a folder");
    EXPECT_FALSE(Start());
    EXPECT_EQ(exitCode_, 0);
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    const auto& box = sim::MessageBoxes()[0];
    // The folder and the system's reason follow the message's own line.
    EXPECT_EQ(box.text, u"Data フォルダが作成できません\n\n" + dataFolder + u"\nFile exists");
    EXPECT_EQ(box.caption, u"付箋紙");
    EXPECT_EQ(box.style, 0x30u | 0x10000u);
    EXPECT_EQ(mainWindow, 0u);
    // Nothing is held: once the file is gone, a start is a first instance.
    std::filesystem::remove(folder_ / "Data");
    EXPECT_TRUE(Start());
}

TEST_F(AppTest, AProgramPathTooLongForThePathBuffersIsAClearError)
{
    sim::SetModulePath(u"/" + std::u16string(300, u'a') + u"/cevelmo");
    EXPECT_FALSE(Start());
    EXPECT_NE(exitCode_, 0);
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::MessageBoxes()[0].caption, u"付箋紙");
    EXPECT_FALSE(std::filesystem::exists(DataDir()));
}

TEST_F(AppTest, APathThatLeavesNoRoomForTheLockFileIsTheSameError)
{
    // "<folder>/Data" fits the 259 units of a path, "<folder>/Data/CE_VELMO.lock" does not.
    const std::u16string folder = u"/" + std::u16string(250, u'a');
    sim::SetModulePath(folder + u"/cevelmo");
    EXPECT_FALSE(Start());
    EXPECT_EQ(exitCode_, 1);
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, u"プログラムのフォルダのパスが長すぎます。");
}

TEST_F(AppTest, TheLockLivesInTheDataFolderAndTheFolderComesFirst)
{
    ASSERT_TRUE(Start());
    EXPECT_TRUE(std::filesystem::is_regular_file(LockFile()));
    // Whatever else tries this Data folder's lock finds it taken.
    EXPECT_EQ(platform::AcquireInstanceLock(platform::FromUtf8(LockFile().string())),
              platform::InstanceLock::AlreadyExists);
    ShutdownApp();
    EXPECT_EQ(platform::AcquireInstanceLock(platform::FromUtf8(LockFile().string())),
              platform::InstanceLock::Acquired)
        << "the lock was not given back at shutdown";
}

TEST_F(AppTest, ALockFileThatCannotBeMadeIsACleanError)
{
    std::filesystem::create_directories(LockFile());  // a folder where the lock file goes
    EXPECT_FALSE(Start());
    EXPECT_EQ(exitCode_, 1);
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, u"Data フォルダに書き込めません");
    EXPECT_EQ(mainWindow, 0u);
}

TEST_F(AppTest, SecondStartMakesOneNewNoteInTheRunningInstanceAndWritesNothing)
{
    ASSERT_TRUE(Start());
    int secondExit = -1;
    EXPECT_FALSE(StartApp(secondExit));
    EXPECT_EQ(secondExit, 0);
    platform::PumpMessages();
    EXPECT_EQ(noteTable.count, 1);
    EXPECT_EQ(platform::GetWindowBounds(Note(0).window), (platform::Rect{40, 40, 200, 80}));
    EXPECT_EQ(Note(0).backColor, 0x00D0FFFFu);
    EXPECT_FALSE(std::filesystem::exists(DataFile()));
}

TEST_F(AppTest, TheRunningInstanceListensOnceItsNotesStandAndUntilItsMainWindowEnds)
{
    StoreNotes({StoredNote({10, 10, 100, 60}, -2, 1)});
    EXPECT_EQ(sim::HandOffFromElsewhere(), platform::HandOff::NotNow);
    ASSERT_TRUE(Start());
    ASSERT_EQ(noteTable.count, 1);
    EXPECT_EQ(sim::HandOffFromElsewhere(), platform::HandOff::Queued);
    EXPECT_EQ(sim::HandOffFromElsewhere(), platform::HandOff::Queued);
    platform::PumpMessages();
    EXPECT_EQ(noteTable.count, 3) << "one new note per later start";
    EXPECT_EQ(sim::LastDelivered(mainWindow, Command), (std::pair<platform::WParam, platform::LParam>{CMD_NEW_NOTE, 0}));

    PostCommand(mainWindow, CMD_EXIT, 0);
    EXPECT_EQ(platform::RunMessageLoop(), 0);
    EXPECT_EQ(sim::HandOffFromElsewhere(), platform::HandOff::NotNow)
        << "a later start must not be told its note is made by an instance that is ending";
}

TEST_F(AppTest, AStartThatFailsLaterNeitherListensNorKeepsTheLock)
{
    sim::FailNthWindowCreation(1);
    EXPECT_FALSE(Start());
    EXPECT_EQ(sim::HandOffFromElsewhere(), platform::HandOff::NotNow);
    EXPECT_EQ(platform::AcquireInstanceLock(platform::FromUtf8(LockFile().string())),
              platform::InstanceLock::Acquired);
}

TEST_F(AppTest, SecondStartHandsNewNoteToAnotherProcess)
{
    HoldLockElsewhere();
    EXPECT_FALSE(Start());
    EXPECT_EQ(exitCode_, 0);
    EXPECT_EQ(sim::HandOffsElsewhere(), (std::vector<std::u16string>{CanonicalLockFile()}));
    EXPECT_TRUE(sim::Sleeps().empty()) << "a running instance that listens is reached at once";
    EXPECT_FALSE(std::filesystem::exists(DataFile()));  // the second start writes nothing
    EXPECT_EQ(mainWindow, 0u);
}

TEST_F(AppTest, ALaterStartWaitsForARunningInstanceThatIsStillStarting)
{
    HoldLockElsewhere();
    sim::ScriptHolderElsewhere({sim::Holder::NotListening, sim::Holder::NotListening, sim::Holder::NotListening,
                                sim::Holder::Queues});
    EXPECT_FALSE(Start());
    EXPECT_EQ(exitCode_, 0);
    EXPECT_EQ(sim::HandOffsElsewhere().size(), 1u);
    EXPECT_EQ(sim::Sleeps(), (std::vector<int>{50, 50, 50}));
}

TEST_F(AppTest, ALaterStartBecomesTheInstanceWhenTheRunningOneEndsMeanwhile)
{
    HoldLockElsewhere();
    sim::ScriptHolderElsewhere({sim::Holder::NotListening, sim::Holder::Ends});
    ASSERT_TRUE(Start());
    EXPECT_TRUE(sim::HandOffsElsewhere().empty());
    EXPECT_NE(mainWindow, 0u);
    EXPECT_EQ(sim::HandOffFromElsewhere(), platform::HandOff::Queued) << "and serves later starts in turn";
}

TEST_F(AppTest, ALaterStartThatIsNeverAnsweredFailsAfterAWhile)
{
    HoldLockElsewhere();
    sim::ScriptHolderElsewhere({sim::Holder::NotListening});
    EXPECT_FALSE(Start());
    EXPECT_EQ(exitCode_, 1) << "no note was made: not a success";
    EXPECT_TRUE(sim::HandOffsElsewhere().empty());
    int waited = 0;
    for (const int ms : sim::Sleeps()) waited += ms;
    EXPECT_GE(waited, 5000) << "a running instance that is slow to start must get its time";
    EXPECT_LE(waited, 30000);
    EXPECT_EQ(mainWindow, 0u);
}

TEST_F(AppTest, ExitFromMenuSavesFirstThenEndsTheLoop)
{
    ASSERT_TRUE(Start());
    PostCommand(mainWindow, CMD_EXIT, 1);
    EXPECT_EQ(platform::RunMessageLoop(), 0);
    EXPECT_FALSE(platform::IsLiveWindow(mainWindow));
    EXPECT_TRUE(sim::TrayIcons().empty());
    // Saved before the main window's end cleared the tray icon setting.
    const std::string bytes = ReadBytes(DataFile());
    ASSERT_EQ(bytes.size(), layout::Record(0));
    EXPECT_EQ(bytes[20], 1);
    EXPECT_EQ(noteSettings.trayIcon, 0);
}

TEST_F(AppTest, ExitFromProgramCodeAndSessionEndWriteNothing)
{
    ASSERT_TRUE(Start());
    PostCommand(mainWindow, CMD_EXIT, 0);
    EXPECT_EQ(platform::RunMessageLoop(), 0);
    EXPECT_FALSE(std::filesystem::exists(DataFile()));

    Afresh();
    ASSERT_TRUE(Start());
    PostCommand(mainWindow, CMD_NEW_NOTE);
    PostCommand(mainWindow, CMD_SAVE_DATA);
    platform::PumpMessages();
    const std::string saved = ReadBytes(DataFile());
    ASSERT_EQ(saved.size(), layout::Record(1));
    ASSERT_TRUE(sim::EndSession());
    EXPECT_TRUE(sim::QuitPosted());
    EXPECT_EQ(sim::QuitCode(), 0);
    ShutdownApp();
    EXPECT_EQ(ReadBytes(DataFile()), saved);
}

// A signal that comes while the program starts (loading a big data file,
// say) must not cut start-up short: with only some notes given windows, a
// save at the end would leave the others out of the data file.
TEST_F(AppTest, ASignalDuringStartUpEndsTheProgramOnceItHasStarted)
{
    StoreNotes({StoredNote({100, 100, 260, 140}, -2, 1), StoredNote({300, 100, 460, 140}, -1, 1),
                StoredNote({500, 100, 660, 140}, -2, 0)});
    const std::string stored = ReadBytes(DataFile());
    EXPECT_FALSE(sim::EndSession()) << "there is no window to end yet";
    ASSERT_TRUE(Start());
    EXPECT_EQ(noteTable.count, 3);
    EXPECT_EQ(noteTable.pendingCount, 0);
    EXPECT_TRUE(platform::IsLiveWindow(mainWindow)) << "start-up was cut short";
    EXPECT_EQ(platform::RunMessageLoop(), 0);
    EXPECT_FALSE(platform::IsLiveWindow(mainWindow));
    ShutdownApp();
    EXPECT_EQ(ReadBytes(DataFile()), stored) << "ending after start-up changes nothing on disk";
}

TEST_F(AppTest, ShutdownKeepsTheTrayIconSettingForALastSave)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(sim::EndSession());
    EXPECT_EQ(noteSettings.trayIcon, 0);
    ShutdownApp();
    EXPECT_EQ(noteSettings.trayIcon, 1);
    EXPECT_TRUE(noteTable.notes.empty());
    EXPECT_EQ(noteTable.count, 0);
}

// The desktop may still move a note after the main window's end and before
// the loop returns (a window manager placing many notes at start-up); the
// save that follows stores the tray icon setting the user had, not the 0
// that the main window's end leaves in memory.
TEST_F(AppTest, ASaveAfterTheMainWindowsEndStoresTheTrayIconSetting)
{
    ASSERT_TRUE(Start());
    ASSERT_EQ(CreateNoteWindows(platform::sw::ShowNormal), 1);
    ASSERT_TRUE(sim::EndSession());
    ASSERT_EQ(noteSettings.trayIcon, 0);
    platform::MoveAppWindow(Note(0).window, platform::Rect{300, 300, 460, 340}, true);
    platform::PumpMessages();
    const std::string bytes = ReadBytes(DataFile());
    ASSERT_EQ(bytes.size(), layout::Record(1)) << "the moved note was not saved";
    EXPECT_EQ(bytes[20], 1) << "the tray icon setting was stored off";
}

TEST_F(AppTest, HotkeyIsRegisteredWhenTheSettingsNameAModifier)
{
    noteSettings.hotkeyCtrl = 1;
    noteSettings.hotkeyKey = {u'F', 0};
    AllocNoteTable();
    ASSERT_TRUE(InitPathsForTest());
    ASSERT_NE(SaveDataFile(), 0);
    ResetProgramState();

    ASSERT_TRUE(Start());
    EXPECT_EQ(hotkeyRegistered, 1);
    const auto keys = sim::Hotkeys();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].window, mainWindow);
    EXPECT_EQ(keys[0].id, 0x5000);
    EXPECT_EQ(keys[0].modifiers, 2u);
    EXPECT_EQ(keys[0].virtualKey, static_cast<std::uint32_t>('F'));

    PostCommand(mainWindow, CMD_EXIT);
    platform::RunMessageLoop();
    EXPECT_TRUE(sim::Hotkeys().empty());
    EXPECT_EQ(hotkeyRegistered, 0);
}

// Every request that makes the desktop raise, refocus or restack a window
// costs it work over all the windows it holds: restoring many notes must ask
// for such work only where a note needs it (a topmost note's band), never
// once per note. Each note is shown with activation, as a new note is, and
// only the last one becomes active.
TEST_F(AppTest, RestoringManyNotesActivatesOnlyTheLastAndRestacksOnlyTopmostOnes)
{
    constexpr int kNotes = 300;
    std::vector<NoteRecord> stored;
    int topmost = 0;
    for (int i = 0; i < kNotes; ++i) {
        const bool onTop = i % 20 == 10;
        const bool hidden = i == 151;
        topmost += onTop ? 1 : 0;
        stored.push_back(StoredNote({10 + i % 6 * 150, 10 + i / 6 % 10 * 60, 160 + i % 6 * 150, 60 + i / 6 % 10 * 60},
                                    onTop ? -1 : -2, hidden ? 0 : 1));
    }
    StoreNotes(stored);
    ASSERT_TRUE(Start());
    platform::PumpMessages();
    ASSERT_EQ(noteTable.count, kNotes);

    const platform::WindowHandle last = Note(kNotes - 1).window;
    EXPECT_EQ(sim::ActivationsDelivered(), 1);
    EXPECT_EQ(platform::GetForegroundAppWindow(), last);
    for (int i = 0; i < kNotes - 1; ++i)
        ASSERT_EQ(sim::DeliveredCount(Note(i).window, platform::wm::Activate), 0) << "note " << i;
    // The main window goes to the bottom once; each topmost note takes its
    // band once; normal notes stay where their windows were made (the last
    // one too, whose activation places it at its level again).
    EXPECT_EQ(sim::Restacks(), 1 + topmost);

    // And the desktop shows them as stored: each in its band, later notes in
    // front of earlier ones, the hidden one hidden.
    for (int i = 0; i < kNotes; ++i) {
        const bool onTop = i % 20 == 10;
        ASSERT_EQ(platform::GetZBand(Note(i).window), onTop ? platform::ZBand::Topmost : platform::ZBand::Normal);
        ASSERT_EQ(platform::IsWindowShown(Note(i).window), i != 151) << "note " << i;
        if (i > 0 && !onTop && (i - 1) % 20 != 10) {
            ASSERT_LT(platform::GetZRank(Note(i).window), platform::GetZRank(Note(i - 1).window)) << "note " << i;
        }
    }
}
