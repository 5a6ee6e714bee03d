// The settings dialog: the launchers on the desktop and in the autostart
// folder (made once, found under any name, removed), the hotkey's boxes and
// key, the gesture and the input mode, and what the command saves and
// registers afterwards.
#include <cstring>

#include "dialogs/settings.h"
#include "dialogs/shortcuts.h"
#include "dialogs/templates.h"
#include "menu_fixture.h"
#include "platform/dialog_box.h"
#include "platform/testing/inspect.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace {

namespace fs = std::filesystem;
using platform::WindowHandle;

class SettingsDialog : public MenuTest {
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        for (const char* folder : {"desktop", "autostart"}) fs::create_directories(folder_ / folder);
        sim::SetSpecialFolder(platform::csidl::Desktop, platform::FromUtf8((folder_ / "desktop").string()));
        sim::SetSpecialFolder(platform::csidl::Startup, platform::FromUtf8((folder_ / "autostart").string()));
        WriteBytes(folder_ / "cevelmo", "the program");
    }

    std::vector<std::string> Files(const char* folder) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_ / folder)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs the command from the tray's menu with the user's script.
    void Settings(sim::DialogScript script)
    {
        sim::QueueDialogScript(std::move(script));
        Run(mainWindow, CMD_SETTINGS, 1);
    }

    std::int32_t StoredSetting(std::size_t offset) const
    {
        const std::string data = ReadBytes(DataFile());
        std::int32_t value = 0;
        if (data.size() >= 4 + offset + 4) std::memcpy(&value, data.data() + 4 + offset, 4);
        return value;
    }
};

TEST_F(SettingsDialog, BothLaunchersTickedTwiceAreMadeOnce)
{
    StartWithNotes(0);
    Settings([](WindowHandle d) {
        EXPECT_EQ(platform::GetControlCheck(d, IDC_SHORTCUT_DESKTOP), 0);
        EXPECT_EQ(platform::GetControlCheck(d, IDC_SHORTCUT_STARTUP), 0);
        platform::ClickControl(d, IDC_SHORTCUT_DESKTOP);
        platform::ClickControl(d, IDC_SHORTCUT_STARTUP);
        platform::ClickControl(d, platform::id::Ok);
    });
    const std::vector<std::string> one = {"CeVelmo.desktop"};
    EXPECT_EQ(Files("desktop"), one);
    EXPECT_EQ(Files("autostart"), one);
    const std::u16string launcher = platform::FromUtf8((folder_ / "autostart" / "CeVelmo.desktop").string());
    EXPECT_EQ(platform::ReadShortcutTarget(launcher), QuotePath(modulePath));

    Settings([](WindowHandle d) {
        EXPECT_EQ(platform::GetControlCheck(d, IDC_SHORTCUT_DESKTOP), 1);
        EXPECT_EQ(platform::GetControlCheck(d, IDC_SHORTCUT_STARTUP), 1);
        platform::ClickControl(d, platform::id::Ok);
    });
    EXPECT_EQ(Files("desktop"), one);
    EXPECT_EQ(Files("autostart"), one);
    EXPECT_EQ(platform::CompletedReplacements(launcher), 1) << "the second OK wrote the launcher again";
}

TEST_F(SettingsDialog, ALauncherUnderAnotherNameIsFoundAndIsTheOneRemoved)
{
    const std::string program = (folder_ / "cevelmo").string();
    WriteBytes(folder_ / "autostart" / "notes.desktop", "[Desktop Entry]\nType=Application\nExec=" + program + "\n");
    WriteBytes(folder_ / "autostart" / "other.desktop", "[Desktop Entry]\nType=Application\nExec=/usr/bin/true\n");
    StartWithNotes(0);
    Settings([](WindowHandle d) {
        EXPECT_EQ(platform::GetControlCheck(d, IDC_SHORTCUT_STARTUP), 1);
        EXPECT_EQ(platform::GetControlCheck(d, IDC_SHORTCUT_DESKTOP), 0);
        platform::ClickControl(d, IDC_SHORTCUT_STARTUP);
        platform::ClickControl(d, platform::id::Ok);
    });
    EXPECT_EQ(Files("autostart"), std::vector<std::string>{"other.desktop"});
    EXPECT_TRUE(Files("desktop").empty());
}

