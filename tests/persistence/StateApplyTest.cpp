// Applying a read state to the plug-in: what a preset leaves alone, what a
// host chunk restores, what is never replayed, and how long the lock is held.
#include <gtest/gtest.h>

#include "persistence/ModelTarget.h"
#include "persistence/StateApplier.h"
#include "persistence/StateWriter.h"

namespace sorel {
namespace {

using test::ModelTarget;

StateImage ImageOf(ModelTarget& source, size_t cut = SIZE_MAX) {
    StateChunk chunk;
    WriteState(chunk, CaptureState(source, ""));
    return *ReadState(StateChunk({chunk.Data(), std::min(cut, chunk.Size())}), 0, test::ModelRanges());
}

// Locked parameters keep their value through presets and through the reset
// of a short chunk; the MIDI-learn map belongs to the player, not to presets.
// Tool and menu actions are never replayed, nor is the editor resized.
TEST(StateApply, WhatEachSourceRestoresAndWhatIsNeverReplayed) {
    constexpr int kLocked = param::kGate + 4, kFree = param::kGate + 1, kMapped = param::kControllerMap + 7;
    const int actions[] = {param::kPasteTool, param::kPanicTool,  param::kBoxLeft, param::kMidiLearnMenu, param::kResize,
                           param::kRandomize, param::kCmClearTool, param::kCcTeach, param::kBoxInfo};
    ModelTarget source;
    for (int index : actions) source.values[static_cast<size_t>(index)] = 1;
    source.values[param::kCcTeachSelection] = 12;
    source.values[kLocked] = 55;
    source.values[kFree] = -30;
    source.values[kMapped] = 1234;
    const struct {
        LoadSource load;
        size_t cut;  // of the state: 5 holds nothing but the version word and reserved byte
        double locked, free, mapped;
    } rows[] = {
        {LoadSource::PresetFile, SIZE_MAX, -70, -30, 17080},
        {LoadSource::HostChunk, SIZE_MAX, 55, -30, 1234},
        {LoadSource::PresetFile, 5, -70, -10, 17080},
        {LoadSource::HostChunk, 5, -70, -10, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(row.load) << " " << row.cut);
        ModelTarget player;
        player.keep[kLocked] = true;
        player.values[kLocked] = -70;
        player.values[kFree] = 20;
        player.values[kMapped] = 17080;
        ApplyState(player, ImageOf(source, row.cut), row.load);
        EXPECT_EQ(std::tie(player.values[kLocked], player.values[kFree], player.values[kMapped]),
                  std::tie(row.locked, row.free, row.mapped));
        for (int index : actions) {
            EXPECT_EQ(player.applied[static_cast<size_t>(index)], 0) << index;
            EXPECT_EQ(player.values[static_cast<size_t>(index)], 0.0) << index;
        }
        EXPECT_EQ(player.values[param::kCcTeachSelection], 0.0);
        EXPECT_EQ(player.applied[param::kCcTeachSelection], 0) << "refreshing the selection teaches nothing";
        EXPECT_EQ(player.applied[param::kGate + 3], 1) << "ordinary parameters reach the engine once";
        EXPECT_EQ(player.applied[param::kDrawTool], 1);
    }
}

TEST(StateApply, EveryLockHoldStaysShort) {
    ModelTarget source;
    const StateImage image = ImageOf(source);
    ModelTarget player;
    ApplyState(player, image, LoadSource::PresetFile);
    EXPECT_LE(player.mostCallsInOneHold, kParametersStoredPerHold);
    EXPECT_GT(player.mostCallsInOneHold, kParametersStoredPerHold / 2);
    EXPECT_LE(player.mostAppliesInOneHold, kParametersAppliedPerHold) << "engine calls take longer than copies";
    EXPECT_GT(player.mostAppliesInOneHold, kParametersAppliedPerHold / 2);
}

}  // namespace
}  // namespace sorel
