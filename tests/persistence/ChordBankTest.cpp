#include <gtest/gtest.h>

#include "persistence/ChordBank.h"
#include "persistence/TempDataHome.h"

namespace sorel {
namespace {

StateChunk Ints(std::initializer_list<int32_t> values) {
    StateChunk chunk;
    for (int32_t v : values) chunk.PutInt32(v);
    return chunk;
}

ChordBankData SampleBank() {
    ChordBankData bank;
    bank.slots[0] = {12, {0, 4, 7}};
    bank.slots[3] = {24, {12, 15, 19, 22}};
    bank.slots[15] = {0, {35}};
    return bank;
}

TEST(ChordBank, SurplusRecordsAndNegativeCountsReadNothing) {
    StateChunk chunk;
    chunk.PutInt32(18);
    for (int slot = 0; slot < 18; ++slot) {
        chunk.PutInt32(slot);
        chunk.PutInt32(1);
        chunk.PutInt32(slot + 1);
    }
    chunk.PutInt32(777);  // what follows the records
    ChordBankData bank;
    const int end = ReadChordRecords(chunk, 0, bank);
    ASSERT_GT(end, 0);
    int32_t after = 0;
    chunk.GetInt32(after, end);
    EXPECT_EQ(after, 777) << "surplus records are consumed";
    EXPECT_EQ(bank.slots[15], (ChordSlotData{15, {16}}));

    EXPECT_EQ(ReadChordBank(Ints({-3, 50, 1, 5})), ChordBankData{});
    const ChordBankData negativeNotes = ReadChordBank(Ints({1, 50, -2, 5}));
    EXPECT_EQ(negativeNotes.slots[0], (ChordSlotData{50, {}}));
}

TEST(ChordBank, NotesOutsideTheMidiRangeOrBeyondCapacityAreDropped) {
    const ChordBankData bank =
        ReadChordBank(Ints({2, 500, 4, -1, 128, 60, 127, -9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(bank.slots[0], (ChordSlotData{12, {60, 127}})) << "base note 500 keeps 12";
    EXPECT_EQ(bank.slots[1].baseNote, 12);
    EXPECT_EQ(bank.slots[1].notes, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(ChordBank, FilesRoundTripAndAMissingFileIsNoBank) {
    test::TempDataHome home;
    const std::string path = home.Root() + "/mine.cmb";
    ASSERT_TRUE(WriteChordBankFile(path, SampleBank()));
    EXPECT_EQ(ReadChordBankFile(path), SampleBank());
    EXPECT_FALSE(ReadChordBankFile(home.Root() + "/absent.cmb").has_value());
}

}  // namespace
}  // namespace sorel
