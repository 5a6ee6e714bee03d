// Command dispatch: when each command writes the data file, what the
// application commands do, and that note commands reaching the main window
// do no harm.
#include <set>

#include "menu_fixture.h"
#include "platform/testing/inspect.h"
#include "platform/sim/sim_menus.h"
#include "platform/system.h"

namespace {

struct SaveCase {
    std::uint32_t id;
    platform::LParam origin;
    int saves;         // while the command runs
    int savesLater;    // a second later: a change is written within a second
};

}  // namespace

TEST_F(MenuTest, EachCommandWritesTheDataFileByItsRule)
{
    const SaveCase cases[] = {
        {CMD_ABOUT, 1, 0, 0},          {CMD_SETTINGS, 0, 1, 1},      {CMD_NOTE_FONT, 0, 1, 1},
        {CMD_DEFAULT_FONT, 0, 1, 1},   {CMD_TOGGLE_TRAY_ICON, 1, 1, 1}, {CMD_TOGGLE_TRAY_ICON, 0, 1, 1},
        {CMD_NEW_NOTE, 1, 0, 1},       {CMD_NEW_NOTE, 0, 0, 1},      {CMD_PEEL_LOGGED, 0, 1, 1},
        {CMD_PEEL, 0, 1, 1},           {CMD_TEXT_COLOUR, 0, 0, 0},   {CMD_TEXT_COLOUR, 1, 1, 1},
        {CMD_BACK_COLOUR, 0, 0, 0},    {CMD_BACK_COLOUR, 1, 1, 1},   {CMD_EDIT_DIRECT, 1, 0, 0},
        {CMD_SAVE_DATA, 0, 1, 1},      {CMD_SHOW_LOG, 1, 0, 0},      {CMD_CUT, 0, 1, 1},
        {CMD_COPY, 1, 0, 0},           {CMD_PASTE, 0, 1, 1},         {CMD_AUTO_SIZE, 1, 0, 1},
        {CMD_SAVE_TO_FILE, 1, 0, 0},   {CMD_LOAD_FROM_FILE, 1, 0, 0}, {CMD_HELP, 1, 0, 0},
        {CMD_UNINSTALL, 1, 0, 0},      {CMD_EXIT, 0, 0, 0},          {CMD_EXIT, 1, 1, 1},
        {CMD_EDIT_UNDO, 1, 0, 0},      {CMD_EDIT_END, 1, 0, 0},      {104, 1, 0, 0},
        {138, 1, 0, 0},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.id << " from " << c.origin);
        AfreshWithNotes(2);
        Note(0).text = u"some text";
        Run(Note(0).window, c.id, c.origin);
        EXPECT_EQ(Saves(), c.saves);
        platform::PumpMessagesFor(1000);
        EXPECT_EQ(Saves(), c.savesLater);
    }
}

TEST_F(MenuTest, NoteCommandsAtTheMainWindowDoNothing)
{
    const std::uint32_t noteCommands[] = {CMD_NOTE_FONT, CMD_PEEL_LOGGED, CMD_PEEL,      CMD_TEXT_COLOUR,
                                          CMD_BACK_COLOUR, CMD_EDIT_DIRECT, CMD_HIDE_NOTE, CMD_SHOW_NOTE,
                                          CMD_CUT,         CMD_COPY,        CMD_PASTE,     CMD_AUTO_SIZE,
                                          CMD_SAVE_TO_FILE, CMD_LOAD_FROM_FILE};
    StartWithNotes(2);
    Note(1).text = u"kept";
    ASSERT_EQ(SaveNoteText(Note(1).window), 1);
    WriteBytes(folder_ / "VlmLog.txt", "");
    sim::QueueFileDialogAnswer(platform::FromUtf8((folder_ / "x.txt").string()));
    for (std::uint32_t id : noteCommands) Run(mainWindow, id, 1);
    EXPECT_EQ(Saves(), 0);
    EXPECT_EQ(noteTable.count, 2);
    EXPECT_EQ(Note(1).text, u"kept");
    EXPECT_TRUE(std::filesystem::exists(DataDir() / "VLM00000.txt"));
    EXPECT_EQ(ReadBytes(folder_ / "VlmLog.txt"), "");
    EXPECT_TRUE(sim::ColorDialogs().empty());
    EXPECT_TRUE(sim::FileDialogs().empty());
    EXPECT_TRUE(platform::IsLiveWindow(mainWindow));
}

TEST_F(MenuTest, ExitFromAMenuAfterSwitchingTheTrayIconOffStoresItOff)
{
    StartWithNotes(2);
    sim::QueueMenuAnswer(CMD_TOGGLE_TRAY_ICON);
    RightClick(0);
    EXPECT_EQ(noteSettings.trayIcon, 0);
    EXPECT_TRUE(sim::TrayIcons().empty());
    EXPECT_EQ(Saves(), 1) << "the switch is written at once";
    sim::QueueMenuAnswer(CMD_EXIT);
    RightClick(0);
    EXPECT_FALSE(platform::IsLiveWindow(mainWindow));
    EXPECT_TRUE(sim::QuitPosted());
    const std::string data = ReadBytes(DataFile());
    ASSERT_GE(data.size(), 24u);
    EXPECT_EQ(data.substr(layout::kTrayIcon, 4), std::string("\0\0\0\0", 4));
}

