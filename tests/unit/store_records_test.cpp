// The note table: allocation, growth that keeps records, live indexes.
#include "data_file_fixture.h"

namespace {

TEST(StoreRecords, AllocGrowAndLiveIndex)
{
    noteTable = NoteTable{};
    noteTable.notes.assign(2, SampleRecord(1));
    noteTable.count = 2;
    noteTable.pendingCount = 3;
    ASSERT_TRUE(AllocNoteTable());
    EXPECT_EQ(noteTable.count, 0);
    EXPECT_EQ(noteTable.pendingCount, 3);  // left to the loader
    EXPECT_EQ(noteTable.capacity, 4);
    ASSERT_EQ(noteTable.notes.size(), 4u);
    for (const NoteRecord& r : noteTable.notes) ExpectSameStoredFields(r, NoteRecord{});

    for (int i = 0; i < 4; ++i) noteTable.notes[static_cast<std::size_t>(i)] = SampleRecord(i);
    noteTable.count = 4;
    ASSERT_TRUE(GrowNoteTable(8));
    EXPECT_EQ(noteTable.capacity, 8);
    ASSERT_EQ(noteTable.notes.size(), 8u);
    for (int i = 0; i < 4; ++i) ExpectSameStoredFields(noteTable.notes[static_cast<std::size_t>(i)], SampleRecord(i));
    ExpectSameStoredFields(noteTable.notes[4], NoteRecord{});
    EXPECT_FALSE(GrowNoteTable(4)) << "the table never shrinks";
    EXPECT_EQ(noteTable.notes.size(), 8u);

    const std::pair<std::int32_t, bool> indexes[] = {{-1, false}, {0, true}, {3, true}, {4, false}, {7, false}};
    for (auto [index, live] : indexes) EXPECT_EQ(IsLiveIndex(index), live) << index;
}

}  // namespace
