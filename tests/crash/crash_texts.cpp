// Self-checking note texts, note ids in creation times, and the journal.
#include "crash_texts.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace crash {
namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;
constexpr int kSecondsPerDay = 86400;
constexpr int kDaysPerMonth = 28;  // every id maps to a real date

std::uint32_t Checksum(std::u16string_view units)
{
    std::uint32_t hash = 2166136261u;  // FNV-1a over the UTF-16 units
    for (char16_t unit : units) {
        hash ^= unit;
        hash *= 16777619u;
    }
    return hash;
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// Plain letters, Japanese, line breaks: what notes hold.
std::u16string Payload(std::size_t units, std::mt19937& random)
{
    static const std::u16string pieces[] = {u"abc ", u"付箋紙", u"\r\n", u"メモ：", u"0123456789", u"ｶﾀｶﾅ"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::u16string payload;
    while (payload.size() < units) payload += pieces[pick(random)];
    payload.resize(units);
    // A line break cut in two would come back whole from the editor.
    if (!payload.empty() && payload.back() == u'\r') payload.back() = u'.';
    return payload;
}

std::optional<long> ReadField(std::u16string_view& text, int base)
{
    const std::size_t bar = text.find(u'|');
    if (bar == std::u16string_view::npos || bar == 0 || bar > 12) return std::nullopt;
    std::string digits;
    for (char16_t c : text.substr(0, bar)) {
        if (c > 0x7F) return std::nullopt;
        digits += static_cast<char>(c);
    }
    text.remove_prefix(bar + 1);
    char* end = nullptr;
    const long value = std::strtol(digits.c_str(), &end, base);
    if (*end != 0) return std::nullopt;
    return value;
}

}  // namespace

std::u16string MakeText(int id, int generation, std::mt19937& random)
{
    // Mostly short texts; some run over several write blocks.
    std::uniform_int_distribution<int> size(0, 9);
    const std::size_t units = size(random) < 8 ? random() % 300 : random() % 12000;
    const std::u16string payload = Payload(units, random);
    char header[96];
    std::snprintf(header, sizeof header, "CVC|%d|%d|%zu|%08x|", id, generation, units, Checksum(payload));
    const bool mark = random() % 8 == 0;
    return (mark ? std::u16string(1, kByteOrderMark) : u"") + Widen(header) + payload;
}

std::optional<TextStamp> CheckText(const std::u16string& text)
{
    std::u16string_view rest = text;
    if (!rest.empty() && rest.front() == kByteOrderMark) rest.remove_prefix(1);
    if (!rest.starts_with(u"CVC|")) return std::nullopt;
    rest.remove_prefix(4);
    const auto id = ReadField(rest, 10), generation = ReadField(rest, 10), units = ReadField(rest, 10),
               sum = ReadField(rest, 16);
    if (!id || !generation || !units || !sum) return std::nullopt;
    if (rest.size() != static_cast<std::size_t>(*units) || Checksum(rest) != static_cast<std::uint32_t>(*sum))
        return std::nullopt;
    return TextStamp{static_cast<int>(*id), static_cast<int>(*generation)};
}

platform::LocalTime TimeOfId(int id)
{
    platform::LocalTime t{};
    t.second = id % 60;
    t.minute = id / 60 % 60;
    t.hour = id / 3600 % 24;
    t.day = 1 + id / kSecondsPerDay % kDaysPerMonth;
    t.month = 1 + id / (kSecondsPerDay * kDaysPerMonth) % 12;
    t.year = 2000 + id / (kSecondsPerDay * kDaysPerMonth * 12);
    return t;
}

std::optional<int> IdOfCreated(const std::u16string& created)
{
    std::string ascii(created.begin(), created.end());
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (std::sscanf(ascii.c_str(), "%d/%d/%d %d:%d:%d", &year, &month, &day, &hour, &minute, &second) != 6)
        return std::nullopt;
    return ((((year - 2000) * 12 + month - 1) * kDaysPerMonth + day - 1) * 24 + hour) * 3600 + minute * 60 + second;
}

std::optional<Journal> ReadJournal(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    Journal journal;
    std::string line;
    // A line without its line break was cut off by the kill; it is ignored.
    while (std::getline(in, line) && !in.eof()) {
        std::istringstream fields(line);
        std::string tag;
        fields >> tag;
        Operation op;
        if (tag == "S") {
            fields >> op.id >> op.generation;
            journal.committed[op.id] = op.generation;
        } else if (tag == "B") {
            fields >> op.kind >> op.id >> op.generation;
            journal.inFlight = op;
        } else if (tag == "C" && journal.inFlight) {
            journal.inFlight->copied = true;
        } else if (tag == "E" && journal.inFlight) {
            const Operation& done = *journal.inFlight;
            if (done.kind == "peel" || done.kind == "peellog")
                journal.committed.erase(done.id);
            else if (done.kind != "save")
                journal.committed[done.id] = done.generation;
            journal.inFlight.reset();
        } else {
            return std::nullopt;
        }
        if (fields.fail()) return std::nullopt;
    }
    return journal;
}

}  // namespace crash
