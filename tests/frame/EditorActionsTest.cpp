// The tool and menu buttons that change the engine, pressed the way a host
// or a learnt controller presses them: through setParameter, with no editor
// attached; MIDI learn started from a control's menu. What changed is read
// back as parameter values and MIDI out.
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <set>
#include <tuple>

#include "support/LinkedPlugin.h"
#include "PluginFixture.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

// (index, normalised value); a button set to 1 is pressed and released.
using Setting = std::pair<int, float>;

class EditorActionsTest : public PluginTest {
protected:
    void SetUp() override { Open(); }
    void Open() {
        host = std::make_unique<TestHost>(&InProcessEntry);
        ASSERT_TRUE(host->CreateAndOpen(kBlock));
        vardo = static_cast<Vardo*>(CoreOf(host->Effect()));
    }
    void Apply(const std::vector<Setting>& settings) {
        for (const auto& [index, value] : settings) {
            host->SetParameter(index, value);
            if (index >= kRandomize && index <= kCmInvLeft && value == 1.0f) host->SetParameter(index, 0.0f);
        }
        vardo->Actions().WaitUntilIdle();
    }
    double Value(int index) const { return vardo->Params().Value(index); }
    std::vector<double> Values(int count, const std::function<int(int)>& index) const {
        std::vector<double> values(size_t(count), 0.0);
        for (int i = 0; i < count; ++i) values[size_t(i)] = Value(index(i));
        return values;
    }
    std::vector<double> Lane(int area, int pattern, int lane) const {
        return Values(kSteps, [&](int step) { return StepValue(area, pattern, lane, step); });
    }
    std::vector<double> Pattern(int area, int pattern) const {
        return Values(PatternImage::kValueCount, [&](int i) { return PatternImage::ParameterIndex(area, pattern, i); });
    }
    PatternStepper& Stepper(int area) { return vardo->App().Area(area)->Stepper(); }
    // The note-ons played while `keys` are held for `blocks` blocks.
    std::vector<SentMidi> Hold(std::initializer_list<int> keys, int blocks = 100) {
        host->transport.playing = true;
        for (int key : keys) host->NoteOn(0, 1, key, 100);
        host->ProcessBlocks(blocks, kBlock);
        return NoteOns(host->Sent());
    }
    void FillLane(int area, int pattern, int lane) {
        for (int step = 0; step < kSteps; ++step)
            host->SetParameter(StepValue(area, pattern, lane, step), float(step % 7 + 1) / 8.0f);
    }

    Vardo* vardo = nullptr;
};

constexpr float kSlot2 = 1.0f / 15.0f;      // "Chord memory selection" of slot 2
constexpr float kLengthLane = 2.0f / 8.0f;  // "Pattern Step mode" LENGTH
constexpr float kPattern4 = 3.0f / 11.0f;   // "Key Area Patterns"
constexpr float kMenuPaste = 0.5f, kMenuPasteToAll = 1.0f;  // "Copy", "Paste", "Paste to all"
constexpr float kAreaMenuPaste = 0.25f, kAreaMenuPasteToAll = 0.5f;

TEST_F(EditorActionsTest, ChordMemoryButtonsChangeTheChordsATriggerPlays) {
    // Key area 1 in "CM Trigger": its lowest key 36 plays slot 1, key 37 slot 2, built on the key.
    const Setting major{kChordMemoryApplyChordSelection, 0.0f}, apply{kCmApply, 1.0f};
    // (what, buttons pressed, key played, pitches heard)
    const std::tuple<const char*, std::vector<Setting>, int, std::set<int>> cases[] = {
        {"empty slot", {}, 36, {}},
        {"apply", {major, apply}, 36, {24, 36, 40, 43, 48}},
        {"invert up", {major, apply, {kCmInvRight, 1.0f}}, 36, {36, 40, 43, 48}},
        {"invert down", {major, apply, {kCmInvLeft, 1.0f}}, 36, {24, 36, 40, 43}},
        {"clear", {major, apply, {kCmClearTool, 1.0f}}, 36, {}},
        {"copy, paste", {major, apply, {kCmCopyTool, 1.0f}, {kChordMemorySelection, kSlot2}, {kCmPasteTool, 1.0f}},
         37, {25, 37, 41, 44, 49}},
        {"apply to another slot", {{kChordMemorySelection, kSlot2}, major, apply}, 36, {}},
    };
    for (const auto& [what, settings, key, expected] : cases) {
        Open();
        host->SetParameter(kCmTrigger, 1.0f);
        Apply(settings);
        std::set<int> pitches;
        for (const SentMidi& m : Hold({key})) pitches.insert(m.data1);
        EXPECT_EQ(pitches, expected) << what;
    }
}

