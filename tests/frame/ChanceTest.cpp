// The PROB lane and Humanize played through Sorel.so as a host plays it: one
// key held, the arpeggio running at 1/16, the notes counted step by step.
#include <algorithm>
#include <cstdlib>
#include <map>

#include "PluginFixture.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

constexpr int kC2 = 36, kE2 = 40, kG2 = 43;
constexpr int kController = 20;

// A fresh plug-in whose random generator starts from `seed`.
std::unique_ptr<TestHost> SeededHost(unsigned seed) {
    ::setenv("SOREL_RANDOM_SEED", std::to_string(seed).c_str(), 1);
    auto made = std::make_unique<TestHost>();
    EXPECT_TRUE(made->CreateAndOpen(kBlock));
    ::unsetenv("SOREL_RANDOM_SEED");
    return made;
}

class ChanceTest : public PluginTest {
protected:
    void EveryStep(int first, double plain) {
        for (int step = 0; step < kSteps; ++step) Set(PerStep(first, 0, 0, step), plain);
    }
    // Holds `keys` and plays `steps` steps; the note-ons of each step by its number.
    std::map<long, int> PlaySteps(int steps, std::initializer_list<int> keys = {kC2}) {
        for (int key : keys) host->NoteOn(0, 1, key, 100);
        host->ProcessBlocks(int(long(steps) * kSamplesPerStep / kBlock), kBlock);
        std::map<long, int> perStep;
        for (const SentMidi& m : NoteOns(host->Sent())) ++perStep[Absolute(m) / kSamplesPerStep];
        return perStep;
    }
    static int Total(const std::map<long, int>& perStep) {
        int total = 0;
        for (const auto& [step, count] : perStep) total += count;
        return total;
    }
};

TEST_F(ChanceTest, PlaysAsOftenAsTheChanceSays) {
    struct Case {
        double chance;
        int steps, fewest, most;
    };
    for (const Case c : {Case{0, 200, 0, 0}, Case{100, 200, 199, 201}, Case{50, 2000, 900, 1100}}) {
        host = std::make_unique<TestHost>();
        ASSERT_TRUE(host->CreateAndOpen(kBlock));
        EveryStep(kStepProb, c.chance);
        const int played = Total(PlaySteps(c.steps));
        EXPECT_GE(played, c.fewest) << c.chance;
        EXPECT_LE(played, c.most) << c.chance;
    }
}

TEST_F(ChanceTest, TheSwitchedOffStepPlaysAsThoughSure) {
    EveryStep(kStepProb, 0);
    for (int step = 0; step < kSteps; step += 2) Set(PerStep(kProbLaneSwitch, 0, 0, step), 0);
    const auto perStep = PlaySteps(64);
    EXPECT_EQ(Total(perStep), 32);
    for (const auto& [step, count] : perStep) EXPECT_EQ(step % 2, 0) << step;
}

TEST(ChanceSeeds, TheSameSeedPlaysTheSameAndAnotherSeedOtherwise) {
    UseFreshDataFolder();
    const auto render = [](unsigned seed) {
        auto h = SeededHost(seed);
        for (int step = 0; step < kSteps; ++step) h->SetParameterText(PerStep(kStepProb, 0, 0, step), "50");
        h->SetParameterText(kHumanize, "60");
        h->NoteOn(0, 1, kC2, 100);
        h->ProcessBlocks(600, kBlock);
        return NoteOns(h->Sent());
    };
    const auto first = render(11);
    EXPECT_GT(first.size(), 10u);
    EXPECT_EQ(render(11), first);
    EXPECT_NE(render(12), first);
}

// A divided step and a chord step play all their notes or none.
TEST_F(ChanceTest, ADividedOrChordStepDrawsOnce) {
    struct Case {
        const char* what;
        int family;
        double value;
        int notes;
    };
    for (const Case c : {Case{"DIV 4", kStepDiv, 3, 4}, Case{"chord of three", kStepChord, 0b11100000, 3}}) {
        host = std::make_unique<TestHost>();
        ASSERT_TRUE(host->CreateAndOpen(kBlock));
        EveryStep(kStepProb, 50);
        EveryStep(c.family, c.value);
        const auto perStep = PlaySteps(400, {kC2, kE2, kG2});
        EXPECT_GT(perStep.size(), 150u) << c.what;
        EXPECT_LT(perStep.size(), 250u) << c.what;
        for (const auto& [step, count] : perStep) EXPECT_EQ(count, c.notes) << c.what << " step " << step;
    }
}

TEST_F(ChanceTest, ALosingStepStillSendsItsControllers) {
    SetText(kPatternCcSelection, "1");
    SetText(kCcTeachSelection, std::to_string(kController));
    for (int step = 0; step < kSteps; ++step) Set(CcLaneValue(0, 0, kFirstControllerLane, step), step * 4);
    EveryStep(kStepProb, 0);
    PlaySteps(64);
    const auto sent = host->Sent();
    EXPECT_EQ(NoteOns(sent).size(), 0u);
    const auto controllers = Controllers(sent, kController);
    ASSERT_GE(controllers.size(), 63u);
    for (int step = 0; step < 32; ++step) EXPECT_EQ(controllers[step].data2, step * 4) << step;
}

TEST_F(ChanceTest, HumanizeMovesVelocitiesWithinItsReach) {
    struct Case {
        double amount;
        int lowest, highest;
    };
    for (const Case c : {Case{0, 100, 100}, Case{50, 84, 116}, Case{100, 68, 127}}) {
        host = std::make_unique<TestHost>();
        ASSERT_TRUE(host->CreateAndOpen(kBlock));
        Set(kHumanize, c.amount);
        PlaySteps(300);
        std::map<int, int> velocities;
        for (const SentMidi& m : NoteOns(host->Sent())) ++velocities[m.data2];
        ASSERT_FALSE(velocities.empty());
        EXPECT_GE(velocities.begin()->first, c.lowest) << c.amount;
        EXPECT_LE(velocities.rbegin()->first, c.highest) << c.amount;
        // Spread over the reach, not stuck at one value.
        if (c.amount > 0) EXPECT_GT(velocities.size(), 20u) << c.amount;
    }
}

}  // namespace
}  // namespace sorel::test
