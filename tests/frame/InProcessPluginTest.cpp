// The plug-in object linked into the test, with nothing attached: MIDI learn
// as the editor starts it (it names the control whose menu was used, the
// menu parameter starts the learn, the next controller binds and moves it),
// and the chunk calls without persistence.
#include <memory>

#include "PluginFixture.h"
#include "InProcessEntry.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

class InProcessPluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<TestHost>(&InProcessEntry);
        ASSERT_TRUE(host->CreateAndOpen(kBlock));
        vardo = static_cast<Vardo*>(IPlugVST::FromEffect(host->Effect()));
        ASSERT_NE(vardo, nullptr);
    }
    void LearnFromMenu(int parameter) {
        vardo->SetMenuTarget(parameter);
        host->SetParameter(kMidiLearnMenu, 0.0f);  // "MIDI learn"
    }
    std::unique_ptr<TestHost> host;
    Vardo* vardo = nullptr;
};

TEST_F(InProcessPluginTest, TheNextControllerBindsAndAlreadyMoves) {
    LearnFromMenu(kGlobalVolume);
    host->Controller(0, 1, 20, 127);
    host->ProcessBlock(kBlock);
    EXPECT_TRUE(host->Sent().empty());  // consumed
    EXPECT_EQ(vardo->Params().Value(kGlobalVolume), 127.0);
    EXPECT_EQ(vardo->Params().Value(kControllerMap + 20), kGlobalVolume);
    host->Controller(0, 1, 20, 0);
    host->ProcessBlock(kBlock);
    EXPECT_EQ(vardo->Params().Value(kGlobalVolume), 0.0);
    // The learnt controller changes what the engine plays.
    host->Controller(0, 1, 20, 127);
    host->transport.playing = true;
    host->NoteOn(0, 1, 36, 50);
    host->ProcessBlocks(30, kBlock);
    const auto ons = NoteOns(host->Sent());
    ASSERT_FALSE(ons.empty());
    EXPECT_EQ(ons[0].data2, 113);  // 50 + (127 - 64)
    // Another controller is still passed on.
    host->ClearSent();
    host->Controller(0, 1, 21, 5);
    host->ProcessBlock(kBlock);
    EXPECT_EQ(Controllers(host->Sent(), 21).size(), 1u);
}

TEST_F(InProcessPluginTest, ThePitchWheelLearnsAsController119) {
    const int swing = kSwing + PatternIndex(0, 0);
    LearnFromMenu(swing);
    host->QueueMidi(0, 0xE0, 0, 127);
    host->ProcessBlock(kBlock);
    EXPECT_EQ(vardo->Params().Value(swing), 1.0);
    EXPECT_EQ(vardo->Params().Value(kControllerMap + 119), swing);
    host->QueueMidi(0, 0xE3, 0, 0);  // any channel
    host->ProcessBlock(kBlock);
    EXPECT_EQ(vardo->Params().Value(swing), 0.0);
    EXPECT_TRUE(host->Sent().empty());
}

TEST_F(InProcessPluginTest, UnlearnFromAnyControlRemovesEveryBinding) {
    LearnFromMenu(kGlobalVolume);
    host->Controller(0, 1, 1, 10);
    host->ProcessBlock(kBlock);
    LearnFromMenu(kSwing);
    host->Controller(0, 1, 2, 10);
    host->ProcessBlock(kBlock);
    vardo->SetMenuTarget(kHold);
    host->SetParameter(kMidiLearnMenu, 1.0f);  // "MIDI unlearn"
    host->ClearSent();
    host->Controller(0, 1, 1, 99);
    host->Controller(1, 1, 2, 99);
    host->ProcessBlock(kBlock);
    EXPECT_EQ(host->Sent().size(), 2u);
}

TEST_F(InProcessPluginTest, TheStepMenuUnlearnsOnlyItsStep) {
    const int step = PerStep(kStepGate, 0, 0, 3);
    vardo->SetMenuTarget(step);
    host->SetParameter(kResetStepsMenu, 0.25f);  // "MIDI learn"
    host->Controller(0, 1, 30, 127);
    host->ProcessBlock(kBlock);
    LearnFromMenu(kGlobalVolume);
    host->Controller(1, 1, 31, 64);
    host->ProcessBlock(kBlock);
    EXPECT_EQ(vardo->Params().Value(step), 100.0);
    vardo->SetMenuTarget(step);
    host->SetParameter(kResetStepsMenu, 0.5f);  // "MIDI unlearn"
    host->ClearSent();
    host->Controller(0, 1, 30, 0);
    host->Controller(0, 1, 31, 0);
    host->ProcessBlock(kBlock);
    ASSERT_EQ(host->Sent().size(), 1u);
    EXPECT_TRUE(host->Sent()[0].IsController(30));
    EXPECT_EQ(vardo->Params().Value(kGlobalVolume), 0.0);
}

}  // namespace
}  // namespace sorel::test
