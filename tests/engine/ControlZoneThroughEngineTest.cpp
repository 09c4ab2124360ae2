// The control zone as a player meets it: keys into the engine, notes and
// notifications out.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/ControlZone.h"
#include "engine/EngineHarness.h"
#include "engine/KeyAreaList.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"

namespace sorel {
namespace {

using test::EngineHarness;
using test::MidiOut;

constexpr int kChannel = 1;
constexpr std::int64_t kStep = 6000;  // rate 1/16 at 120 bpm and 48 kHz
constexpr int kC3 = 48;               // inside key area 1 (36..59 by default)

class NotificationLog : public EngineNotificationListener {
public:
    void OnEngineNotification(int code, int argument, const NoteRecord*) override {
        if (code >= notify::kNextPreset && code <= notify::kPanic) seen.push_back({code, argument});
    }
    std::vector<std::pair<int, int>> seen;  // code and argument
};

class ThroughEngine : public ::testing::Test {
protected:
    void SetUp() override { engine.Context().notifier->SetListener(&log); }

    // Presses a key at `time` and releases it a little later.
    void Tap(int note, std::int64_t time) {
        engine.NoteOn(kChannel, note, 100, time);
        engine.NoteOff(kChannel, note, time + 100);
    }
    ControlZone& Zone() { return *engine.Context().controlZone; }

    EngineHarness engine;
    NotificationLog log;
};

// --- Control zone ------------------------------------------------------------

TEST_F(ThroughEngine, EveryFunctionRaisesItsNotification) {
    ControlZone::Assignment keys{};
    for (int i = 0; i < ControlZone::kKeyCount; ++i) keys[static_cast<std::size_t>(i)] = std::min(i + 1, 30);
    Zone().SetAssignment(keys);  // keys 12..35 run functions 1..24

    for (int key = ControlZone::kLowKey; key <= ControlZone::kHighKey; ++key) Tap(key, (key - 12) * 500);
    engine.RunUntil(20000);

    std::vector<std::pair<int, int>> expected;
    for (int lane = 0; lane <= 8; ++lane) expected.push_back({notify::kSelectLane, lane});
    for (int code : {notify::kPreviousPreset, notify::kNextPreset, notify::kHold, notify::kHoldBypass, notify::kPanic})
        expected.push_back({code, 0});
    for (int pattern = 0; pattern <= 9; ++pattern) expected.push_back({notify::kSelectPattern, pattern});

    EXPECT_EQ(log.seen, expected);
}

// Pattern 3 of area 1 plays an octave higher, so the switch shows in the notes.
class PatternSwitch : public ThroughEngine {
protected:
    void SetUp() override {
        ThroughEngine::SetUp();
        engine.Param(param::kTranspose + param::PatternIndex(0, 2), 12);
        engine.Play();
        engine.NoteOn(kChannel, kC3, 100, 0);
    }
    // Start time of the first step that plays the octave.
    std::int64_t FirstHighStep() {
        for (const MidiOut& m : engine.NoteOns(0))
            if (m.note == kC3 + 12) return m.time;
        return -1;
    }
};

TEST_F(PatternSwitch, NextSwitchesAtTheEndOfTheCurrentStep) {
    Zone().SetSyncParameter(0);  // "Next"
    Tap(26, kStep + kStep / 2);
    engine.RunUntil(6 * kStep);
    const std::vector<MidiOut> ons = engine.NoteOns(0);
    ASSERT_GE(ons.size(), 4u);
    EXPECT_EQ(ons[1].note, kC3);
    EXPECT_EQ(FirstHighStep(), ons[2].time);
}

}  // namespace
}  // namespace sorel
