// A fresh program folder and a fresh simulated desktop for every test, with
// helpers to start the program, pump its messages and read what it wrote.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/startup.h"
#include "platform/sim/sim.h"
#include "platform/text.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/data_file.h"
#include "store/paths.h"
#include "store/records.h"

class AppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::Reset();
        ResetProgramState();
        folder_ = std::filesystem::temp_directory_path() /
                  ("cevelmo-app-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder_);
        sim::SetModulePath(platform::FromUtf8(folder_.string() + "/cevelmo"));
    }

    void TearDown() override
    {
        ShutdownApp();
        std::filesystem::remove_all(folder_);
    }

    // The program's globals as a new process has them.
    static void ResetProgramState()
    {
        noteTable = NoteTable{};
        noteSettings = NoteSettings{};
        mainWindow = 0;
        hotkeyRegistered = dialogBusy = menuBusy = 0;
        trayIconAtExit = -1;
        dataFileSaves = DataFileSaves{};
    }

    bool Start()
    {
        int code = -1;
        const bool started = StartApp(code);
        exitCode_ = code;
        return started;
    }

    std::filesystem::path DataDir() const { return folder_ / "Data"; }
    std::filesystem::path DataFile() const { return DataDir() / "CeVlmDat.bin"; }
    std::filesystem::path LockFile() const { return DataDir() / "CE_VELMO.lock"; }

    // Another process runs on this program folder's Data folder.
    void HoldLockElsewhere() const
    {
        std::filesystem::create_directories(DataDir());
        sim::SetInstanceLockHeldElsewhere(platform::FromUtf8(LockFile().string()), true);
    }
    std::u16string CanonicalLockFile() const
    {
        return platform::FromUtf8(std::filesystem::weakly_canonical(LockFile()).string());
    }

    std::string ReadBytes(const std::filesystem::path& path) const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    void WriteBytes(const std::filesystem::path& path, const std::string& bytes) const
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    bool InitPathsForTest()
    {
        std::filesystem::create_directories(DataDir());
        return InitPaths(platform::FromUtf8(folder_.string() + "/cevelmo"));
    }

    // Writes a data file holding these records (and the current settings), as
    // an earlier run would have left it, then forgets everything again.
    void StoreNotes(const std::vector<NoteRecord>& records)
    {
        ASSERT_TRUE(InitPathsForTest());
        noteTable.notes = records;
        noteTable.notes.resize(std::max<std::size_t>(records.size(), 4));
        noteTable.capacity = static_cast<std::int32_t>(noteTable.notes.size());
        noteTable.count = static_cast<std::int32_t>(records.size());
        ASSERT_NE(SaveDataFile(), 0);
        ResetProgramState();
    }

    static NoteRecord StoredNote(platform::Rect bounds, std::int32_t zLevel, std::int32_t shown)
    {
        NoteRecord note;
        note.bounds = bounds;
        note.zLevel = zLevel;
        note.shown = shown;
        note.backColor = 0x00A6F0CA;
        note.font.height = -12;
        return note;
    }

    NoteRecord& Note(int index) { return noteTable.notes[index]; }

    std::filesystem::path folder_;
    int exitCode_ = -1;
};
