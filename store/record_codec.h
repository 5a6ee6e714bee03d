// Byte images of the records in the data file: little-endian, fixed offsets.
// The live fields (window, editWindow, text, fontHandle) are written as 0
// and come back as 0 / no text.
#pragma once

#include <cstdint>
#include <span>

#include "store/records.h"

void EncodeFont(const platform::FontDescription& font, std::span<std::uint8_t, kFontBytes> out);
platform::FontDescription DecodeFont(std::span<const std::uint8_t, kFontBytes> in);

void EncodeSettings(const NoteSettings& settings, std::span<std::uint8_t, kSettingsBytes> out);
NoteSettings DecodeSettings(std::span<const std::uint8_t, kSettingsBytes> in);

void EncodeRecord(const NoteRecord& record, std::span<std::uint8_t, kRecordBytes> out);
NoteRecord DecodeRecord(std::span<const std::uint8_t, kRecordBytes> in);
