// Test support for the note store: a builder that lays data-file bytes at
// fixed offsets (independent of the record codec), and a fixture with a fresh
// program folder, its Data folder and the store's globals reset.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "data_file_layout.h"
#include "platform/files.h"
#include "platform/sim/sim.h"
#include "platform/text.h"
#include "store/paths.h"
#include "store/records.h"
#include "store/save_trouble.h"
#include "store/text_files.h"

// Bytes of a data file, written little-endian at absolute offsets; the image
// grows with zeros as far as a write reaches.
class DataFileBytes {
public:
    explicit DataFileBytes(std::size_t size = 0) : bytes_(size, '\0') {}

    DataFileBytes& PutU8(std::size_t at, std::uint8_t v)
    {
        if (bytes_.size() <= at) bytes_.resize(at + 1, '\0');
        bytes_[at] = static_cast<char>(v);
        return *this;
    }
    DataFileBytes& PutU32(std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i) PutU8(at + i, static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    DataFileBytes& PutI32(std::size_t at, std::int32_t v) { return PutU32(at, static_cast<std::uint32_t>(v)); }
    // The text's UTF-16 units followed by a terminator.
    DataFileBytes& PutUtf16(std::size_t at, std::u16string_view text)
    {
        for (char16_t unit : text) {
            PutU8(at++, static_cast<std::uint8_t>(unit & 0xFF));
            PutU8(at++, static_cast<std::uint8_t>(unit >> 8));
        }
        PutU8(at, 0);
        return PutU8(at + 1, 0);
    }
    DataFileBytes& Resize(std::size_t size)
    {
        bytes_.resize(size, '\0');
        return *this;
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::Reset();
        platform::FailNthFileWrite(0);
        char pattern[] = "/tmp/cevelmo-store-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        ASSERT_TRUE(InitPaths(platform::FromUtf8(folder_.string() + "/cevelmo")));
        std::filesystem::create_directory(DataDir());
        noteSettings = NoteSettings{};
        noteTable = NoteTable{};
        saveTrouble = SaveTrouble{};
        retiredNoteFiles.clear();
        ASSERT_TRUE(AllocNoteTable());
    }

    void TearDown() override
    {
        platform::FailNthFileWrite(0);
        std::filesystem::remove_all(folder_);
    }

    std::filesystem::path DataDir() const { return folder_ / "Data"; }
    std::filesystem::path DataFile() const { return DataDir() / "CeVlmDat.bin"; }

    static void WriteBytes(const std::filesystem::path& path, const std::string& bytes)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string ReadBytes(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::filesystem::path folder_;
};

// Compares everything a record keeps in the data file.
inline void ExpectSameStoredFields(const NoteRecord& a, const NoteRecord& b)
{
    EXPECT_EQ(a.bounds, b.bounds);
    EXPECT_EQ(a.zLevel, b.zLevel);
    EXPECT_EQ(a.shown, b.shown);
    EXPECT_EQ(a.fileName, b.fileName);
    EXPECT_EQ(a.created, b.created);
    EXPECT_EQ(a.font, b.font);
    EXPECT_EQ(a.textColor, b.textColor);
    EXPECT_EQ(a.backColor, b.backColor);
    EXPECT_EQ(a.fixed, b.fixed);
    EXPECT_EQ(a.reserved, b.reserved);
    EXPECT_EQ(a.reservedText, b.reservedText);
}

// A record with a distinct value in every stored field, varied by seed.
inline NoteRecord SampleRecord(int seed)
{
    NoteRecord r;
    r.bounds = {10 + seed, -20 - seed, 300 + seed, 400 + seed};
    r.zLevel = seed % 2 ? -1 : -2;
    r.shown = seed % 2;
    SetFieldText(r.fileName, u"VLM0000" + std::u16string(1, char16_t(u'0' + seed % 10)) + u".txt");
    SetFieldText(r.created, u"2024/01/02 03:04:05");
    r.font.height = -12 - seed;
    r.font.weight = 700;
    r.font.italic = 1;
    r.font.charSet = 128;
    r.font.pitchAndFamily = 0x31;
    SetFieldText(r.font.faceName, u"ゴシック");
    r.textColor = 0x00102030u + static_cast<std::uint32_t>(seed);
    r.backColor = 0x00D0FFFFu;
    r.fixed = seed;
    r.reserved = {seed, -seed, 7, 0x7FFFFFFF};
    SetFieldText(r.reservedText, u"r");
    r.reservedText[10] = u'z';  // beyond the terminator, kept all the same
    return r;
}