// The autostart folder of a session that never had one is made only by the
// OK that puts a launcher in it.
TEST_F(SettingsDialog, TickedBoxesDoNothingBeforeOkNorWhenClosedOtherwise)
{
    fs::remove(folder_ / "autostart");
    StartWithNotes(0);
    Settings([this](WindowHandle d) {
        platform::ClickControl(d, IDC_SHORTCUT_DESKTOP);
        platform::ClickControl(d, IDC_SHORTCUT_STARTUP);
        EXPECT_TRUE(Files("desktop").empty());
        platform::ClickCloseBox(d);
    });
    EXPECT_TRUE(Files("desktop").empty());
    EXPECT_FALSE(fs::exists(folder_ / "autostart"));
    Settings([](WindowHandle d) {
        platform::ClickControl(d, IDC_SHORTCUT_STARTUP);
        platform::ClickControl(d, platform::id::Ok);
    });
    EXPECT_EQ(Files("autostart"), std::vector<std::string>{"CeVelmo.desktop"});
}

TEST_F(SettingsDialog, WithoutADesktopFolderOnlyTheAutostartLauncherIsMadeAndTheUserHearsWhy)
{
    sim::SetSpecialFolder(platform::csidl::Desktop, std::nullopt);
    StartWithNotes(0);
    Settings([](WindowHandle d) {
        platform::ClickControl(d, IDC_SHORTCUT_DESKTOP);
        platform::ClickControl(d, IDC_SHORTCUT_STARTUP);
        platform::ClickControl(d, platform::id::Ok);
    });
    EXPECT_TRUE(Files("desktop").empty());
    EXPECT_EQ(Files("autostart"), std::vector<std::string>{"CeVelmo.desktop"});
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    EXPECT_EQ(sim::MessageBoxes()[0].text, u"デスクトップのフォルダがないため、\nショートカットを作成できませんでした。");
    Settings([](WindowHandle d) { EXPECT_EQ(platform::GetControlCheck(d, IDC_SHORTCUT_DESKTOP), 0); });
}

// The key box takes a key only while a modifier is ticked; a modifier
// box changes its setting the moment it is clicked.
TEST_F(SettingsDialog, TheKeyBoxIsEnabledExactlyWhileAModifierIsTicked)
{
    StartWithNotes(0);
    Settings([](WindowHandle d) {
        EXPECT_FALSE(platform::IsControlEnabled(d, IDC_HOTKEY_KEY));
        EXPECT_EQ(platform::GetControlText(d, IDC_HOTKEY_KEY), u"F");
        platform::ClickControl(d, IDC_HOTKEY_ALT);
        EXPECT_TRUE(platform::IsControlEnabled(d, IDC_HOTKEY_KEY));
        EXPECT_EQ(noteSettings.hotkeyAlt, 1);
        platform::ClickControl(d, IDC_HOTKEY_SHIFT);
        platform::ClickControl(d, IDC_HOTKEY_ALT);
        EXPECT_TRUE(platform::IsControlEnabled(d, IDC_HOTKEY_KEY));
        platform::ClickControl(d, IDC_HOTKEY_SHIFT);
        EXPECT_FALSE(platform::IsControlEnabled(d, IDC_HOTKEY_KEY));
        EXPECT_EQ(noteSettings.hotkeyAlt, 0);
        EXPECT_EQ(noteSettings.hotkeyShift, 0);
    });
    noteSettings.hotkeyCtrl = 1;
    Settings([](WindowHandle d) {
        EXPECT_EQ(platform::GetControlCheck(d, IDC_HOTKEY_CTRL), 1);
        EXPECT_TRUE(platform::IsControlEnabled(d, IDC_HOTKEY_KEY));
    });
}

