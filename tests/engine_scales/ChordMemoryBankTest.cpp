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

int ShapeIndex(const ChordShapeList& shapes, std::string_view name) {
    for (int i = 0; i < shapes.Count(); ++i)
        if (shapes.Shape(i)->name == name) return i;
    return -1;
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

TEST_F(ChordResource, HoldsTheEightNamedShapesInFileOrder) {
    const ChordShapeList& shapes = bank.Shapes();
    ASSERT_EQ(shapes.Count(), 8);
    const std::vector<std::string> names{"Major", "Major 6", "Major 7", "Major 9",
                                         "Minor", "Minor 6", "Minor 7", "Minor 9"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(shapes.Shape(i)->name, names[static_cast<std::size_t>(i)]);
    EXPECT_EQ(shapes.Shape(0)->notes, (Notes{0, 12, 16, 19, 24}));
    EXPECT_EQ(shapes.Shape(7)->notes, (Notes{0, 3, 12, 14, 19, 22, 24}));
    EXPECT_EQ(shapes.Shape(8), nullptr);
    EXPECT_EQ(shapes.Shape(-1), nullptr);
}

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

TEST_F(ChordResource, ApplyingAShapeGivesTheSelectedSlotExactlyItsNotesOnBase12) {
    bank.Select(3);
    bank.SetBase(3, 20);
    Fill(bank, 3, {1, 2, 33});
    bank.ApplyShape(ShapeIndex(bank.Shapes(), "Minor"));
    EXPECT_EQ(SlotNotes(bank, 3), (Notes{0, 12, 15, 19, 24}));
    EXPECT_EQ(bank.Base(3), 12);
    EXPECT_TRUE(bank.Notes(2).empty()) << "other slots untouched";

    bank.ApplyShape(99);  // no such shape
    bank.ApplyShape(-1);
    EXPECT_EQ(SlotNotes(bank, 3), (Notes{0, 12, 15, 19, 24}));

    // The shape built on middle C: the example of a major chord on note 60.
    bank.Select(0);
    bank.ApplyShape(ShapeIndex(bank.Shapes(), "Major"));
    EXPECT_EQ(Built(bank.BuildOnKey(0, 60)), (Notes{48, 60, 64, 67, 72}));
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

// "CM Trigger": the chords of several held keys merge; shared pitches sound once.
TEST(ChordBuild, ChordsOfSeveralKeysMergeIntoOneList) {
    ChordMemoryBank bank;
    Fill(bank, 0, {12, 16, 19});  // major triad on the key
    Fill(bank, 1, {12, 15, 19});  // minor triad on the key
    NoteList merged(128);
    bank.MergeOnKey(0, 60, 100, merged);  // C E G
    bank.MergeOnKey(1, 64, 50, merged);   // E G B
    ASSERT_EQ(merged.Count(), 4);
    const int expected[] = {60, 64, 67, 71};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(merged.ByPitch(i).note, expected[i]);
    EXPECT_EQ(merged.Find(64)->velocity, 100) << "a merged pitch keeps its first velocity";
    EXPECT_EQ(merged.Find(71)->velocity, 50);

    bank.MergeOnKey(2, 60, 90, merged);   // an empty slot adds nothing
    bank.MergeOnKey(99, 60, 90, merged);
    EXPECT_EQ(merged.Count(), 4);
}

// --- Editing the slots -----------------------------------------------------------

TEST(ChordEditing, InversionsMoveTheOuterNoteByAnOctaveInsideTheFrame) {
    ChordMemoryBank bank;
    bank.Select(2);
    Fill(bank, 2, {12, 16, 19});
    bank.Invert(true);
    EXPECT_EQ(SlotNotes(bank, 2), (Notes{16, 19, 24}));
    bank.Invert(false);
    EXPECT_EQ(SlotNotes(bank, 2), (Notes{12, 16, 19}));
    bank.Invert(false);
    EXPECT_EQ(SlotNotes(bank, 2), (Notes{7, 12, 16}));

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

TEST(ChordEditing, CopyPasteAndClearWorkOnTheSelectedSlot) {
    ChordMemoryBank bank;
    bank.Select(4);
    bank.Paste();  // nothing copied yet
    EXPECT_TRUE(bank.Notes(4).empty());
    EXPECT_EQ(bank.Base(4), 12);

    Fill(bank, 4, {3, 7, 10});
    bank.SetBase(4, 3);
    bank.Copy();
    bank.Select(9);
    Fill(bank, 9, {30});
    bank.Paste();
    EXPECT_EQ(SlotNotes(bank, 9), (Notes{3, 7, 10}));
    EXPECT_EQ(bank.Base(9), 3) << "the base travels with the chord";

    // The clipboard is a copy: editing the source later changes nothing pasted.
    bank.ToggleNote(4, 7, false);
    bank.Select(10);
    bank.Paste();
    EXPECT_EQ(SlotNotes(bank, 10), (Notes{3, 7, 10}));
    EXPECT_EQ(SlotNotes(bank, 4), (Notes{3, 10}));

    bank.Select(9);
    bank.Clear();
    EXPECT_TRUE(bank.Notes(9).empty());
    EXPECT_EQ(SlotNotes(bank, 10), (Notes{3, 7, 10}));

    bank.ClearAll();
    for (int slot = 0; slot < ChordMemoryBank::kSlotCount; ++slot) {
        EXPECT_TRUE(bank.Notes(slot).empty());
        EXPECT_EQ(bank.Base(slot), 12);
    }
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

// --- Plain access for stored banks -------------------------------------------------

TEST(ChordStorage, AccessorsRefuseWhatIsNotASlotOrANote) {
    ChordMemoryBank bank;
    EXPECT_EQ(bank.SlotCount(), 16);
    EXPECT_EQ(bank.Slot(16), nullptr);
    EXPECT_EQ(bank.Slot(-1), nullptr);
    EXPECT_NE(bank.Slot(15), nullptr);
    EXPECT_FALSE(bank.AddNote(16, 12));
    EXPECT_FALSE(bank.AddNote(0, 128));
    EXPECT_FALSE(bank.AddNote(0, -1));
    EXPECT_TRUE(bank.AddNote(0, 127)) << "a stored chord may use the whole MIDI range";
    EXPECT_EQ(bank.Base(-1), 12);
    EXPECT_TRUE(bank.Notes(99).empty());

    bank.SetBase(0, 200);
    EXPECT_EQ(bank.Base(0), 12) << "a bad base keeps the old one";
    bank.SetBase(0, 0);
    EXPECT_EQ(bank.Base(0), 0);
    bank.SetBase(40, 5);  // no slot: nothing

    bank.Select(99);
    EXPECT_EQ(bank.Selected(), 15);
    bank.Select(-5);
    EXPECT_EQ(bank.Selected(), 0);
}

// --- Damaged chord tables -------------------------------------------------------------

TEST(ChordShapeParsing, SkipsWhatIsNotANoteAndKeepsTheRest) {
    ChordShapeList shapes;
    const std::string text =
        "// a comment line\r\n"
        "Sus 4, 0, 12, 17, 19 // trailing note\r\n"
        "\r\n"
        "Garbled, 12, x, 300, -4, 1e3, 0x10, 19, 12, 19\r\n"
        ", 12, 16\r\n"          // no name
        "Only a name\r\n"       // no notes
        "Nothing valid, a, b\r\n"
        "   Spaced   ,  7 ,\t14  \n"
        "Last, 1, 2";           // no line end
    ASSERT_EQ(shapes.Load(text), 4);
    EXPECT_EQ(shapes.Shape(0)->name, "Sus 4");
    EXPECT_EQ(shapes.Shape(0)->notes, (Notes{0, 12, 17, 19}));
    EXPECT_EQ(shapes.Shape(1)->name, "Garbled");
    EXPECT_EQ(shapes.Shape(1)->notes, (Notes{12, 19}));
    EXPECT_EQ(shapes.Shape(2)->name, "Spaced");
    EXPECT_EQ(shapes.Shape(2)->notes, (Notes{7, 14}));
    EXPECT_EQ(shapes.Shape(3)->notes, (Notes{1, 2}));
}

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

TEST(ChordShapeParsing, RandomBytesNeverYieldAnInvalidShape) {
    std::mt19937 random(1234);
    const std::string alphabet = "0123456789,,,\n\r -+/xMajor\t";
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> bytes(random() % 300);
        for (auto& byte : bytes)
            byte = round % 2 ? static_cast<std::uint8_t>(random())
                             : static_cast<std::uint8_t>(alphabet[random() % alphabet.size()]);
        ChordMemoryBank bank(bytes);
        const ChordShapeList& shapes = bank.Shapes();
        ASSERT_LE(shapes.Count(), ChordShapeList::kMaxShapes);
        for (int i = 0; i < shapes.Count(); ++i) {
            const ChordShape& shape = *shapes.Shape(i);
            ASSERT_FALSE(shape.name.empty());
            ASSERT_FALSE(shape.notes.empty());
            ASSERT_LE(shape.notes.size(), static_cast<std::size_t>(ChordSlot::kCapacity));
            ASSERT_TRUE(std::is_sorted(shape.notes.begin(), shape.notes.end()));
            for (int note : shape.notes) ASSERT_TRUE(note >= 0 && note <= 127);
            bank.ApplyShape(i);
            ASSERT_EQ(ToVector(bank.Notes(0)), shape.notes);
        }
    }
}

}  // namespace
}  // namespace sorel
