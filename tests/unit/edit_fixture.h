// The program started with notes, for the tests of the in-place editor and
// sizing: opening the editor as the user does, typing into whatever has the
// keyboard, and reading what the end of editing wrote. Every sim font is
// fixed-metric: with the notes' 12-pixel font a half-width character is 6
// pixels wide, a full-width one 12, and a line 12 high.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "edit/editor.h"
#include "note_fixture.h"
#include "platform/editor.h"
#include "platform/ime.h"
#include "platform/sim/sim_menus.h"

class EditTest : public NoteTest {
protected:
    static constexpr platform::Rect kFirst{100, 100, 260, 140};  // 160 x 40: the editor is 150 x 30
    static constexpr platform::Rect kSecond{400, 400, 560, 440};

    void TearDown() override
    {
        sim::FailNthEditorTextCopy(0);
        NoteTest::TearDown();
    }

    // Two notes; the first may have a text, stored in its text file as an
    // earlier run left it.
    void StartWithText(const std::optional<std::u16string>& text, std::int32_t fixed = 0)
    {
        NoteRecord first = ShownNote(kFirst);
        first.fixed = fixed;
        if (text) {
            SetFieldText(first.fileName, u"VLM00000.txt");
            WriteBytes(DataDir() / "VLM00000.txt", platform::ToUtf8(*text));
        }
        StartWith({first, ShownNote(kSecond)});
    }

    // The direct-edit command as the note menu gives it; the editor.
    platform::WindowHandle StartEditing(int i = 0)
    {
        PostCommand(Window(i), CMD_EDIT_DIRECT, 1);
        platform::PumpMessages();
        return Note(i).editWindow;
    }

    static platform::WindowHandle Focus() { return platform::GetKeyboardFocus(); }

    // Typed where the keyboard is, as the user types.
    static void Type(std::u16string_view text)
    {
        ASSERT_TRUE(sim::TypeText(Focus(), text));
        platform::PumpMessages();
    }

    static void Press(std::uint32_t key, std::uint32_t modifiers = 0)
    {
        platform::DeliverKeyStroke(Focus(), key, modifiers);
        platform::PumpMessages();
    }

    platform::Rect Bounds(int i = 0) { return platform::GetWindowBounds(Window(i)); }

    // The editor's text put there as if the note had held it, caret at the end.
    static void Fill(platform::WindowHandle editor, std::u16string_view text)
    {
        platform::SetEditorText(editor, text);
        const auto end = static_cast<platform::WParam>(platform::GetEditorTextLength(editor));
        platform::SendWindowMessage(editor, platform::em::SetSelection, end, static_cast<platform::LParam>(end));
    }

    // The note text files in Data, by name.
    std::vector<std::string> NoteFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(DataDir()))
            if (entry.path().filename().string().starts_with("VLM")) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The one note file there is: the one the note names.
    void ExpectOnlyFileOf(int i)
    {
        EXPECT_EQ(NoteFiles(), std::vector<std::string>{platform::ToUtf8(FieldText(Note(i).fileName))});
    }
    std::string NoteFileBytes(int i) { return ReadBytes(DataDir() / platform::ToUtf8(FieldText(Note(i).fileName))); }
};
