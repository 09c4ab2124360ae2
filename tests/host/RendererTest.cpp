#include "Renderer.h"
#include "host/HostTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace sorel::host::test {
namespace {

// At 120 bpm and 48 kHz a quarter is 24000 samples; with 480 ticks per
// quarter every tick is exactly 50 samples.
constexpr double kRate = 48000.0;
constexpr int kPpqn = 480;
constexpr double kSamplesPerQuarter = 24000.0;

RenderResult renderWithEcho(const MidiSong& song, RenderOptions options) {
    echoLog() = EchoPluginLog{};
    std::string error;
    auto plugin = HostedPlugin::load(echoPluginPath(), error);
    if (!plugin) throw std::runtime_error(error);
    plugin->setSampleRate(options.sampleRate);
    plugin->setMaxBlockSize(options.blockSize);
    Renderer renderer(*plugin, song, options);
    return renderer.run();
}

RenderOptions at(int blockSize) {
    RenderOptions options;
    options.sampleRate = kRate;
    options.blockSize = blockSize;
    return options;
}

MidiSong mixedSong() {
    return songOf(kPpqn, {{0, 0x90, 60, 100}, {100, 0x80, 60, 0}, {1001, 0x91, 64, 90}, {1500, 0xB1, 74, 33},
                          {1900, 0x81, 64, 0}, {1901, 0xE1, 0, 70}},
                  1920);
}

TEST(RendererTest, LoopReturnsToItsStartAndReleasesHeldNotesAtEachJump) {
    // A note held across the loop end; the loop is quarters 0..2, played three times.
    const MidiSong song = songOf(kPpqn, {{0, 0x90, 60, 100}, {3000, 0x80, 60, 0}}, 3840);
    RenderOptions options = at(1000);
    options.loop = LoopRange{0.0, 2.0};
    options.loopPasses = 3;
    const RenderResult result = renderWithEcho(song, options);

    const auto& blocks = echoLog().blocks;
    int starts = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        const VstTimeInfo& t = blocks[i].full;
        if (!(t.flags & kVstTransportPlaying)) break;
        if (t.samplePos == 0.0) ++starts;
        if (t.samplePos < 2 * kSamplesPerQuarter) {
            EXPECT_TRUE(t.flags & kVstTransportCycleActive) << i;
            EXPECT_DOUBLE_EQ(t.cycleStartPos, 0.0);
            EXPECT_DOUBLE_EQ(t.cycleEndPos, 2.0);
            // No block runs across the loop end.
            EXPECT_LE(t.samplePos + blocks[i].frames, 2 * kSamplesPerQuarter) << i;
        }
    }
    EXPECT_EQ(starts, 3);
    // After the last pass the transport runs on past the loop end, no longer cycling.
    const auto runOn = std::find_if(blocks.begin(), blocks.end(),
                                    [](const EchoBlock& b) { return b.full.samplePos >= 2 * kSamplesPerQuarter; });
    ASSERT_NE(runOn, blocks.end());
    EXPECT_FALSE(runOn->full.flags & kVstTransportCycleActive);

    // Output on the rendered time line: a note per pass, each ended before the next.
    std::vector<int64_t> ons;
    std::vector<int64_t> offs;
    for (const MidiEvent& e : result.output.events) (e.isNoteOn() ? ons : offs).push_back(e.tick);
    EXPECT_EQ(ons, (std::vector<int64_t>{0, 960, 1920}));
    EXPECT_EQ(offs, (std::vector<int64_t>{960, 1920, 1920 + 3000}));
    EXPECT_EQ(result.notesIn, 3);
}

TEST(RendererTest, NotesLeftOpenBySongAreEndedWhenTheTransportStops) {
    const MidiSong song = songOf(kPpqn, {{0, 0x90, 60, 100}, {10, 0x92, 62, 100}}, 960);
    const RenderResult result = renderWithEcho(song, at(512));
    int on = 0;
    int off = 0;
    for (const MidiEvent& e : result.output.events) {
        on += e.isNoteOn();
        off += e.isNoteOff();
    }
    EXPECT_EQ(on, 2);
    EXPECT_EQ(off, 2);
    // Ended after the song and its tail bar, on the channels they started on.
    std::set<int> offChannels;
    for (const MidiEvent& e : result.output.events) {
        if (!e.isNoteOff()) continue;
        EXPECT_GE(e.tick, 960 + 4 * kPpqn);
        offChannels.insert(e.channel());
    }
    EXPECT_EQ(offChannels, (std::set<int>{1, 3}));
}

TEST(RendererTest, AtOneInstantNoteOffsReachThePluginBeforeNoteOns) {
    // The file lists the new note before the old one's end.
    const MidiSong song = songOf(kPpqn, {{0, 0x90, 60, 100}, {480, 0x90, 60, 90}, {480, 0x80, 60, 0}, {960, 0x80, 60, 0}}, 960);
    renderWithEcho(song, at(512));
    const auto& inputs = echoLog().inputs;
    ASSERT_GE(inputs.size(), 4u);
    EXPECT_EQ(inputs[1].bytes[0] & 0xF0, 0x80);
    EXPECT_EQ(inputs[2].bytes[0] & 0xF0, 0x90);
    EXPECT_EQ(inputs[1].blockStart + inputs[1].deltaFrames, 24000);
    EXPECT_EQ(inputs[2].blockStart + inputs[2].deltaFrames, 24000);
}

}  // namespace
}  // namespace sorel::host::test