// A button acts once per press: not again while held, nor when open
// re-applies every value.
TEST_F(EditorActionsTest, LaneToolsEditTheShownLaneOfTheShownPatternOncePerPress) {
    Apply({{kPatternStepMode, kLengthLane}});
    FillLane(0, 0, 2);
    const std::vector<double> filled = Lane(0, 0, 2), lowest(kSteps, 1.0);  // LENGTH's lowest value
    Apply({{kCopyTool, 1.0f}, {kKeyAreaPatterns, kPattern4}, {kPasteTool, 1.0f}});
    EXPECT_EQ(Lane(0, 3, 2), filled);
    host->SetParameter(kClearTool, 1.0f);
    EXPECT_EQ(Lane(0, 3, 2), lowest);
    EXPECT_EQ(Lane(0, 0, 2), filled);
    host->SetParameter(StepValue(0, 3, 2, 0), 0.5f);
    host->SetParameter(kClearTool, 1.0f);
    host->Dispatch(effOpen);
    EXPECT_EQ(Value(StepValue(0, 3, 2, 0)), 5.0);  // 1 + 7 * 0.5, rounded half up
    Apply({{kClearTool, 0.0f}, {kClearTool, 1.0f}});
    EXPECT_EQ(Lane(0, 3, 2), lowest);
    Apply({{kRandomize, 1.0f}});
    const std::vector<double> random = Lane(0, 3, 2);
    EXPECT_NE(random, lowest);
    for (double v : random) EXPECT_TRUE(v == std::trunc(v) && v >= 1.0 && v <= 8.0) << v;
}

// The paste thread starts with the first paste: an instance that never pastes runs none.
TEST_F(EditorActionsTest, PatternAndKeyAreaMenusCopyEveryStepAndLoop) {
    const auto threads = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/task"), {}); };
    const auto before = threads();
    for (int lane : {0, 2, 8, 9, 16}) FillLane(0, 0, lane);
    host->SetParameter(LaneSwitch(0, 0, 12, 3), 0.0f);
    host->SetParameter(PerStep(kStepOnOff, 0, 0, 4), 0.0f);
    for (int lane = 0; lane < kLanes; ++lane) Stepper(0).SetLaneLoop(0, lane, lane % 5, 20 + lane % 9);
    const std::vector<double> source = Pattern(0, 0);
    const std::vector<double> untouched = Pattern(0, 5);
    ASSERT_NE(source, untouched);
    Apply({{kKeyAreaPatterns, kPattern4}, {kCopyMenu, kMenuPaste}});  // nothing copied yet
    EXPECT_EQ(Pattern(0, 3), untouched);
    Apply({{kKeyAreaPatterns, 0.0f}, {kCopyMenu, 0.0f}});
    EXPECT_EQ(threads(), before);
    Apply({{kCopyMenu, kMenuPasteToAll}});
    EXPECT_GT(threads(), before);  // the thread sanitizer may start one of its own too
    for (int pattern = 0; pattern < kPatternsPerArea; ++pattern) {
        EXPECT_EQ(Pattern(0, pattern), source) << pattern;
        for (int lane = 0; lane < kLanes; ++lane)
            EXPECT_EQ(std::pair(Stepper(0).LaneLoopStart(pattern, lane), Stepper(0).LaneLoopEnd(pattern, lane)),
                      std::pair(lane % 5, 20 + lane % 9));
    }
    Apply({{kCopyCcMenu, 0.0f}, {kKeyAreaSelection, 1.0f}, {kCopyCcMenu, kAreaMenuPaste}});
    EXPECT_EQ(std::pair(Pattern(3, 7), Pattern(1, 7)), std::pair(source, untouched));
    EXPECT_EQ(Stepper(3).LaneLoopEnd(7, 16), 20 + 16 % 9);
    Apply({{kCopyCcMenu, kAreaMenuPasteToAll}});
    for (int area = 1; area < kKeyAreas; ++area) EXPECT_EQ(Pattern(area, 11), source) << area;
}

// The next controller (the pitch wheel of any channel as controller 119)
// binds, is consumed and already moves its parameter.
TEST_F(EditorActionsTest, TheNextControllerBindsAndAlreadyMoves) {
    // (target, message learnt, message moving it to 0, controller bound, value learnt)
    using Message = std::array<uint8_t, 3>;
    const std::tuple<int, Message, Message, int, double> cases[] = {
        {kSwing + PatternIndex(0, 0), {0xE0, 0, 127}, {0xE3, 0, 0}, 119, 1.0},
        {kGlobalVolume, {0xB0, 20, 127}, {0xB0, 20, 0}, 20, 127.0},
    };
    for (const auto& [target, learn, move, controller, learnt] : cases) {
        Open();
        vardo->SetMenuTarget(target);  // "MIDI learn" in the menu of its control
        host->SetParameter(kMidiLearnMenu, 0.0f);
        for (const auto& [message, value] : {std::pair(learn, learnt), std::pair(move, 0.0)}) {
            host->QueueMidi(0, message[0], message[1], message[2]);
            host->ProcessBlock(kBlock);
            EXPECT_EQ(Value(target), value);
        }
        EXPECT_EQ(Value(kControllerMap + controller), target);
        EXPECT_TRUE(host->Sent().empty());
    }
    // The learnt controller changes what the engine plays: volume 127 adds 63 to the velocity.
    host->Controller(0, 1, 20, 127);
    host->NoteOn(0, 1, 36, 50);
    const auto ons = Hold({}, 30);
    ASSERT_FALSE(ons.empty());
    EXPECT_EQ(ons[0].data2, 113);
}

}  // namespace
}  // namespace sorel::test
