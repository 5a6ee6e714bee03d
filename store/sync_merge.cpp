// The merge rules of the notes of two computers (store/sync_merge.h). Start
// reading at MergeNotes.
#include "store/sync_merge.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr std::int32_t kConflictOffset = 16;  // a conflict note stands off the note it came from

std::u16string Identity(const NoteRecord& note)
{
    std::u16string created = FieldText(note.created);
    return created.empty() ? u"file:" + FieldText(note.fileName) : created;
}

std::optional<std::uint64_t> DigestOf(const NoteRecord& note)
{
    if (note.textDigest) return note.textDigest;
    if (note.text) return TextDigest(*note.text);
    return std::nullopt;
}

// A text is the same when both are there and equal (by digest where one is
// kept as such), or both were not read from the same file.
bool SameText(const NoteRecord& a, const NoteRecord& b)
{
    if (a.textDigest || b.textDigest) return DigestOf(a) == DigestOf(b);
    if (a.text || b.text) return a.text == b.text;
    return FieldText(a.fileName) == FieldText(b.fileName);
}

// For each record of `from`, the index of its partner in `to` or -1. Among
// records of one identity, equal texts pair first, then equal file names,
// then the rest in order.
std::vector<std::int32_t> Pair(const std::vector<NoteRecord>& from, const std::vector<NoteRecord>& to)
{
    std::unordered_map<std::u16string, std::vector<std::int32_t>> byIdentity;
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(to.size()); ++i)
        byIdentity[Identity(to[i])].push_back(i);
    std::vector<std::int32_t> partner(from.size(), -1);
    std::vector<bool> taken(to.size(), false);
    const auto pass = [&](auto matches) {
        for (std::size_t i = 0; i < from.size(); ++i) {
            if (partner[i] >= 0) continue;
            const auto found = byIdentity.find(Identity(from[i]));
            if (found == byIdentity.end()) continue;
            for (const std::int32_t j : found->second) {
                if (taken[j] || !matches(from[i], to[j])) continue;
                partner[i] = j;
                taken[j] = true;
                break;
            }
        }
    };
    pass([](const NoteRecord& a, const NoteRecord& b) { return SameText(a, b); });
    pass([](const NoteRecord& a, const NoteRecord& b) { return FieldText(a.fileName) == FieldText(b.fileName); });
    pass([](const NoteRecord&, const NoteRecord&) { return true; });
    return partner;
}

// The stored fields of a record, without the live ones.
NoteRecord Stored(const NoteRecord& note)
{
    NoteRecord stored = note;
    stored.window = stored.editWindow = 0;
    stored.fontHandle = 0;
    return stored;
}

template <typename T>
void TakeIfOursUnchanged(T NoteRecord::*field, const NoteRecord& base, const NoteRecord& theirs, NoteRecord& out)
{
    if (out.*field == base.*field) out.*field = theirs.*field;
}

class Merger {
public:
    Merger(const std::vector<NoteRecord>& ours, const std::vector<NoteRecord>& theirs, std::int32_t editing,
           const ConflictStamp& stamp)
        : ours_(ours), theirs_(theirs), editing_(editing), stamp_(stamp)
    {
    }

    void Keep(std::int32_t o, NoteRecord record, bool sameAsTheirs)
    {
        merged_.push_back({std::move(record), o, sameAsTheirs});
    }
    void KeepOurs(std::int32_t o) { Keep(o, ours_[o], false); }
    void AddTheirs(std::int32_t t) { Keep(-1, Stored(theirs_[t]), true); }

    // Their text, which no note kept, as a note of its own: their record
    // with the text under a first line that says where it came from.
    void AddConflictNote(const NoteRecord& from)
    {
        if (!from.text || from.text->empty()) return;
        conflicts_.push_back(Stored(from));
        NoteRecord& note = conflicts_.back();
        note.text = ConflictNoteText(stamp_.source, *from.text);
        SetFieldText(note.created, stamp_.created);
        note.bounds = {note.bounds.left + kConflictOffset, note.bounds.top + kConflictOffset,
                       note.bounds.right + kConflictOffset, note.bounds.bottom + kConflictOffset};
    }

