// The named chord shapes offered by "Chord memory apply chord selection",
// read from the chord table resource.
//
// Resource format: plain text, one shape per line (LF or CR LF). A line is
// "Name, n1, n2, ..." with the notes as decimal numbers in the slot frame
// (base 12, so 12 is the played key and 0 an octave below it). Everything from
// "//" to the end of a line is a comment; blank lines are skipped. Fields that
// are not whole numbers or not MIDI notes are skipped; a line left without a
// name or without notes is skipped.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorel {

struct ChordShape {
    std::string name;
    std::vector<int> notes;  // distinct, ascending, 0..127
};

class ChordShapeList {
public:
    static constexpr int kMaxShapes = 128;
    static constexpr std::size_t kMaxNameLength = 64;
    static constexpr int kMaxNotesPerShape = 8;  // a slot holds no more

    // Replaces the list; returns the number of shapes read.
    int Load(std::string_view text);
    int Load(std::span<const std::uint8_t> bytes);

    int Count() const { return static_cast<int>(shapes_.size()); }
    const ChordShape* Shape(int index) const;  // nullptr out of range

private:
    std::vector<ChordShape> shapes_;
};

}  // namespace sorel
