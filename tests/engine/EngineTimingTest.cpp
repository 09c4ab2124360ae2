// When notes go out: step lengths from the rate table, the host grid, and the
// same stream at the same samples whatever the block size.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/EngineHarness.h"

namespace sorel::test {
namespace {

// Steps last the rate's length at any tempo and sample rate; fractional
// lengths alternate so that step k starts at ceil(k * length) after the
// first, never drifting.
TEST(EngineTiming, RatesGiveTheirExactStepLengths) {
    const struct {
        int rate;
        double sampleRate, bpm, length;
        int steps;
    } cases[] = {{12, 48000, 120, 6000, 10},   {14, 48000, 120, 4000, 5},        {7, 48000, 120, 18000, 5},
                 {8, 48000, 120, 16000, 5},    {0, 48000, 120, 96000, 5},        {22, 48000, 120, 562.5, 400},
                 {23, 44100, 133, 44100.0 * 60.0 / 133.0 / 48.0, 400}};
    constexpr std::int64_t kKey = 777;  // the engine's own clock starts at the first key
    for (const auto& c : cases) {
        EngineHarness h(c.sampleRate, c.bpm);
        h.Param(kRate, c.rate);
        h.NoteOn(1, kC3, 100, kKey);
        h.RunUntil(kKey + static_cast<std::int64_t>(c.length * c.steps) + 10);
        const auto times = Column(h.NoteOns(), &MidiOut::time);
        ASSERT_GE(times.size(), static_cast<std::size_t>(c.steps)) << c.rate;
        for (int k = 0; k < c.steps; ++k)
            ASSERT_EQ(times[k], kKey + static_cast<std::int64_t>(std::ceil(k * c.length - 1e-9))) << c.rate << " step " << k;
        if (c.rate == 12) {  // the engine tells the frame where its clock stands
            EXPECT_NEAR(h.Transport().ppqPosition, (h.Now() - 512 - kKey) / 24000.0, 0.05);
        }
    }
}

// Each case sets up the host and holds a key from `keyAt`; the first
// note-ons come at `expected`, and once the key is up and the transport
// stops nothing sounds.
TEST(EngineTiming, StepsFollowTheHostGridItsTempoAndItsLoops) {
    using Setup = std::function<void(EngineHarness&)>;
    const Setup freeRate = [](EngineHarness& h) { h.Apply({{kRateFreeToggle, 1}, {kRateFreeMode, 4.0}}); };  // 12000
    const struct {
        const char* what;
        int block;
        std::int64_t keyAt;
        Setup setup;
        std::int64_t until;
        std::vector<std::int64_t> expected;
    } cases[] = {
        {"a key waits for the next grid line", 512, 5376, [](EngineHarness& h) { h.Play(0); }, 30000,
         {6000, 12000, 18000, 24000}},
        {"start notes immediately", 512, 5376, [](EngineHarness& h) { h.Param(kStartNotesImmediately, 1), h.Play(0); },
         20000, {5376}},
        {"a tempo change keeps the step that was due", 8000, 0,
         [](EngineHarness& h) { h.At(24000, [&h] { h.SetTempo(60.0); }); }, 72001,
         {0, 6000, 12000, 18000, 24000, 36000, 48000}},
        {"a running arpeggio locks onto the host grid when the song starts", 1024, 1000,
         [](EngineHarness& h) { h.At(30720, [&h] { h.Play(0); }); }, 48000,
         {1000, 7000, 13000, 19000, 25000, 30720, 36720, 42720}},
        {"a host loop keeps the beat", 1000, 0, [](EngineHarness& h) { h.Play(0), h.SetLoop(0, 48000); }, 48000 * 3,
         {0,     6000,  12000, 18000, 24000, 30000, 36000,  42000,  48000,  54000,  60000,  66000,
          72000, 78000, 84000, 90000, 96000, 102000, 108000, 114000, 120000, 126000, 132000, 138000}},
        {"a free rate counts steps a second at 90 bpm", 512, 0, [&](EngineHarness& h) { h.SetTempo(90), freeRate(h); },
         59990, {0, 12000, 24000, 36000, 48000}},
        {"a free rate counts steps a second at 171 bpm", 512, 0, [&](EngineHarness& h) { h.SetTempo(171), freeRate(h); },
         59990, {0, 12000, 24000, 36000, 48000}},
    };
    for (const auto& c : cases) {
        EngineHarness h;
        h.SetBlockSizes({c.block});
        c.setup(h);
        h.NoteOn(1, kC3, 100, c.keyAt);
        h.RunUntil(c.until);
        auto times = Column(h.NoteOns(), &MidiOut::time);
        times.resize(std::min(times.size(), c.expected.size()));
        EXPECT_EQ(times, c.expected) << c.what;
        h.NoteOff(1, kC3, h.Now());
        h.StopTransport();
        h.Run(48000);
        EXPECT_TRUE(h.Silent()) << c.what;
    }
}

// A busy scene: swing, shift, DIV, gate and keys at awkward offsets, at a
// tempo where nothing divides evenly.
std::vector<MidiOut> BusyStream(std::vector<int> blockSizes, bool playing) {
    EngineHarness h(44100.0, 127.3);
    h.SetBlockSizes(std::move(blockSizes));
    h.Apply({{kRate, 13}, {kSwing, 0.37}, {kSortOrder, 6}, {kOctaves, 2}, {PerStep(kStepDiv, 0, 0, 1), 2},
             {PerStep(kStepShift, 0, 0, 2), -33.0}, {PerStep(kStepShift, 0, 0, 5), 12.0},
             {PerStep(kStepGate, 0, 0, 3), 80.0}, {PerStep(kStepLength, 0, 0, 4), 3.0},
             {PerStep(kStepChord, 0, 0, 6), 160.0}, {PerStep(kStepAccent, 0, 0, 7), -40.0}});
    if (playing) h.Play(12345);
    const std::array<int, 4> keys[] = {{kE3, 90, 1013, 70001}, {kC3, 70, 1013, 120017}, {kG3, 110, 4099, 150000},
                                       {57, 64, 80003, 160001}};  // note, velocity, on, off
    for (auto [note, velocity, on, off] : keys) h.NoteOn(1, note, velocity, on), h.NoteOff(1, note, off);
    h.Run(180000);
    return h.Out();
}

TEST(EngineTiming, SameStreamAtTheSameSamplesWhateverTheBlockSize) {
    for (bool playing : {false, true}) {
        const auto reference = BusyStream({512}, playing);
        ASSERT_GT(reference.size(), 60u);
        for (auto sizes : std::vector<std::vector<int>>{{16}, {64}, {4096}, {1}, {17}, {333}, {4095, 3, 1000, 7}}) {
            const auto stream = BusyStream(sizes, playing);
            ASSERT_EQ(stream.size(), reference.size()) << "first block size " << sizes[0] << " playing " << playing;
            for (std::size_t i = 0; i < stream.size(); ++i)
                ASSERT_EQ(stream[i], reference[i]) << "event " << i << " block size " << sizes[0] << " playing "
                                                   << playing << ": time " << stream[i].time << " vs " << reference[i].time;
        }
    }
}

// Without a usable tempo the engine plays nothing; at one sample per beat
// every step still takes at least a sample, so the block finishes.
TEST(EngineTiming, NoEngineWorkWithoutAUsableTempo) {
    for (double spb : {0.0, std::nan(""), -5.0, 0.5, 1.0}) {
        EngineHarness h;
        h.ForceSamplesPerBeat(spb);
        h.Param(kRate, 22);
        h.Chord(1, {kC3}, 10, 3000);
        h.Run(6000);
        EXPECT_LE(h.NoteOns().size(), spb == 1.0 ? 3000u : 0u) << spb;
        EXPECT_TRUE(h.Silent()) << spb;
    }
}

// A host that loses its tempo for a block and comes back far ahead must not
// make the arpeggio play every step it missed: that would stall the audio
// thread for seconds and spray notes.
TEST(EngineTiming, FarJumpAfterABlockWithoutTempoResumesOnTheHostGrid) {
    EngineHarness h;
    h.SetBlockSizes({480});
    h.Play(0);
    h.Chord(1, {kC3, kE3}, 0, 48000 + 480 + 48000);  // up after the second below
    h.Run(48000);
    ASSERT_GT(h.NoteOns().size(), 6u);
    h.ForceSamplesPerBeat(0.0);
    h.Run(480);
    h.ForceSamplesPerBeat(24000.0);
    h.Play(24000LL * 4000000);  // four million quarter notes on
    h.Out().clear();
    h.Run(480 * 100);  // one second
    // One second of 1/16 steps is eight notes; a replay of the missed steps is millions.
    EXPECT_LE(h.NoteOns().size(), 10u);
    EXPECT_GE(h.NoteOns().size(), 6u);
    h.StopTransport();
    h.Run(48000);
    EXPECT_TRUE(h.Silent());
}

}  // namespace
}  // namespace sorel::test
