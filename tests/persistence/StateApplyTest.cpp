// Applying a read state to the plug-in: what a preset leaves alone, what a
// host chunk restores, what is never replayed, and how long the lock is held.
#include <gtest/gtest.h>

#include "persistence/ModelTarget.h"
#include "persistence/StateApplier.h"
#include "persistence/StateWriter.h"

namespace sorel {
namespace {

using test::ModelTarget;

struct Loaded {
    ModelTarget target;
    StateImage image;
};

StateImage ImageOf(const PluginState& state, size_t cut = SIZE_MAX) {
    StateChunk chunk;
    WriteState(chunk, state);
    const StateChunk truncated({chunk.Data(), std::min(cut, chunk.Size())});
    return *ReadState(truncated, 0, test::ModelRanges());
}

PluginState StateFrom(ModelTarget& target) { return CaptureState(target, ""); }

TEST(StateApply, APresetLeavesLockedParametersAndTheControllerMapAlone) {
    ModelTarget source;
    source.values[param::kGate + 4] = 55;
    source.values[param::kStepGate + 100] = -30;
    source.values[param::kControllerMap + 7] = 1234;
    const StateImage image = ImageOf(StateFrom(source));

    ModelTarget player;
    player.keep[param::kGate + 4] = true;
    player.values[param::kGate + 4] = -70;
    player.values[param::kControllerMap + 7] = 17080;
    ApplyState(player, image, LoadSource::PresetFile);
    EXPECT_EQ(player.Value(param::kGate + 4), -70);
    EXPECT_EQ(player.Value(param::kStepGate + 100), -30);
    EXPECT_EQ(player.Value(param::kControllerMap + 7), 17080) << "MIDI learn belongs to the player";

    ApplyState(player, image, LoadSource::HostChunk);
    EXPECT_EQ(player.Value(param::kGate + 4), 55) << "a host chunk restores locked parameters";
    EXPECT_EQ(player.Value(param::kControllerMap + 7), 1234);
}

TEST(StateApply, AShortHostChunkResetsOnlyUnlockedParameters) {
    ModelTarget source;
    source.values[param::kGlobalVolume] = 100;
    PluginState state = StateFrom(source);
    const StateImage image = ImageOf(state, 5);  // nothing but the version word and reserved byte

    ModelTarget player;
    player.values[param::kGate + 1] = 20;
    player.values[param::kGate + 2] = 30;
    player.keep[param::kGate + 2] = true;
    ApplyState(player, image, LoadSource::HostChunk);
    EXPECT_EQ(player.Value(param::kGate + 1), -10);
    EXPECT_EQ(player.Value(param::kGate + 2), 30);
    EXPECT_EQ(player.Value(param::kGlobalVolume), 64);
}

TEST(StateApply, ToolAndMenuActionsAreNeverReplayed) {
    ModelTarget source;
    for (int index : {param::kPasteTool, param::kPanicTool, param::kBoxLeft, param::kBoxRight, param::kMidiLearnMenu,
                      param::kCopyMenu, param::kRandomize, param::kCmClearTool, param::kCcTeach, param::kBoxInfo}) {
        source.values[static_cast<size_t>(index)] = 1;
    }
    source.values[param::kCcTeachSelection] = 12;
    source.values[param::kResize] = 1;
    const StateImage image = ImageOf(StateFrom(source));

    for (LoadSource load : {LoadSource::HostChunk, LoadSource::PresetFile}) {
        ModelTarget player;
        ApplyState(player, image, load);
        for (int index : {param::kPasteTool, param::kPanicTool, param::kBoxLeft, param::kMidiLearnMenu,
                          param::kRandomize, param::kCcTeach, param::kBoxInfo}) {
            EXPECT_EQ(player.AppliedCount(index), 0) << index;
            EXPECT_EQ(player.Value(index), 0.0) << index;
        }
        EXPECT_EQ(player.Value(param::kCcTeachSelection), 0.0);
        EXPECT_EQ(player.AppliedCount(param::kCcTeachSelection), 0) << "refreshing the selection teaches nothing";
        EXPECT_EQ(player.Value(param::kResize), 0.0) << "loading never resizes the editor";
        EXPECT_EQ(player.AppliedCount(param::kGate + 3), 1) << "ordinary parameters reach the engine once";
        EXPECT_EQ(player.AppliedCount(param::kDrawTool), 1);
    }
}

TEST(StateApply, EveryLockHoldStaysShort) {
    ModelTarget source;
    const StateImage image = ImageOf(StateFrom(source));
    ModelTarget player;
    ApplyState(player, image, LoadSource::PresetFile);
    EXPECT_LE(player.mostCallsInOneHold, kParametersStoredPerHold);
    EXPECT_GT(player.mostCallsInOneHold, kParametersStoredPerHold / 2);
    EXPECT_LE(player.mostAppliesInOneHold, kParametersAppliedPerHold) << "engine calls take longer than copies";
    EXPECT_GT(player.mostAppliesInOneHold, kParametersAppliedPerHold / 2);
}

}  // namespace
}  // namespace sorel
