// The step length of every rate, read from the note-ons of one held key:
// synchronised rates follow the host's tempo, free rates only the clock.
#include "PluginFixture.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

// A quarter note of 23040 samples (125 beats per minute at 48 kHz) holds a
// whole number of samples of every synchronised rate.
constexpr double kTempo = 125.0;
constexpr int kStepsHeard = 4;

class StepRateTest : public PluginTest {
protected:
    // The distinct gaps between the first note-ons of a key held from the
    // first sample of a playing transport.
    std::vector<long> StepGaps() {
        host->transport.tempo = kTempo;
        host->transport.playing = true;
        host->NoteOn(0, 1, 36, 100);
        while (NoteOns(host->Sent()).size() <= kStepsHeard && host->BlockCount() < 1000) host->ProcessBlock(kBlock);
        const auto times = Times(NoteOns(host->Sent()));
        std::vector<long> gaps;
        for (size_t i = 1; i < std::min<size_t>(times.size(), kStepsHeard + 1); ++i)
            if (std::ranges::find(gaps, times[i] - times[i - 1]) == gaps.end()) gaps.push_back(times[i] - times[i - 1]);
        return gaps;
    }
    void Renew() {
        EXPECT_EQ(host->Faults(), "");
        host = std::make_unique<TestHost>();
        ASSERT_TRUE(host->CreateAndOpen(kBlock));
    }
};

TEST_F(StepRateTest, EverySynchronisedRateStepsItsNoteValueExactly) {
    const struct {
        int rate;
        const char* text;
        long samples;
    } rates[] = {
        {0, "1/1", 92160},   {1, "1/2D", 69120},  {2, "1/1T", 61440},   {3, "1/2", 46080},
        {4, "1/4D", 34560},  {5, "1/2T", 30720},  {6, "1/4", 23040},    {7, "1/8D", 17280},
        {8, "1/4T", 15360},  {9, "1/8", 11520},   {10, "1/16D", 8640},  {11, "1/8T", 7680},
        {12, "1/16", 5760},  {13, "1/32D", 4320}, {14, "1/16T", 3840},  {15, "1/32", 2880},
        {16, "1/64D", 2160}, {17, "1/32T", 1920}, {18, "1/64", 1440},   {19, "1/128D", 1080},
        {20, "1/64T", 960},  {21, "1/128", 720},  {22, "1/256D", 540},
        {23, "1/256D", 540},  // 1/128T lies beyond the parameter's range, which ends at 1/256D
    };
    for (const auto& [rate, text, samples] : rates) {
        SCOPED_TRACE(text);
        Renew();
        Set(kRate, rate);
        EXPECT_EQ(StepGaps(), std::vector<long>{samples});
    }
}

TEST_F(StepRateTest, AFreeRateCountsStepsPerSecondWhateverTheTempo) {
    const struct {
        const char* perSecond;
        long samples;
    } rates[] = {{"1", 48000}, {"2.5", 19200}, {"4", 12000}, {"12.5", 3840}, {"20", 2400}};
    for (const auto& [perSecond, samples] : rates) {
        SCOPED_TRACE(perSecond);
        Renew();
        Set(kRateFreeToggle, 1);
        SetText(kRateFreeMode, perSecond);
        EXPECT_EQ(StepGaps(), std::vector<long>{samples});
    }
}

}  // namespace
}  // namespace sorel::test
