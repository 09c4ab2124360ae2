// When notes go out: step lengths from the rate table, the host grid, and the
// same stream at the same samples whatever the block size.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/EngineHarness.h"
#include "engine/ParameterIndex.h"
#include "engine/Pattern.h"

namespace sorel::test {
namespace {

using namespace param;

constexpr int kC3 = 48, kE3 = 52, kG3 = 55;  // inside key area 1's default range 36..59

std::vector<std::int64_t> Differences(const std::vector<std::int64_t>& times) {
    std::vector<std::int64_t> d;
    for (std::size_t i = 1; i < times.size(); ++i) d.push_back(times[i] - times[i - 1]);
    return d;
}

// One held note on a stopped transport: the arpeggio starts at the key and
// repeats at the rate's length.
std::vector<std::int64_t> StepTimes(int rate, int steps) {
    EngineHarness h;
    h.Param(kRate, rate);
    h.NoteOn(1, kC3, 100, 1000);
    const double len = Pattern::RateBeats(rate) * h.SamplesPerBeat();
    h.RunUntil(1000 + static_cast<std::int64_t>(len * steps) + 10);
    return h.Times(h.NoteOns());
}

TEST(EngineTiming, RatesGiveTheirExactStepLengthsAt120Bpm48k) {
    // 1/16: a step every 6000 samples.
    auto t = StepTimes(12, 8);
    ASSERT_GE(t.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(t[i], 1000 + static_cast<std::int64_t>(i) * 6000) << i;

    // 1/16T: 4000; 1/8D: 18000; 1/4T: 16000; 1/1: 96000.
    for (auto [rate, length] : {std::pair{14, 4000}, std::pair{7, 18000}, std::pair{8, 16000}, std::pair{0, 96000}}) {
        auto d = Differences(StepTimes(rate, 5));
        ASSERT_GE(d.size(), 4u) << rate;
        for (auto x : d) EXPECT_EQ(x, length) << "rate " << rate;
    }
}

TEST(EngineTiming, FractionalStepLengthsStayOnTheirExactGridWithoutDrift) {
    // 1/256D is 562.5 samples: steps alternate 563/562 and step k starts at
    // ceil(k * 562.5) after the first, never drifting.
    auto t = StepTimes(22, 400);
    ASSERT_GE(t.size(), 400u);
    for (std::size_t k = 0; k < 400; ++k)
        EXPECT_EQ(t[k], 1000 + static_cast<std::int64_t>(std::ceil(k * 562.5))) << k;
    // 1/128T at 44.1 kHz and 133 bpm: 1/48 quarter note = 414.47... samples.
    EngineHarness h(44100.0, 133.0);
    h.Param(kRate, 23);
    h.NoteOn(1, kC3, 100, 0);
    h.Run(44100 * 4);
    auto times = h.Times(h.NoteOns());
    const double len = 44100.0 * 60.0 / 133.0 / 48.0;
    ASSERT_GT(times.size(), 400u);
    for (std::size_t k = 0; k < times.size(); ++k)
        EXPECT_NEAR(static_cast<double>(times[k]), k * len, 1.0) << k;
}

TEST(EngineTiming, PlayingTransportStartsOnTheNextGridLine) {
    EngineHarness h;
    h.Play(0);
    // A key at 0.224 quarter notes (5376 samples): the first 1/16 step is at 0.25 (6000).
    h.NoteOn(1, kC3, 100, 5376);
    h.Run(30000);
    auto t = h.Times(h.NoteOns());
    ASSERT_GE(t.size(), 4u);
    EXPECT_EQ(t[0], 6000);
    EXPECT_EQ(t[1], 12000);
    EXPECT_EQ(t[3], 24000);

    // "Start notes immediately" plays at the key.
    EngineHarness now;
    now.Param(kStartNotesImmediately, 1);
    now.Play(0);
    now.NoteOn(1, kC3, 100, 5376);
    now.Run(20000);
    ASSERT_FALSE(now.NoteOns().empty());
    EXPECT_EQ(now.NoteOns()[0].time, 5376);
}

TEST(EngineTiming, StoppedTransportRunsTheEnginesOwnClockFromTheFirstKey) {
    EngineHarness h;
    h.NoteOn(1, kC3, 100, 777);
    h.Run(777 + 6000 * 10);
    auto t = h.Times(h.NoteOns());
    ASSERT_EQ(t.size(), 10u);
    for (std::size_t i = 0; i < t.size(); ++i) EXPECT_EQ(t[i], 777 + 6000 * static_cast<std::int64_t>(i));
    // The engine tells the frame where its clock stands.
    EXPECT_NEAR(h.Transport().ppqPosition, (h.Now() - 512 - 777) / 24000.0, 0.05);
}

// A busy scene: swing, shift, DIV, gate and a key at an awkward offset, at a
// tempo where nothing divides evenly.
std::vector<MidiOut> BusyStream(std::vector<int> blockSizes, bool playing) {
    EngineHarness h(44100.0, 127.3);
    h.SetBlockSizes(std::move(blockSizes));
    h.Param(kRate, 13);                       // 1/32D
    h.Param(kSwing, 0.37);
    h.Param(kSortOrder, 6);                   // as played, alt
    h.Param(kOctaves, 2);
    h.Param(PerStep(kStepDiv, 0, 0, 1), 2);   // three parts
    h.Param(PerStep(kStepShift, 0, 0, 2), -33.0);
    h.Param(PerStep(kStepShift, 0, 0, 5), 12.0);
    h.Param(PerStep(kStepGate, 0, 0, 3), 80.0);
    h.Param(PerStep(kStepLength, 0, 0, 4), 3.0);
    h.Param(PerStep(kStepChord, 0, 0, 6), 160.0);
    h.Param(PerStep(kStepAccent, 0, 0, 7), -40.0);
    if (playing) h.Play(12345);
    h.NoteOn(1, kE3, 90, 1013);
    h.NoteOn(1, kC3, 70, 1013);
    h.NoteOn(1, kG3, 110, 4099);
    h.NoteOff(1, kE3, 70001);
    h.NoteOn(1, 57, 64, 80003);
    h.NoteOff(1, kC3, 120017);
    h.NoteOff(1, kG3, 150000);
    h.NoteOff(1, 57, 160001);
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
            for (std::size_t i = 0; i < stream.size(); ++i) {
                ASSERT_EQ(stream[i], reference[i])
                    << "event " << i << " block size " << sizes[0] << " playing " << playing << ": time "
                    << stream[i].time << " vs " << reference[i].time;
            }
        }
    }
}

TEST(EngineTiming, TempoChangeBendsTheClockWithoutLosingTheBeat) {
    EngineHarness h;
    h.NoteOn(1, kC3, 100, 0);
    h.At(24000, [&] { h.SetTempo(60.0); });  // spb 48000 from the block at 24000 on
    h.SetBlockSizes({8000});
    h.Run(24000 + 12000 * 4 + 1);
    auto t = h.Times(h.NoteOns());
    ASSERT_GE(t.size(), 8u);
    EXPECT_EQ(t[3], 18000);
    EXPECT_EQ(t[4], 24000);  // the step that was due keeps its place
    EXPECT_EQ(t[5], 36000);  // then the new tempo's sixteenths
    EXPECT_EQ(t[6], 48000);
}

TEST(EngineTiming, NoEngineWorkWithoutAUsableTempo) {
    for (double spb : {0.0, std::nan(""), -5.0, 0.5}) {
        EngineHarness h;
        h.ForceSamplesPerBeat(spb);
        h.NoteOn(1, kC3, 100, 10);
        h.NoteOff(1, kC3, 3000);
        h.Run(10000);
        EXPECT_TRUE(h.NoteOns().empty()) << spb;
        EXPECT_TRUE(h.Checker().Sounding().empty()) << spb;
    }
    // One sample per beat: 1/256D steps are far shorter than a sample, yet every
    // step takes at least a sample, so the block finishes.
    EngineHarness tiny;
    tiny.ForceSamplesPerBeat(1.0);
    tiny.Param(kRate, 22);
    tiny.NoteOn(1, kC3, 100, 0);
    tiny.NoteOff(1, kC3, 2000);
    tiny.Run(4000);
    EXPECT_LE(tiny.NoteOns().size(), 2000u);
    EXPECT_TRUE(tiny.Checker().Sounding().empty());
}

// A host that loses its tempo for a block and comes back far ahead must not
// make the arpeggio play every step it missed: that would stall the audio
// thread for seconds and spray notes.
TEST(EngineTiming, FarJumpAfterABlockWithoutTempoResumesOnTheHostGrid) {
    EngineHarness h;
    h.SetBlockSizes({480});
    h.Play(0);
    h.NoteOn(1, kC3, 100, 0);
    h.NoteOn(1, kE3, 100, 0);
    h.Run(48000);
    ASSERT_GT(h.NoteOns().size(), 6u);
    h.ForceSamplesPerBeat(0.0);
    h.Run(480);
    h.ForceSamplesPerBeat(24000.0);
    const std::int64_t farAhead = 24000LL * 4000000;  // four million quarter notes on
    h.Play(farAhead);
    h.ClearOut();
    h.Run(480 * 100);  // one second
    const auto ons = h.NoteOns();
    // One second of 1/16 steps is eight notes; a replay of the missed steps is millions.
    EXPECT_LE(ons.size(), 10u);
    EXPECT_GE(ons.size(), 6u);
    h.NoteOff(1, kC3, h.Now());
    h.NoteOff(1, kE3, h.Now());
    h.StopTransport();
    h.Run(48000);
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

TEST(EngineTiming, FreeRateCountsStepsPerSecondWhateverTheTempo) {
    for (double bpm : {90.0, 171.0}) {
        EngineHarness h(48000.0, bpm);
        h.Param(kRateFreeToggle, 1);
        h.Param(kRateFreeMode, 4.0);  // four steps a second: 12000 samples
        h.NoteOn(1, kC3, 100, 0);
        h.Run(12000 * 5 - 10);
        EXPECT_EQ(h.Times(h.NoteOns()), (std::vector<std::int64_t>{0, 12000, 24000, 36000, 48000})) << bpm;
    }
}

TEST(EngineTiming, HostLoopJumpKeepsTheArpeggioOnItsBeat) {
    EngineHarness h;
    h.SetBlockSizes({1000});
    h.Play(0);
    h.SetLoop(0, 48000);  // two beats; the host jumps back every 48000 samples
    h.NoteOn(1, kC3, 100, 0);
    h.NoteOn(1, kE3, 100, 0);
    h.Run(48000 * 3);
    auto t = h.Times(h.NoteOns());
    ASSERT_EQ(t.size(), 24u);
    for (std::size_t i = 0; i < t.size(); ++i) EXPECT_EQ(t[i], 6000 * static_cast<std::int64_t>(i)) << i;
    h.NoteOff(1, kC3, h.Now());
    h.NoteOff(1, kE3, h.Now());
    h.Run(6000);
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

TEST(EngineTiming, ArpeggioRunningWhenTheHostStartsLocksOntoTheHostGrid) {
    EngineHarness h;
    h.SetBlockSizes({1024});
    h.NoteOn(1, kC3, 100, 1000);
    h.At(30720, [&] { h.Play(0); });  // the song starts at this block, on a grid line
    h.Run(48000);
    EXPECT_EQ(h.Times(h.NoteOns()), (std::vector<std::int64_t>{1000, 7000, 13000, 19000, 25000, 30720, 36720, 42720}));
    h.NoteOff(1, kC3, h.Now());
    h.Run(1000);
    EXPECT_TRUE(h.Checker().Sounding().empty());
}

}  // namespace
}  // namespace sorel::test
