// The program started with a few notes, with helpers to open menus, run
// commands, read what the simulated menus and dialogs showed and count the
// data file's saves. The colour palette, which the colour chooser changes,
// is restored after every test.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/note_windows.h"
#include "app_fixture.h"
#include "platform/files.h"
#include "platform/sim/sim_menus.h"
#include "store/messages.h"
#include "store/text_files.h"

class MenuTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        palette_ = notePalette;
    }

    void TearDown() override
    {
        notePalette = palette_;
        AppTest::TearDown();
    }

    void StartWithNotes(int n)
    {
        ASSERT_TRUE(Start());
        for (int i = 0; i < n; ++i) ASSERT_EQ(CreateNoteWindows(platform::sw::ShowNormal), 1);
        platform::PumpMessages();
    }

    // The next row of a table of cases: a fresh start with n notes.
    void AfreshWithNotes(int n)
    {
        Afresh();
        StartWithNotes(n);
    }

    // Replaces note i's text and commits it with a save.
    void GiveText(int i, const std::u16string& text)
    {
        ASSERT_TRUE(ReplaceNoteText(Note(i), text));
        ASSERT_EQ(SaveDataFile(), 1);
    }

    void HideNote(int i)
    {
        Note(i).shown = 0;
        platform::ShowAppWindow(Note(i).window, platform::sw::Hide);
    }

    static int Saves() { return platform::CompletedReplacements(DataFilePath()); }

    static void Run(platform::WindowHandle window, std::uint32_t id, platform::LParam origin)
    {
        PostCommand(window, id, origin);
        platform::PumpMessages();
    }

    // A right-button release at a point of the note's client area.
    void RightClick(int i, int x = 5, int y = 5)
    {
        platform::PostWindowMessage(Note(i).window, platform::wm::RightButtonUp, 0, platform::PackPoint(x, y));
        platform::PumpMessages();
    }

    static void OpenTrayMenu()
    {
        sim::ClickTrayIcon(platform::wm::LeftButtonUp);
        platform::PumpMessages();
    }

    static const sim::ShownMenu& LastMenu() { return sim::MenusShown().back(); }

    // The item with this label anywhere in the menu, or null.
    static const sim::ShownMenuItem* Find(const std::vector<sim::ShownMenuItem>& items, std::u16string_view label)
    {
        for (const sim::ShownMenuItem& item : items) {
            if (item.label == label) return &item;
            if (const sim::ShownMenuItem* inner = Find(item.items, label)) return inner;
        }
        return nullptr;
    }

    static const sim::ShownMenuItem& Item(std::u16string_view label)
    {
        const sim::ShownMenuItem* item = Find(LastMenu().items, label);
        EXPECT_NE(item, nullptr) << "no item " << platform::ToUtf8(label);
        static const sim::ShownMenuItem none;
        return item != nullptr ? *item : none;
    }

    // Every command item of a menu, submenus included, in menu order.
    static std::vector<sim::ShownMenuItem> Commands(const std::vector<sim::ShownMenuItem>& items)
    {
        std::vector<sim::ShownMenuItem> commands;
        for (const sim::ShownMenuItem& item : items) {
            if (item.submenu) {
                for (const sim::ShownMenuItem& inner : Commands(item.items)) commands.push_back(inner);
            } else if (!item.separator) {
                commands.push_back(item);
            }
        }
        return commands;
    }

    // Chooses the item with this label as a user would: the menu opens once
    // to show where the item is, and again to choose it.
    void ChooseFromNoteMenu(int i, std::u16string_view label)
    {
        RightClick(i);
        sim::QueueMenuAnswer(static_cast<int>(Item(label).id));
        RightClick(i);
    }

    void ChooseFromTrayMenu(std::u16string_view label)
    {
        OpenTrayMenu();
        sim::QueueMenuAnswer(static_cast<int>(Item(label).id));
        OpenTrayMenu();
    }

    std::array<std::uint32_t, kPaletteSize> palette_{};
};
