#include "TempoMap.h"
#include "host/HostTestSupport.h"

#include <gtest/gtest.h>

namespace sorel::host::test {
namespace {

// 480 ticks per quarter; 120 bpm, from quarter 2 on 60 bpm; 3/4 from the start,
// 4/4 from quarter 6.
MidiSong changingSong() {
    MidiSong song = songOf(480, {}, 480 * 10);
    song.tempos = {{0, 500000}, {960, 1000000}};
    song.signatures = {{0, 3, 4}, {2880, 4, 4}};
    return song;
}

TEST(TempoMapTest, PositionsFollowTempoChanges) {
    const TempoMap map(changingSong(), 48000.0);
    // Two quarters at 0.5 s, then one second per quarter.
    EXPECT_DOUBLE_EQ(map.quartersToSamples(1.0), 24000.0);
    EXPECT_DOUBLE_EQ(map.quartersToSamples(2.0), 48000.0);
    EXPECT_DOUBLE_EQ(map.quartersToSamples(3.5), 48000.0 + 1.5 * 48000.0);
    EXPECT_DOUBLE_EQ(map.samplesToQuarters(24000.0), 1.0);
    EXPECT_DOUBLE_EQ(map.samplesToQuarters(120000.0), 3.5);
    EXPECT_EQ(map.samplesToTicks(120000.0), 1680);
    EXPECT_DOUBLE_EQ(map.ticksToSamples(1680), 120000.0);
    EXPECT_DOUBLE_EQ(map.tempoAtQuarters(1.9), 120.0);
    EXPECT_DOUBLE_EQ(map.tempoAtQuarters(2.0), 60.0);
}

TEST(TempoMapTest, BarsFollowTimeSignatures) {
    const TempoMap map(changingSong(), 44100.0);
    EXPECT_DOUBLE_EQ(map.barStartAt(0.5), 0.0);
    EXPECT_DOUBLE_EQ(map.barStartAt(3.0), 3.0);  // second 3/4 bar
    EXPECT_DOUBLE_EQ(map.barStartAt(5.99), 3.0);
    EXPECT_DOUBLE_EQ(map.barStartAt(6.0), 6.0);  // 4/4 from here
    EXPECT_DOUBLE_EQ(map.barStartAt(11.0), 10.0);
    EXPECT_DOUBLE_EQ(map.barLengthAt(1.0), 3.0);
    EXPECT_DOUBLE_EQ(map.barLengthAt(7.0), 4.0);
}

TEST(TempoMapTest, FixedTempoReplacesTheSongsTempoMap) {
    const TempoMap map(changingSong(), 48000.0, 90.0);
    EXPECT_DOUBLE_EQ(map.quartersToSamples(3.0), 3.0 * 48000.0 * 60.0 / 90.0);
    EXPECT_DOUBLE_EQ(map.tempoAtQuarters(5.0), 90.0);
    const auto changes = map.tempoChanges();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].microsPerQuarter, 666667);
}

TEST(TempoMapTest, SongWithoutTempoPlaysAt120) {
    const TempoMap map(songOf(96, {}, 96), 48000.0);
    EXPECT_DOUBLE_EQ(map.quartersToSamples(1.0), 24000.0);
    EXPECT_DOUBLE_EQ(map.barStartAt(5.0), 4.0);
}

}  // namespace
}  // namespace sorel::host::test