TEST_F(SettingsDialog, TheKeyIsItsFirstCharacterInUpperCase)
{
    StartWithNotes(0);
    const struct {
        std::u16string typed, stored;
    } cases[] = {{u"q", u"Q"}, {u"ab", u"A"}, {u"7", u"7"}, {u"ä", u"Ä"}, {u"", u""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(platform::ToUtf8(c.typed));
        Settings([&c](WindowHandle d) {
            platform::ClickControl(d, IDC_HOTKEY_CTRL);
            EXPECT_TRUE(sim::TypeInControl(d, IDC_HOTKEY_KEY, c.typed));
            platform::ClickControl(d, platform::id::Ok);
        });
        EXPECT_EQ(FieldText(noteSettings.hotkeyKey), c.stored);
        noteSettings.hotkeyCtrl = 0;
    }
}

// The modifier boxes act at once: SHIFT then the close box keeps Shift,
// and the data file written afterwards holds it.
TEST_F(SettingsDialog, ShiftThenTheCloseBoxKeepsShiftAndSavesIt)
{
    StartWithNotes(0);
    Settings([](WindowHandle d) {
        platform::ClickControl(d, IDC_HOTKEY_SHIFT);
        sim::TypeInControl(d, IDC_HOTKEY_KEY, u"z");
        platform::ClickCloseBox(d);
    });
    ASSERT_EQ(sim::DialogsShown().size(), 1u);
    EXPECT_EQ(sim::DialogsShown()[0].result, 2);
    EXPECT_EQ(noteSettings.hotkeyShift, 1);
    EXPECT_EQ(FieldText(noteSettings.hotkeyKey), u"F") << "the key was taken without OK";
    EXPECT_EQ(Saves(), 1);
    EXPECT_EQ(StoredSetting(12), 1);
    ASSERT_EQ(sim::Hotkeys().size(), 1u);
    EXPECT_EQ(sim::Hotkeys()[0].modifiers, platform::mod::Shift);
    EXPECT_EQ(sim::Hotkeys()[0].virtualKey, static_cast<std::uint32_t>('F'));
}

TEST_F(SettingsDialog, TheRadioButtonsSelectOneGestureAndOneInputMode)
{
    StartWithNotes(0);
    Settings([](WindowHandle d) {
        EXPECT_EQ(platform::GetControlCheck(d, IDC_GESTURE_CTRL_DOUBLE_CLICK), 1);
        EXPECT_EQ(platform::GetControlCheck(d, IDC_INPUT_ROMAJI), 1);
        platform::ClickControl(d, IDC_INPUT_KANA);
        platform::ClickControl(d, IDC_GESTURE_DOUBLE_CLICK);
        EXPECT_EQ(platform::GetControlCheck(d, IDC_INPUT_KANA), 1);
        EXPECT_EQ(platform::GetControlCheck(d, IDC_INPUT_ROMAJI), 0);
        EXPECT_EQ(platform::GetControlCheck(d, IDC_INPUT_DIRECT), 0);
        EXPECT_EQ(platform::GetControlCheck(d, IDC_GESTURE_CTRL_DOUBLE_CLICK), 0);
        EXPECT_EQ(noteSettings.inputMode, 0) << "the mode changed before OK";
        platform::ClickControl(d, platform::id::Ok);
    });
    EXPECT_EQ(noteSettings.inputMode, 1);
    EXPECT_EQ(noteSettings.editGesture, 0);
    EXPECT_EQ(StoredSetting(116), 1);
    EXPECT_EQ(StoredSetting(112), 0);
}

TEST_F(SettingsDialog, AnInputModeOutsideTheThreeSelectsNoneAndIsKept)
{
    noteSettings.inputMode = 7;
    StoreNotes({});
    StartWithNotes(0);
    Settings([](WindowHandle d) {
        for (const int box : {IDC_INPUT_ROMAJI, IDC_INPUT_KANA, IDC_INPUT_DIRECT})
            EXPECT_EQ(platform::GetControlCheck(d, box), 0) << box;
        platform::ClickControl(d, platform::id::Ok);
    });
    EXPECT_EQ(noteSettings.inputMode, 7);
}

// Ctrl+Alt+K set in the dialog works at once: it raises the last note.
TEST_F(SettingsDialog, ANewHotkeyWorksAtOnce)
{
    StartWithNotes(2);
    platform::BringToForeground(Note(0).window);
    platform::PumpMessages();
    Settings([](WindowHandle d) {
        platform::ClickControl(d, IDC_HOTKEY_CTRL);
        platform::ClickControl(d, IDC_HOTKEY_ALT);
        sim::TypeInControl(d, IDC_HOTKEY_KEY, u"k");
        platform::ClickControl(d, platform::id::Ok);
    });
    platform::BringToForeground(Note(0).window);
    platform::PumpMessages();
    ASSERT_EQ(platform::GetForegroundAppWindow(), Note(0).window);
    EXPECT_FALSE(sim::PressHotkey(platform::mod::Control | platform::mod::Alt, 'F'));
    ASSERT_TRUE(sim::PressHotkey(platform::mod::Control | platform::mod::Alt, 'K'));
    platform::PumpMessages();
    EXPECT_EQ(platform::GetForegroundAppWindow(), Note(1).window);
    EXPECT_EQ(hotkeyRegistered, 1);
}

}  // namespace
