// A running program with stored notes, for the tests of what notes do:
// starts with the given records, pumps, and counts the data file's saves.
#pragma once

#include "app/startup.h"
#include "app_fixture.h"
#include "note/painting.h"
#include "platform/draw.h"
#include "platform/files.h"
#include "store/messages.h"

class NoteTest : public AppTest {
protected:
    void TearDown() override
    {
        flashing = false;
        for (std::uint32_t key : {platform::vk::Shift, platform::vk::Control, platform::vk::Alt})
            sim::SetKeyHeld(key, false);
        AppTest::TearDown();
    }

    // Starts the program with these notes and lets it settle (painted).
    void StartWith(const std::vector<NoteRecord>& records)
    {
        StoreNotes(records);
        ASSERT_TRUE(Start());
        platform::PumpMessages();
        savesAtStart_ = Saves();
    }

    static NoteRecord ShownNote(platform::Rect bounds, std::uint32_t backColor = 0x00D0FFFF)
    {
        NoteRecord note = StoredNote(bounds, platform::z::NotTopmost, 1);
        note.backColor = backColor;
        return note;
    }

    // Ends the program as the desktop would and starts it again on the same
    // folder, on a fresh desktop.
    void Restart()
    {
        ShutdownApp();
        sim::Reset();
        ResetProgramState();
        sim::SetModulePath(platform::FromUtf8(folder_.string() + "/cevelmo"));
        ASSERT_TRUE(Start());
        platform::PumpMessages();
    }

    static int Saves() { return platform::CompletedReplacements(DataFilePath()); }
    int SavesSinceStart() const { return Saves() - savesAtStart_; }

    static void Hold(std::initializer_list<std::uint32_t> keys)
    {
        for (std::uint32_t key : {platform::vk::Shift, platform::vk::Control, platform::vk::Alt})
            sim::SetKeyHeld(key, false);
        for (std::uint32_t key : keys) sim::SetKeyHeld(key, true);
    }

    platform::WindowHandle Window(int index) { return Note(index).window; }
    std::uint32_t Pixel(int index, int x, int y) { return sim::WindowPixel(Window(index), x, y); }

    int savesAtStart_ = 0;
};
