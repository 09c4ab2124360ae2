#include "PianoRoll.h"
#include "host/HostTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace sorel::host::test {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

TEST(PianoRollTest, NamesNotesWithMiddleCAsC4) {
    EXPECT_EQ(PianoRoll::noteName(60), "C4");
    EXPECT_EQ(PianoRoll::noteName(48), "C3");
    EXPECT_EQ(PianoRoll::noteName(61), "C#4");
    EXPECT_EQ(PianoRoll::noteName(0), "C-1");
    EXPECT_EQ(PianoRoll::noteName(127), "G9");
}

TEST(PianoRollTest, DrawsEachNoteOnItsRowAndSixteenths) {
    // 96 ticks per quarter, so a sixteenth is 24 ticks and two columns.
    const MidiSong song = songOf(96, {{0, 0x90, 64, 100}, {24, 0x80, 64, 0},      // E4, first sixteenth
                                      {48, 0x90, 60, 100}, {144, 0x80, 60, 0},    // C4, sixteenths 3 to 6
                                      {384, 0x91, 62, 100}, {408, 0x81, 62, 0}},  // D4 on channel 2, bar 2
                                 408);
    const auto rows = lines(PianoRoll::draw(song, 8));
    ASSERT_EQ(rows.size(), 6u);  // header, E4, D#4, D4, C#4, C4
    EXPECT_EQ(rows[0].rfind("     |bar 1", 0), 0u);
    EXPECT_NE(rows[0].find("|bar 2"), std::string::npos);
    const size_t firstColumn = 6;  // after "E4   |"
    EXPECT_EQ(rows[1].rfind("E4", 0), 0u);
    EXPECT_EQ(rows[1].substr(firstColumn, 3), "#= ");
    EXPECT_EQ(rows[5].rfind("C4", 0), 0u);
    EXPECT_EQ(rows[5].substr(firstColumn, 14), ".   #=======  ");  // "." marks each beat
    EXPECT_EQ(rows[2].rfind("D#4", 0), 0u);
    EXPECT_EQ(rows[2].substr(firstColumn).find('#'), std::string::npos);  // no D#4 was played
    // Bar 2 starts after 32 columns and one more "|".
    EXPECT_EQ(rows[3].substr(firstColumn + 33, 3), "#= ");
}

}  // namespace
}  // namespace sorel::host::test