    // Both sides hold the note: where ours is as it was, theirs is taken.
    void MergeThree(std::int32_t o, const NoteRecord& base, std::int32_t t)
    {
        const NoteRecord& theirs = theirs_[t];
        if (o == editing_) return MergeTwo(o, t, MergeKind::ConflictCopy);
        NoteRecord out = ours_[o];
        TakeIfOursUnchanged(&NoteRecord::bounds, base, theirs, out);
        TakeIfOursUnchanged(&NoteRecord::zLevel, base, theirs, out);
        TakeIfOursUnchanged(&NoteRecord::shown, base, theirs, out);
        TakeIfOursUnchanged(&NoteRecord::font, base, theirs, out);
        TakeIfOursUnchanged(&NoteRecord::textColor, base, theirs, out);
        TakeIfOursUnchanged(&NoteRecord::backColor, base, theirs, out);
        TakeIfOursUnchanged(&NoteRecord::fixed, base, theirs, out);
        if (!SameText(theirs, base) && !SameText(out, theirs)) {
            if (SameText(out, base)) {
                out.text = theirs.text;
                out.fileName = theirs.fileName;
                out.textUnsaved = false;
            } else {
                AddConflictNote(theirs);
            }
        }
        const bool same = SameNote(out, theirs) && out.fileName == theirs.fileName;
        Keep(o, std::move(out), same);
    }

    // Both hold a note of one identity without a shared past.
    void MergeTwo(std::int32_t o, std::int32_t t, MergeKind kind)
    {
        const NoteRecord& theirs = theirs_[t];
        const bool sameText = SameText(ours_[o], theirs);
        Keep(o, ours_[o], sameText && SameNote(ours_[o], theirs) && ours_[o].fileName == theirs.fileName);
        if (sameText) return;
        if (o == editing_ || kind == MergeKind::ConflictCopy)
            AddConflictNote(theirs);
        else
            AddTheirs(t);  // two notes made in the same second: both stay whole
    }

    // A note of a conflict copy that we do not hold: it comes back unless
    // a note holds its text already.
    void AddUnlessHeld(std::int32_t t) { extras_.push_back(Stored(theirs_[t])); }

    // Conflict notes last, and only for texts that no note holds.
    std::vector<MergedNote> Finish()
    {
        std::unordered_set<std::u16string> held;
        for (const MergedNote& note : merged_)
            if (note.record.text) held.insert(*note.record.text);
        for (NoteRecord& note : extras_) {
            if (note.text && !held.insert(*note.text).second) continue;
            Keep(-1, std::move(note), false);
        }
        for (NoteRecord& note : conflicts_) {
            const std::u16string raw = note.text->substr(note.text->find(u"\r\n") + 2);
            if (held.contains(raw) || !held.insert(*note.text).second) continue;
            note.fileName.fill(0);
            note.textUnsaved = true;
            Keep(-1, std::move(note), false);
        }
        SeparateSharedNames();
        return std::move(merged_);
    }

private:
    // One file holds one text: a name the other side's record brought keeps
    // its text; any other record naming it gets a file of its own.
    void SeparateSharedNames()
    {
        std::unordered_set<std::u16string> claimed;
        const auto separate = [&claimed](MergedNote& note) {
            const std::u16string name = FieldText(note.record.fileName);
            // A text not read yet keeps its name: its file is never dropped unread.
            if (claimed.insert(name).second || name.empty() || !note.record.text) return;
            note.record.fileName.fill(0);
            note.record.textUnsaved = true;
            note.sameAsTheirs = false;
        };
        for (MergedNote& note : merged_)
            if (note.sameAsTheirs) separate(note);
        for (MergedNote& note : merged_)
            if (!note.sameAsTheirs) separate(note);
    }

    const std::vector<NoteRecord>& ours_;
    const std::vector<NoteRecord>& theirs_;
    std::int32_t editing_;
    const ConflictStamp& stamp_;
    std::vector<MergedNote> merged_;
    std::vector<NoteRecord> extras_;
    std::vector<NoteRecord> conflicts_;
};