TEST_F(MenuTest, TrayIconCommandSwitchesTheIconBothWays)
{
    StartWithNotes(1);
    Run(Note(0).window, CMD_TOGGLE_TRAY_ICON, 1);
    EXPECT_TRUE(sim::TrayIcons().empty());
    Run(Note(0).window, CMD_TOGGLE_TRAY_ICON, 1);
    ASSERT_EQ(sim::TrayIcons().size(), 1u);
    EXPECT_EQ(sim::TrayIcons()[0].owner, mainWindow);
    EXPECT_EQ(noteSettings.trayIcon, 1);
}

// Confirmed or closed, the settings leave the hotkey registered anew from
// what they hold then.
TEST_F(MenuTest, SettingsTakeTheHotkeyAnewWhateverTheDialogSaid)
{
    noteSettings.hotkeyKey = {u'F', 0};
    noteSettings.hotkeyCtrl = 1;
    StoreNotes({});
    StartWithNotes(0);
    ASSERT_EQ(sim::Hotkeys().size(), 1u);
    const struct {
        char16_t key;
        int button;
    } cases[] = {{u'G', platform::id::Ok}, {u'H', platform::id::Cancel}};
    for (const auto& c : cases) {
        noteSettings.hotkeyKey[0] = c.key;
        sim::QueueDialogScript([&c](platform::WindowHandle d) {
            if (c.button == platform::id::Ok)
                platform::ClickControl(d, c.button);
            else
                platform::ClickCloseBox(d);
        });
        Run(mainWindow, CMD_SETTINGS, 1);
        ASSERT_EQ(sim::Hotkeys().size(), 1u);
        EXPECT_EQ(sim::Hotkeys()[0].virtualKey, static_cast<std::uint32_t>(c.key));
        EXPECT_EQ(sim::Hotkeys()[0].modifiers, platform::mod::Control);
        EXPECT_EQ(sim::DialogsShown().back().result, c.button);
    }
    EXPECT_EQ(hotkeyRegistered, 1);
    EXPECT_EQ(dialogBusy, 0);
}

TEST_F(MenuTest, HelpAndLogOpenWithTheDesktopOnlyWhenTheyExist)
{
    StartWithNotes(1);
    Run(Note(0).window, CMD_HELP, 1);
    Run(mainWindow, CMD_SHOW_LOG, 1);
    EXPECT_TRUE(sim::ShellRequests().empty());

    WriteBytes(folder_ / "CeVelmo.htm", "<html></html>");
    WriteBytes(folder_ / "VlmLog.txt", "log");
    Run(Note(0).window, CMD_HELP, 1);
    Run(mainWindow, CMD_SHOW_LOG, 1);
    ASSERT_EQ(sim::ShellRequests().size(), 2u);
    const sim::ShellRequest& help = sim::ShellRequests()[0];
    EXPECT_EQ(help.verb, u"open");
    EXPECT_EQ(help.file, helpPath);
    EXPECT_EQ(sim::ShellRequests()[1].file, platform::FromUtf8((folder_ / "VlmLog.txt").string()));
    EXPECT_TRUE(sim::MessageBoxes().empty());

    // A desktop without a browser or an editor: the user hears which file and
    // what opens it.
    sim::SetShellCanOpenFiles(false);
    Run(Note(0).window, CMD_HELP, 1);
    Run(mainWindow, CMD_SHOW_LOG, 1);
    ASSERT_EQ(sim::MessageBoxes().size(), 2u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, u"ヘルプ (CeVelmo.htm) を開けませんでした。\n\n" + helpPath +
                                               u"\n\nこのページを開くには Web ブラウザーが必要です。");
    EXPECT_NE(sim::MessageBoxes()[1].text.find(sim::ShellRequests()[1].file), std::u16string::npos);
    EXPECT_EQ(dialogBusy, 0);
}

