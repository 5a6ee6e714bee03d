// The merge of two computers' notes: each row is a base (what both last
// shared), ours and theirs, and the notes the merge must end with, as
// "created:text" pairs in order. A conflict note's text starts with the
// line that names its source.
#include <gtest/gtest.h>

#include "store/sync_conflicts.h"
#include "store/sync_merge.h"

namespace {

struct N {
    const char16_t* created;
    const char16_t* text;
    const char16_t* file = u"";
    int left = 0;
};

NoteRecord Make(const N& n)
{
    NoteRecord note;
    SetFieldText(note.created, n.created);
    SetFieldText(note.fileName, n.file);
    note.text = std::u16string(n.text);
    note.bounds = {n.left, 0, n.left + 50, 50};
    return note;
}

std::vector<NoteRecord> Make(const std::vector<N>& notes)
{
    std::vector<NoteRecord> out;
    for (const N& n : notes) out.push_back(Make(n));
    return out;
}

struct Row {
    const char* what;
    MergeKind kind;
    std::vector<N> base, ours, theirs;
    std::vector<std::u16string> expected;  // "created|text|left"
    std::int32_t editing = -1;
};

std::u16string Describe(const NoteRecord& note)
{
    return FieldText(note.created) + u"|" + note.text.value_or(u"-") + u"|" +
           std::u16string(1, static_cast<char16_t>(u'0' + note.bounds.left / 10));
}

const std::u16string C = u"【同期の競合】B 2026/01/02 03:04:05\r\n";

TEST(SyncMerge, KeepsEveryNoteAndEveryText)
{
    const auto R = MergeKind::Replaced;
    const auto K = MergeKind::ConflictCopy;
    const std::vector<Row> rows = {
        {"their change to a note we did not touch is taken", R, {{u"t1", u"a"}}, {{u"t1", u"a"}},
         {{u"t1", u"b", u"", 20}}, {u"t1|b|2"}},
        {"our change to a note they did not touch stays", R, {{u"t1", u"a"}}, {{u"t1", u"b", u"", 20}},
         {{u"t1", u"a"}}, {u"t1|b|2"}},
        {"both changed the text: ours stays, theirs becomes a note beside it", R, {{u"t1", u"a"}},
         {{u"t1", u"b"}}, {{u"t1", u"c", u"", 30}}, {u"t1|b|3", u"now|" + C + u"c|4"}},
        {"their move and our text meet", R, {{u"t1", u"a"}}, {{u"t1", u"b"}}, {{u"t1", u"a", u"", 30}},
         {u"t1|b|3"}},
        {"removed there, untouched here: gone", R, {{u"t1", u"a"}, {u"t2", u"x"}}, {{u"t1", u"a"}, {u"t2", u"x"}},
         {{u"t2", u"x"}}, {u"t2|x|0"}},
        {"removed there, changed here: comes back", R, {{u"t1", u"a"}}, {{u"t1", u"b"}}, {}, {u"t1|b|0"}},
        {"removed here, changed there: comes back", R, {{u"t1", u"a"}}, {}, {{u"t1", u"b"}}, {u"t1|b|0"}},
        {"removed here, untouched there: stays removed", R, {{u"t1", u"a"}}, {}, {{u"t1", u"a"}}, {}},
        {"new on both sides in the same second: both whole", R, {}, {{u"t1", u"a"}}, {{u"t1", u"b", u"", 10}},
         {u"t1|a|0", u"t1|b|1"}},
        {"the same note made new on both sides is one", R, {}, {{u"t1", u"a"}}, {{u"t1", u"a"}}, {u"t1|a|0"}},
        {"the note being edited keeps its text; theirs becomes a note", R, {{u"t1", u"a"}}, {{u"t1", u"a"}},
         {{u"t1", u"b"}}, {u"t1|a|0", u"now|" + C + u"b|1"}, 0},
        {"a conflict copy's changed text becomes a note", K, {}, {{u"t1", u"a"}}, {{u"t1", u"b"}},
         {u"t1|a|0", u"now|" + C + u"b|1"}},
        {"a conflict copy's note we lack comes back unless its text is held", K, {},
         {{u"t1", u"a"}}, {{u"t2", u"a"}, {u"t3", u"c"}}, {u"t1|a|0", u"t3|c|0"}},
        {"a conflict text already held makes no note", K, {}, {{u"t1", u"a"}, {u"t2", u"b"}}, {{u"t1", u"b"}},
         {u"t1|a|0", u"t2|b|0"}},
    };
    for (const Row& row : rows) {
        const std::vector<MergedNote> merged = MergeNotes(Make(row.base), Make(row.ours), Make(row.theirs), row.kind,
                                                          row.editing, {u"now", u"B 2026/01/02 03:04:05"});
        std::vector<std::u16string> got;
        for (const MergedNote& note : merged) got.push_back(Describe(note.record));
        EXPECT_EQ(got, row.expected) << row.what;
    }
}

TEST(SyncMerge, TwoTextsNeverShareOneFile)
{
    // Both computers gave their new note the first free name.
    const std::vector<MergedNote> merged =
        MergeNotes({}, Make({{u"t1", u"ours", u"VLM00002.txt"}}), Make({{u"t2", u"theirs", u"VLM00002.txt"}}),
                   MergeKind::Replaced, -1, {u"now", u"B"});
    ASSERT_EQ(merged.size(), 2u);
    EXPECT_EQ(FieldText(merged[0].record.fileName), u"") << "ours moves to a free name at the next save";
    EXPECT_TRUE(merged[0].record.textUnsaved);
    EXPECT_EQ(FieldText(merged[1].record.fileName), u"VLM00002.txt") << "the file holds their text";
    EXPECT_FALSE(merged[1].record.textUnsaved);
}

TEST(SyncMerge, ConflictCopiesAreKnownByTheirNames)
{
    const std::vector<std::tuple<std::u16string, std::u16string, std::u16string>> rows = {
        {u"CeVlmDat.sync-conflict-20261208-211643-ABCDEFG.bin", u"CeVlmDat.bin", u"ABCDEFG 2026/12/08 21:16:43"},
        {u"VLM00002.sync-conflict-20261208-211643-ABCDEFG.txt", u"VLM00002.txt", u"ABCDEFG 2026/12/08 21:16:43"},
        {u"VLM00002 (conflicted copy 2026-12-08 211643).txt", u"VLM00002.txt", u"conflicted copy 2026-12-08 211643"},
        {u"VlmLog (laptop's conflicted copy 2026-12-08).txt", u"VlmLog.txt", u"laptop's conflicted copy 2026-12-08"},
        {u"VLM00002.sync-conflict-2026-ABC.txt", u"", u""},
        {u".syncthing.VLM00002.txt.tmp", u"", u""},
        {u"VLM00002 (copy).txt", u"", u""},
    };
    for (const auto& [name, original, source] : rows) {
        const std::optional<ConflictCopy> copy = ParseConflictName(name);
        EXPECT_EQ(copy ? copy->original : u"", original);
        EXPECT_EQ(copy ? copy->source : u"", source);
    }
}


TEST(SyncMerge, ALongTextSharedAsItsDigestStillTellsWhoChangedIt)
{
    const std::u16string longText(100000, u'x');
    std::vector<NoteRecord> base = Make({{u"t1", u""}});
    base[0].text.reset();
    base[0].textDigest = TextDigest(longText);
    std::vector<NoteRecord> ours = Make({{u"t1", u""}}), theirs = Make({{u"t1", u"short now"}});
    ours[0].text = longText;
    const std::vector<MergedNote> taken = MergeNotes(base, ours, theirs, MergeKind::Replaced, -1, {u"now", u"B"});
    ASSERT_EQ(taken.size(), 1u) << "ours was unchanged: theirs is taken, no conflict note";
    EXPECT_EQ(taken[0].record.text, u"short now");
    theirs[0].text = longText;
    ours[0].text = u"mine";
    EXPECT_EQ(MergeNotes(base, ours, theirs, MergeKind::Replaced, -1, {u"now", u"B"})[0].record.text, u"mine");
}

}  // namespace
