// A fresh program folder and a fresh simulated desktop for every test, with
// helpers to start the program, pump its messages and read what it wrote.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/startup.h"
#include "data_file_layout.h"
#include "platform/sim/sim.h"
#include "platform/text.h"
#include "platform/window.h"
#include "store/app_state.h"
#include "store/data_file.h"
#include "store/paths.h"
#include "store/records.h"
#include "store/save_trouble.h"
#include "store/text_files.h"

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
        saveTrouble = SaveTrouble{};
        retiredNoteFiles.clear();
        dataFileSaves = DataFileSaves{};
    }

    // A fresh folder and desktop, and the globals as a new process has
    // them, for the next row of a table of cases.
    void Afresh()
    {
        TearDown();
        SetUp();
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

    // What is in Data besides the instance lock the running program holds.
    std::set<std::string> DataEntries() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(DataDir()))
            if (entry.path().filename() != "CE_VELMO.lock") names.insert(entry.path().filename().string());
        return names;
    }

    // Ends the program and starts it again on the same folder, as a new
    // process would.
    void Restart()
    {
        ShutdownApp();
        sim::Reset();
        sim::SetModulePath(platform::FromUtf8(folder_.string() + "/cevelmo"));
        ResetProgramState();
        ASSERT_TRUE(Start());
        platform::PumpMessages();
    }

    // The text-file names that the data file on disk holds, in record
    // order, read at their fixed offsets.
    std::vector<std::string> StoredFileNames() const
    {
        const std::string data = ReadBytes(DataFile());
        std::vector<std::string> names;
        for (std::size_t at = layout::Record(0) + layout::kFileName; at + 2 * layout::kFileNameUnits <= data.size();
             at += layout::kRecordBytes) {
            std::u16string name;
            for (std::size_t i = 0; i < layout::kFileNameUnits; ++i) {
                const auto low = static_cast<unsigned char>(data[at + 2 * i]);
                const auto high = static_cast<unsigned char>(data[at + 2 * i + 1]);
                if (low == 0 && high == 0) break;
                name += static_cast<char16_t>(low | high << 8);
            }
            names.push_back(platform::ToUtf8(name));
        }
        return names;
    }

    std::filesystem::path folder_;
    int exitCode_ = -1;
};