TEST_F(MenuTest, ColourChooserStartsFromTheNotesColourAndSharesThePalette)
{
    StartWithNotes(1);
    Note(0).textColor = 0x00112233;
    std::array<std::uint32_t, 16> custom{};
    custom.fill(0x00ABCDEF);
    sim::QueueColorAnswer({true, 0x00445566, std::nullopt});
    sim::QueueColorAnswer({false, 0x00FFFFFF, custom});  // custom colours changed, then cancelled
    Run(Note(0).window, CMD_TEXT_COLOUR, 1);
    Run(Note(0).window, CMD_BACK_COLOUR, 1);

    ASSERT_EQ(sim::ColorDialogs().size(), 2u);
    const sim::ShownColorDialog& text = sim::ColorDialogs()[0];
    EXPECT_EQ(text.request.color, 0x00112233u);
    EXPECT_EQ(text.request.flags, 1u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(text.customColors[i], palette_[5 + i]);
    EXPECT_EQ(Note(0).textColor, 0x00445566u);
    EXPECT_EQ(sim::ColorDialogs()[1].request.color, Note(0).backColor);
    EXPECT_NE(Note(0).backColor, 0x00FFFFFFu);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(notePalette[5 + i], 0x00ABCDEFu);
    EXPECT_EQ(notePalette[4], palette_[4]);
    EXPECT_EQ(notePalette[21], palette_[21]);
    EXPECT_EQ(dialogBusy, 0);
}

TEST_F(MenuTest, CutOnAnEmptyNoteOnlyWritesTheDataFile)
{
    StartWithNotes(1);
    Note(0).text = u"";
    const NoteRecord before = Note(0);
    Run(Note(0).window, CMD_CUT, 1);
    EXPECT_EQ(Saves(), 1);
    EXPECT_EQ(Note(0).text, u"");
    EXPECT_EQ(Note(0).bounds, before.bounds);
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(DataDir()))
        files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"CE_VELMO.lock", "CeVlmDat.bin"})) << "no text file";
}

TEST_F(MenuTest, CutTakesTheTextAndItsFileAway)
{
    StartWithNotes(1);
    Note(0).text = u"cut me";
    ASSERT_EQ(SaveNoteText(Note(0).window), 1);
    Run(Note(0).window, CMD_CUT, 1);
    EXPECT_FALSE(Note(0).text.has_value());
    EXPECT_EQ(FieldText(Note(0).fileName), u"");
    EXPECT_FALSE(std::filesystem::exists(DataDir() / "VLM00000.txt"));
    EXPECT_EQ(Saves(), 1);
    EXPECT_EQ(sim::ClipboardText(), std::optional<std::u16string>(u"cut me"));
}

TEST_F(MenuTest, CutKeepsTheTextWhenTheClipboardCannotTakeIt)
{
    StartWithNotes(1);
    Note(0).text = u"keep me";
    ASSERT_EQ(SaveNoteText(Note(0).window), 1);
    sim::SetClipboardReachable(false);
    Run(Note(0).window, CMD_CUT, 1);
    EXPECT_EQ(Note(0).text, std::optional<std::u16string>(u"keep me"));
    EXPECT_EQ(FieldText(Note(0).fileName), u"VLM00000.txt");
    EXPECT_TRUE(std::filesystem::exists(DataDir() / "VLM00000.txt"));
}

TEST_F(MenuTest, CopyAndPasteMoveWholeTextsBetweenNotes)
{
    StartWithNotes(2);
    Note(0).text = u"付箋紙の中身";
    Note(1).text = u"old";
    ASSERT_EQ(SaveNoteText(Note(1).window), 1);  // VLM00000.txt
    Run(Note(0).window, CMD_COPY, 1);
    EXPECT_EQ(Saves(), 0);
    Run(Note(1).window, CMD_PASTE, 1);
    EXPECT_EQ(Note(1).text, std::optional<std::u16string>(u"付箋紙の中身"));
    // The pasted text is stored under a fresh name; the old file is gone.
    EXPECT_EQ(FieldText(Note(1).fileName), u"VLM00001.txt");
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00001.txt"), "付箋紙の中身");
    EXPECT_FALSE(std::filesystem::exists(DataDir() / "VLM00000.txt"));
    EXPECT_EQ(Saves(), 1);

    sim::SetClipboardContent(std::nullopt);  // nothing to paste: the note keeps its text and file
    Run(Note(1).window, CMD_PASTE, 1);
    EXPECT_EQ(Note(1).text, std::optional<std::u16string>(u"付箋紙の中身"));
    EXPECT_EQ(FieldText(Note(1).fileName), u"VLM00001.txt");
    EXPECT_EQ(ReadBytes(DataDir() / "VLM00001.txt"), "付箋紙の中身");
    EXPECT_EQ(Saves(), 2);
}

TEST_F(MenuTest, EditDirectClosesTheOtherNotesEditorFirst)
{
    StartWithNotes(2);
    Run(Note(0).window, CMD_EDIT_DIRECT, 1);
    const platform::WindowHandle first = Note(0).editWindow;
    ASSERT_NE(first, 0u);
    const int ended0 = sim::DeliveredCount(Note(0).window, MSG_END_EDIT);
    const int ended1 = sim::DeliveredCount(Note(1).window, MSG_END_EDIT);
    Run(Note(1).window, CMD_EDIT_DIRECT, 1);
    // Note 0 also hears of its deactivation, which finds no editor left.
    EXPECT_GE(sim::DeliveredCount(Note(0).window, MSG_END_EDIT), ended0 + 1);
    EXPECT_EQ(sim::DeliveredCount(Note(1).window, MSG_END_EDIT), ended1);
    EXPECT_FALSE(platform::IsLiveWindow(first));
    EXPECT_EQ(Note(0).editWindow, 0u);
    EXPECT_NE(Note(1).editWindow, 0u);
    EXPECT_EQ(Saves(), 1) << "only the end of the first edit writes the data file";
}
