#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/ChordMemoryBank.h"
#include "engine/NoteList.h"

namespace sorel {
namespace {

using Notes = std::vector<int>;

std::string ReadChordResource() {
    const char* source = std::getenv("SOREL_SOURCE_DIR");
    if (!source) return {};
    std::ifstream file(std::string(source) + "/resources/misc/chordmemory.res", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

Notes ToVector(std::span<const int> notes) { return {notes.begin(), notes.end()}; }

Notes SlotNotes(const ChordMemoryBank& bank, int slot) { return ToVector(bank.Notes(slot)); }

Notes Built(const BuiltChord& chord) { return ToVector(chord.Notes()); }

void Fill(ChordMemoryBank& bank, int slot, const Notes& notes) {
    for (int note : notes) ASSERT_TRUE(bank.AddNote(slot, note));
}

bool HasPitchClass(const std::vector<int>& notes, int pitchClass) {
    return std::any_of(notes.begin(), notes.end(), [&](int n) { return n % 12 == pitchClass; });
}

// --- The chord table resource ------------------------------------------------

class ChordResource : public ::testing::Test {
protected:
    void SetUp() override {
        text = ReadChordResource();
        ASSERT_FALSE(text.empty()) << "chord resource not found below SOREL_SOURCE_DIR";
        bank.LoadShapes(text);
    }
    std::string text;
    ChordMemoryBank bank;
};

// Each shape sounds what its name says over the key (base 12): the root, the
// right third, and the added sixth, seventh or ninth.
TEST_F(ChordResource, ShapesSoundTheChordsTheirNamesPromise) {
    const ChordShapeList& shapes = bank.Shapes();
    for (int i = 0; i < shapes.Count(); ++i) {
        const ChordShape& shape = *shapes.Shape(i);
        SCOPED_TRACE(shape.name);
        const bool minor = shape.name.starts_with("Minor");
        EXPECT_TRUE(std::find(shape.notes.begin(), shape.notes.end(), 12) != shape.notes.end()) << "the key itself";
        EXPECT_TRUE(HasPitchClass(shape.notes, minor ? 3 : 4));
        EXPECT_FALSE(HasPitchClass(shape.notes, minor ? 4 : 3));
        EXPECT_TRUE(HasPitchClass(shape.notes, 7)) << "the fifth";
        EXPECT_FALSE(HasPitchClass(shape.notes, 5)) << "no fourth";
        for (int note : shape.notes) {
            EXPECT_GE(note, ChordSlot::kEditorLowest);
            EXPECT_LE(note, ChordSlot::kEditorHighest);
        }
        EXPECT_LE(shape.notes.size(), static_cast<std::size_t>(ChordSlot::kCapacity));
        if (shape.name.ends_with(" 6")) {
            EXPECT_TRUE(HasPitchClass(shape.notes, 9));
        }
        if (shape.name.ends_with(" 7")) {
            EXPECT_TRUE(HasPitchClass(shape.notes, minor ? 10 : 11));
            EXPECT_FALSE(HasPitchClass(shape.notes, minor ? 11 : 10));
        }
        if (shape.name.ends_with(" 9")) {
            EXPECT_TRUE(HasPitchClass(shape.notes, 2));
        }
    }
}

// --- Building on a key ---------------------------------------------------------

TEST(ChordBuild, TheBaseNoteLandsOnTheKey) {
    ChordMemoryBank bank;
    Fill(bank, 5, {12, 16, 19});
    EXPECT_EQ(Built(bank.BuildOnKey(5, 62)), (Notes{62, 66, 69}));
    bank.SetBase(5, 16);  // the third is now the played key
    EXPECT_EQ(Built(bank.BuildOnKey(5, 62)), (Notes{58, 62, 65}));

    EXPECT_EQ(bank.BuildOnKey(6, 60).count, 0) << "an empty slot plays nothing";
    EXPECT_EQ(bank.BuildOnKey(16, 60).count, 0);
    EXPECT_EQ(bank.BuildOnKey(-1, 60).count, 0);
}

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

// --- Editing the slots -----------------------------------------------------------

TEST(ChordEditing, InversionsMergeNotesAndStayInsideTheFrame) {
    // A note that lands on a chord note merges with it.
    ChordMemoryBank octave;
    Fill(octave, 0, {12, 24});
    octave.Invert(true);
    EXPECT_EQ(SlotNotes(octave, 0), (Notes{24}));

    // Leaving 0..35 changes nothing.
    ChordMemoryBank edge;
    Fill(edge, 0, {3, 8});
    edge.Invert(false);
    EXPECT_EQ(SlotNotes(edge, 0), (Notes{3, 8}));
    edge.Invert(true);
    EXPECT_EQ(SlotNotes(edge, 0), (Notes{8, 15}));
    ChordMemoryBank top;
    Fill(top, 0, {26});
    top.Invert(true);
    EXPECT_EQ(SlotNotes(top, 0), (Notes{26}));

    ChordMemoryBank empty;
    empty.Invert(true);
    empty.Invert(false);
    EXPECT_TRUE(empty.Notes(0).empty());
}

TEST(ChordEditing, TheKeyboardTogglesNotesWithinEightDistinctMidiNotes) {
    ChordMemoryBank bank;
    for (int note : {35, 0, 7, 7, 12}) bank.ToggleNote(1, note, true);
    EXPECT_EQ(SlotNotes(bank, 1), (Notes{0, 7, 12, 35}));
    bank.ToggleNote(1, 7, false);
    bank.ToggleNote(1, 8, false);  // not there: nothing
    EXPECT_EQ(SlotNotes(bank, 1), (Notes{0, 12, 35}));

    for (int note = 13; note < 30; ++note) bank.ToggleNote(1, note, true);
    EXPECT_EQ(bank.Slot(1)->Count(), ChordSlot::kCapacity);
    EXPECT_EQ(SlotNotes(bank, 1), (Notes{0, 12, 13, 14, 15, 16, 17, 35}));

    bank.ToggleNote(1, 3, false);
    bank.ToggleNote(2, -1, true);
    bank.ToggleNote(2, 128, true);
    bank.ToggleNote(16, 5, true);
    bank.ToggleNote(-3, 5, true);
    EXPECT_TRUE(bank.Notes(2).empty());
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