std::vector<std::int32_t> Inverse(const std::vector<std::int32_t>& partner, std::size_t size)
{
    std::vector<std::int32_t> inverse(size, -1);
    for (std::size_t i = 0; i < partner.size(); ++i)
        if (partner[i] >= 0) inverse[partner[i]] = static_cast<std::int32_t>(i);
    return inverse;
}

// The records of `from` that `partner` leaves without one, in order.
std::vector<NoteRecord> Unpaired(const std::vector<NoteRecord>& from, const std::vector<std::int32_t>& partner,
                                 std::vector<std::int32_t>& index)
{
    std::vector<NoteRecord> left;
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (partner[i] >= 0) continue;
        left.push_back(from[i]);
        index.push_back(static_cast<std::int32_t>(i));
    }
    return left;
}

}  // namespace

bool SameNote(const NoteRecord& a, const NoteRecord& b)
{
    return a.bounds == b.bounds && a.zLevel == b.zLevel && a.shown == b.shown && a.font == b.font &&
           a.textColor == b.textColor && a.backColor == b.backColor && a.fixed == b.fixed && SameText(a, b);
}

std::uint64_t TextDigest(std::u16string_view text)
{
    return std::hash<std::u16string_view>{}(text) ^ (text.size() * 0x9E3779B97F4A7C15u);
}

std::u16string ConflictNoteText(const std::u16string& source, const std::u16string& text)
{
    return u"【同期の競合】" + source + u"\r\n" + text;
}

std::vector<MergedNote> MergeNotes(const std::vector<NoteRecord>& base, const std::vector<NoteRecord>& ours,
                                   const std::vector<NoteRecord>& theirs, MergeKind kind, std::int32_t editing,
                                   const ConflictStamp& stamp)
{
    static const std::vector<NoteRecord> kNone;
    const std::vector<NoteRecord>& shared = kind == MergeKind::Replaced ? base : kNone;
    Merger merger(ours, theirs, editing, stamp);
    const std::vector<std::int32_t> oursBase = Pair(ours, shared);
    const std::vector<std::int32_t> theirsBase = Pair(theirs, shared);
    const std::vector<std::int32_t> baseTheirs = Inverse(theirsBase, shared.size());

    // Notes new on both sides meet by identity.
    std::vector<std::int32_t> newOurs, newTheirs;
    const std::vector<NoteRecord> oursNew = Unpaired(ours, oursBase, newOurs);
    const std::vector<NoteRecord> theirsNew = Unpaired(theirs, theirsBase, newTheirs);
    const std::vector<std::int32_t> newPair = Pair(oursNew, theirsNew);
    std::vector<std::int32_t> oursTheirs(ours.size(), -1);
    for (std::size_t i = 0; i < newPair.size(); ++i)
        if (newPair[i] >= 0) oursTheirs[newOurs[i]] = newTheirs[newPair[i]];
    std::vector<bool> theirsUsed(theirs.size(), false);

    for (std::int32_t o = 0; o < static_cast<std::int32_t>(ours.size()); ++o) {
        const std::int32_t b = oursBase[o];
        const std::int32_t t = b >= 0 ? baseTheirs[b] : oursTheirs[o];
        if (t >= 0) theirsUsed[t] = true;
        if (b >= 0 && t >= 0)
            merger.MergeThree(o, shared[b], t);
        else if (t >= 0)
            merger.MergeTwo(o, t, kind);
        else if (b < 0 || !SameNote(ours[o], shared[b]) || o == editing)
            merger.KeepOurs(o);  // new here, or changed here since they removed it
        // else: removed on their side and unchanged here, so it goes
    }
    for (std::int32_t t = 0; t < static_cast<std::int32_t>(theirs.size()); ++t) {
        if (theirsUsed[t]) continue;
        const std::int32_t b = theirsBase[t];
        if (kind == MergeKind::ConflictCopy)
            merger.AddUnlessHeld(t);
        else if (b < 0 || !SameNote(theirs[t], shared[b]))
            merger.AddTheirs(t);  // new there, or changed there since it was removed here
    }
    return merger.Finish();
}
