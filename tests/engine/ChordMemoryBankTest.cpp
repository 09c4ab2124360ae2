#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ChordMemoryBank.h"
#include "engine/NoteList.h"

namespace sorel {
namespace {

using Notes = std::vector<int>;

Notes ToVector(std::span<const int> notes) { return {notes.begin(), notes.end()}; }

void Fill(ChordMemoryBank& bank, int slot, const Notes& notes) {
    for (int note : notes) ASSERT_TRUE(bank.AddNote(slot, note));
}

// --- Building on a key ---------------------------------------------------------

TEST(ChordBuild, NotesNearTheEdgesAreClampedAndSoundOnce) {
    ChordMemoryBank bank;
    Fill(bank, 0, {0, 12, 16, 19, 24, 35});
    const BuiltChord high = bank.BuildOnKey(0, 120);
    EXPECT_EQ(ToVector(high.Notes()), (Notes{108, 120, 124, 127}));
    const BuiltChord low = bank.BuildOnKey(0, 5);
    EXPECT_EQ(ToVector(low.Notes()), (Notes{0, 5, 9, 12, 17, 28}));
    const BuiltChord wild = bank.BuildOnKey(0, 100000);
    for (int note : wild.Notes()) {
        EXPECT_GE(note, 0);
        EXPECT_LE(note, 127);
    }
}

// --- Damaged chord tables -------------------------------------------------------------

TEST(ChordShapeParsing, LimitsEveryShapeToWhatASlotHolds) {
    ChordShapeList shapes;
    std::string many = std::string(500, 'N') + ",";
    for (int n = 0; n < 40; ++n) many += std::to_string(n) + ",";
    ASSERT_EQ(shapes.Load(many), 1);
    EXPECT_EQ(shapes.Shape(0)->notes.size(), static_cast<std::size_t>(ChordSlot::kCapacity));
    EXPECT_EQ(shapes.Shape(0)->name.size(), ChordShapeList::kMaxNameLength);

    std::string lines;
    for (int i = 0; i < 1000; ++i) lines += "C" + std::to_string(i) + ",12\n";
    EXPECT_EQ(shapes.Load(lines), ChordShapeList::kMaxShapes);

    EXPECT_EQ(shapes.Load(std::string_view{}), 0);
    EXPECT_EQ(shapes.Load(std::string("Major, 0, 12\0Minor, 0, 15", 25)), 1) << "a zero byte ends the text";

    ChordMemoryBank bank;
    EXPECT_EQ(bank.LoadShapes(std::string_view{}), 0);
    bank.ApplyShape(0);  // no shapes: the slot keeps its notes
    EXPECT_TRUE(bank.Notes(0).empty());
}

}  // namespace
}  // namespace sorel
