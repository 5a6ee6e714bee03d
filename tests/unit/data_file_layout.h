// Where things lie in a version-1 data file, for tests that read or lay its
// bytes themselves rather than through the record codec.
#pragma once

#include <cstddef>

namespace layout {
inline constexpr std::size_t kSettings = 4;
inline constexpr std::size_t kTrayIcon = kSettings + 16;
inline constexpr std::size_t kCount = 168;
inline constexpr std::size_t kRecords = 172;
inline constexpr std::size_t kRecordBytes = 256;
inline constexpr std::size_t Record(std::size_t i) { return kRecords + kRecordBytes * i; }
// Within a record.
inline constexpr std::size_t kBounds = 8;
inline constexpr std::size_t kShown = 28;
inline constexpr std::size_t kFileName = 36;
inline constexpr std::size_t kFileNameUnits = 14;
inline constexpr std::size_t kFont = 104;
inline constexpr std::size_t kBack = 204;
// A version-0 file: a count, then records without settings.
inline constexpr std::size_t kVersion0Records = 8;
}  // namespace layout
