// MIDI in, MIDI out: Sorel.so driven block by block as a host drives it.
#include <algorithm>
#include <chrono>
#include <functional>
#include <set>

#include "PluginFixture.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

// Key area 1 by default: channel 1, keys 36..59, output channel 1; key area 2
// (switched off by default) takes keys 60..71.
constexpr int kC2 = 36, kG2 = 43;
constexpr int kOutsideEveryArea = 80;

class PluginMidiTest : public PluginTest {
protected:
    void RunFor(long samples) {
        while (long(host->BlockCount()) * kBlock < samples) host->ProcessBlock(kBlock);
    }
    // Runs up to `sample` and queues `key` going down (or up) right there.
    void KeyAt(long sample, int channel, int key, bool down) {
        RunFor(sample - sample % kBlock);
        const int offset = int(sample % kBlock);
        down ? host->NoteOn(offset, channel, key, 100) : host->NoteOff(offset, channel, key);
    }
    void Play(int key = kC2) {
        host->transport.playing = true;
        host->NoteOn(0, 1, key, 100);
    }
    // Lane `lane` of key area 1's `pattern` sends `controller` with `value(step)`.
    void FillControllerLane(int pattern, int lane, int controller, const std::function<int(int)>& value) {
        SetText(kPatternCcSelection, std::to_string(lane - kFirstControllerLane + 1));
        SetText(kCcTeachSelection, std::to_string(controller));
        for (int step = 0; step < kSteps; ++step) Set(CcLaneValue(0, pattern, lane, step), value(step));
    }
};

// Note-ons (time, key) of C and G held from the first sample for 100 blocks.
std::vector<std::pair<long, int>> PlayFifth(const std::function<void(HostTransport&)>& odd) {
    TestHost h;
    EXPECT_TRUE(h.CreateAndOpen(kBlock));
    odd(h.transport);
    h.NoteOn(0, 1, kC2, 100);
    h.NoteOn(0, 1, kG2, 100);
    h.ProcessBlocks(100, kBlock);
    std::vector<std::pair<long, int>> ons;
    for (const SentMidi& m : NoteOns(h.Sent())) ons.emplace_back(Absolute(m), m.data1);
    return ons;
}

// Transports no player sets up, each of which once stalled or derailed the
// arpeggio: they must play as 120 bpm at 48 kHz without a loop.
TEST(PluginOddTransport, FallsBackToTheDefaultGrid) {
    const std::pair<const char*, std::function<void(HostTransport&)>> cases[] = {
        {"no tempo", [](HostTransport& t) { t.reportsTempo = false, t.tempo = 0; }},
        {"no time info", [](HostTransport& t) { t.answersTime = false; }},
        {"tempo 1e-9", [](HostTransport& t) { t.tempo = 1e-9; }},
        {"tempo 0.5", [](HostTransport& t) { t.tempo = 0.5; }},
        {"tempo 1e9", [](HostTransport& t) { t.tempo = 1e9; }},
        {"loop of no length", [](HostTransport& t) { t.playing = t.loopEnabled = true, t.cycleStartPpq = t.cycleEndPpq = 1; }},
        {"loop inside out", [](HostTransport& t) { t.playing = t.loopEnabled = true, t.cycleStartPpq = 3, t.cycleEndPpq = 1; }},
    };
    const auto stopped = PlayFifth([](HostTransport&) {});
    const auto playing = PlayFifth([](HostTransport& t) { t.playing = true; });
    ASSERT_GE(stopped.size(), 8u);
    EXPECT_EQ(stopped[3].first - stopped[2].first, kSamplesPerStep);
    for (const auto& [what, odd] : cases) {
        HostTransport probe;
        odd(probe);
        EXPECT_EQ(PlayFifth(odd), probe.playing ? playing : stopped) << what;
    }
}

// A host that rounds the position it reports to its own tick (Ardour: 1/1920
// of a beat) while its sample position runs on plays the arpeggio on the
// sample grid; a host that really moves its position is followed.
TEST(PluginRoundingHost, PlaysOnTheGridAndFollowsARealMove) {
    const auto exact = PlayFifth([](HostTransport& t) { t.playing = true; });
    const auto rounded = PlayFifth([](HostTransport& t) { t.playing = true, t.ppqTicksPerBeat = 1920; });
    ASSERT_GE(exact.size(), 8u);
    EXPECT_EQ(rounded, exact);

    // A jump to a sample between two of the host's ticks lands on that sample.
    const auto jumped = [](int ticks) {
        return PlayFifth([ticks](HostTransport& t) { t.playing = true, t.ppqTicksPerBeat = ticks, t.samplePos = 272; });
    };
    EXPECT_EQ(jumped(1920), jumped(0));

    // Halfway through, the host's position moves 0.01 quarter notes (240 samples) ahead.
    constexpr long kMoveAt = 50 * kBlock, kMoved = 240;
    TestHost h;
    ASSERT_TRUE(h.CreateAndOpen(kBlock));
    h.transport.playing = true, h.transport.ppqTicksPerBeat = 1920;
    h.NoteOn(0, 1, kC2, 100);
    h.NoteOn(0, 1, kG2, 100);
    h.ProcessBlocks(kMoveAt / kBlock, kBlock);
    h.transport.ppqShift = double(kMoved) / 24000.0;
    h.ProcessBlocks(100 - kMoveAt / kBlock, kBlock);
    const auto ons = NoteOns(h.Sent());
    ASSERT_EQ(ons.size(), exact.size());
    // Followed to the host's rounded position: within half a tick (6.25 samples).
    for (size_t i = 0; i < ons.size(); ++i)
        EXPECT_NEAR(Absolute(ons[i]), exact[i].first < kMoveAt ? exact[i].first : exact[i].first - kMoved, 6.25) << i;
}

// Every way to ask for a panic: sixteen "all notes off" at the block start,
// every sounding note ended in that same block, the area silent afterwards.
TEST(PluginPanic, EveryTriggerEndsEverythingInItsBlock) {
    const std::pair<const char*, std::function<void(TestHost&)>> triggers[] = {
        {"controller 123", [](TestHost& h) { h.Controller(3, 1, 123, 0); }},
        {"panic tool", [](TestHost& h) { h.SetParameter(kPanicTool, 1.0f); }},
    };
    for (const auto& [what, trigger] : triggers) {
        SCOPED_TRACE(what);
        TestHost h;
        ASSERT_TRUE(h.CreateAndOpen(kBlock));
        h.transport.playing = true;
        h.NoteOn(0, 1, kC2, 100);
        h.NoteOn(0, 1, kOutsideEveryArea, 100);  // passed through, sounding
        h.ProcessBlocks(kSamplesPerStep / kBlock + 2, kBlock);
        ASSERT_GE(NoteOns(h.Sent()).size(), 2u);
        trigger(h);
        h.NoteOn(3, 5, 90, 100);  // a passed-through note in the same block: the only one left sounding
        const int panicBlock = h.BlockCount();
        h.ProcessBlocks(4 * kSamplesPerStep / kBlock, kBlock);
        const auto sent = h.SentInBlock(panicBlock);
        ASSERT_GE(sent.size(), 18u);
        for (int c = 0; c < 16; ++c)
            EXPECT_TRUE(sent[c].IsController(123) && sent[c].Channel() == c + 1 && sent[c].offset == 0) << c;
        EXPECT_EQ(UnendedNotes(h.Sent()), UnendedNotes({{panicBlock, 3, 0x94, 90, 100}}));
        EXPECT_EQ(Controllers(h.Sent(), 123).size(), 16u) << "once per request";
        EXPECT_EQ(OverlappingNotes(h.Sent()), "") << "each sounding note ends once";
        for (const SentMidi& m : NoteOns(h.Sent())) EXPECT_TRUE(m.block <= panicBlock || m.Channel() != 1);
    }
}

// System messages (a stray system-exclusive start would make an instrument
// swallow what follows), bank select and channel-mode messages stay here;
// other channel messages outside every area pass on unchanged.
TEST_F(PluginMidiTest, OnlyChannelMessagesAnInstrumentMayTakePassOn) {
    for (int status : {0xF0, 0xF2, 0xF8, 0xFF}) host->QueueMidi(0, status, 0x10, 0x20);
    host->Controller(1, 1, 0, 5);
    for (int c = 120; c <= 127; ++c)
        if (c != 123) host->Controller(2, 1, c, 0);
    const std::vector<SentMidi> passed = {{0, 9, 0xB2, 64, 127}, {0, 10, 0xB0, 7, 100}, {0, 11, 0xE0, 0, 64},
                                          {0, 12, 0xD0, 30, 0}, {0, 13, 0x90, kOutsideEveryArea, 100}};
    for (const SentMidi& m : passed) host->QueueMidi(m.offset, m.status, m.data1, m.data2);
    host->ProcessBlock(kBlock);
    EXPECT_EQ(host->Sent(), passed);
}

// A host that repeats note-ons without note-offs must not make the plug-in
// forget an earlier passed-through key: once an area takes that key, its
// note-off would no longer pass and the note would hang.
TEST_F(PluginMidiTest, APassedThroughKeyStillEndsAfterThousandsOfRepeatedNoteOns) {
    constexpr int kBefore = kOutsideEveryArea, kAfter = kOutsideEveryArea + 1;
    host->NoteOn(0, 1, kBefore, 100);
    host->ProcessBlock(kBlock);
    constexpr int kRepeats = 5000, kPerBlock = 500;
    for (int sent = 0; sent < kRepeats; sent += kPerBlock) {
        for (int i = 0; i < kPerBlock; ++i) host->NoteOn(i % kBlock, 2, 90 + i % 8, 100);
        host->ProcessBlock(kBlock);
    }
    host->NoteOn(0, 1, kAfter, 100);
    host->ProcessBlock(kBlock);
    SetText(kKeyAreaEndNote + 0, "C 6");  // area 1 now takes both keys
    host->NoteOff(3, 1, kBefore);
    host->NoteOff(4, 1, kAfter);
    host->ProcessBlock(kBlock);
    const auto channel1 = Filtered(host->Sent(), [](const SentMidi& m) { return m.Channel() == 1; });
    EXPECT_EQ(channel1.size(), 4u);
    EXPECT_EQ(UnendedNotes(channel1), "");
}

TEST_F(PluginMidiTest, ControllerLanesSendTheirValuesBeforeTheirNotes) {
    SetText(kMidiOutChannel, "3");
    FillControllerLane(0, 10, 74, [](int step) { return 10 + step; });
    Set(LaneSwitch(0, 0, 10, 1), 1);  // step 2's controller off
    Play();
    RunFor(5 * kSamplesPerStep);
    const auto sent = host->Sent();
    EXPECT_EQ(NoteOns(sent).size(), 6u);
    // Each controller goes out right before its note, at the same offset, on its channel; none for step 2.
    std::vector<int> values;
    for (size_t i = 0; i + 1 < sent.size(); ++i)
        if (sent[i].IsController(74)) {
            values.push_back(sent[i].data2);
            EXPECT_TRUE(sent[i + 1].IsNoteOn() && sent[i].Channel() == 3 && sent[i + 1].Channel() == 3);
            EXPECT_EQ(Absolute(sent[i]), Absolute(sent[i + 1]));
        }
    EXPECT_EQ(values, (std::vector<int>{10, 12, 13, 14, 15}));
}

TEST_F(PluginMidiTest, ANotesControllersFollowTheSwitchesOfThePatternThatPlayedIt) {
    // Steps of about 70 samples, so that a pattern's last note and the switch
    // to the next pattern often fall into one stretch of processing.
    host->transport.tempo = 960;
    constexpr int kFirst = 0, kSecond = 1;
    for (int pattern : {kFirst, kSecond}) Set(kRate + PatternIndex(0, pattern), 22);
    Set(kTranspose + PatternIndex(0, kSecond), 12);  // tells the second pattern's notes apart
    FillControllerLane(kFirst, 9, 20, [](int) { return 77; });
    FillControllerLane(kSecond, 9, 20, [](int) { return 99; });
    for (int step = 0; step < kSteps; ++step) Set(LaneSwitch(0, kFirst, 9, step), 1);  // the first sends none
    Play();
    for (int change = 0; change < 12; ++change) {
        host->QueueMidi(0, 0xC0, change % 2 == 0 ? kSecond : kFirst, 0);
        RunFor(long(host->BlockCount() + 13) * kBlock);
    }
    const auto sent = host->Sent();
    int notes[2] = {};
    for (size_t i = 1; i < sent.size(); ++i) {
        if (!sent[i].IsNoteOn()) continue;
        const bool second = sent[i].data1 != kC2;
        ++notes[second];
        const bool controllerBefore = sent[i - 1].IsController(20) && Absolute(sent[i - 1]) == Absolute(sent[i]);
        EXPECT_EQ(controllerBefore, second) << "note " << i << " at " << Absolute(sent[i]);
    }
    EXPECT_GT(std::min(notes[0], notes[1]), 100);
    for (const SentMidi& cc : Controllers(sent, 20)) EXPECT_EQ(cc.data2, 99);
}

TEST_F(PluginMidiTest, ControllerOnlyAreasSendControllersAndNoNoteMessage) {
    FillControllerLane(0, 9, 74, [](int step) { return 40 + step; });
    Set(kSendCc, 1);
    Play();
    RunFor(4 * kSamplesPerStep - kBlock);
    host->NoteOff(0, 1, kC2);
    RunFor(8 * kSamplesPerStep);
    EXPECT_EQ(Controllers(host->Sent(), 74).size(), 4u);
    EXPECT_TRUE(NoteOns(host->Sent()).empty());
    EXPECT_TRUE(NoteOffs(host->Sent()).empty());
}

TEST_F(PluginMidiTest, AnAbsurdHostPositionDoesNotStallTheBlock) {
    Play();
    host->ProcessBlocks(20, kBlock);
    // Quarter note 1e300 (the test host derives it from the sample position):
    // steps there are no longer apart in a double.
    host->transport.samplePos = 1e300 * 24000.0;
    const auto start = std::chrono::steady_clock::now();
    host->ProcessBlocks(4, kBlock);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    host->transport.samplePos = 20 * kBlock;
    host->ClearSent();
    host->ProcessBlocks(40, kBlock);
    EXPECT_GE(NoteOns(host->Sent()).size(), 2u);  // still arpeggiating
}

TEST_F(PluginMidiTest, AKeysNoteOffListedAfterItsNoteOnNeverOvertakesIt) {
    // A host that lists events out of time order: the note-off comes later
    // in the list but carries an earlier offset.
    host->NoteOn(300, 1, kOutsideEveryArea, 100);
    host->NoteOff(100, 1, kOutsideEveryArea);
    host->NoteOn(200, 1, kC2, 100);
    host->NoteOff(50, 1, kC2);
    host->ProcessBlocks(40, kBlock);
    const auto sent = host->Sent();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_TRUE(sent[0].IsNoteOn());
    EXPECT_EQ(sent[0].data1, kOutsideEveryArea);
    EXPECT_EQ(UnendedNotes(sent), "");
    // The arpeggio of the key that went up ends too.
    host->ClearSent();
    host->ProcessBlocks(40, kBlock);
    EXPECT_TRUE(NoteOns(host->Sent()).empty());
}

TEST_F(PluginMidiTest, AReleasedHeldBackKeyLeavesTheArpeggiosNoteAlone) {
    constexpr int kHeldBack = 48, kStarter = 52;
    SetText(kArpOnNoteCount, "2");
    host->transport.playing = true;
    host->NoteOn(100, 1, kHeldBack, 100);  // passes through until the area starts
    RunFor(3000 - 3000 % kBlock);
    host->NoteOn(3000 % kBlock, 1, kStarter, 100);
    RunFor(20000 - 20000 % kBlock);
    host->NoteOff(20000 % kBlock, 1, kHeldBack);  // while the arpeggio's own 48 sounds
    RunFor(30000);
    host->NoteOff(0, 1, kStarter);
    RunFor(40000);
    const auto heldBack = Filtered(host->Sent(), [](const SentMidi& m) { return m.data1 == kHeldBack; });
    EXPECT_EQ(Times(NoteOns(heldBack)), (std::vector<long>{100, 6000, 18000}));
    EXPECT_EQ(Times(NoteOffs(heldBack)), (std::vector<long>{6000, 11400, 23400})) << "the release passes nothing through";
}

// A clip's next chord often starts a few ticks before the last one ends: C E
// G held, A C E pressed on the bar and C E G let go after. A key pressed
// again before its release stays held until its last note-off.
TEST_F(PluginMidiTest, AKeyPressedAgainBeforeItsReleaseStaysHeld) {
    constexpr long kBar = 16 * kSamplesPerStep;
    constexpr int kA2 = 45, kC3 = 48, kE3 = 52, kG3 = 55;
    const struct {
        const char* what;
        long releaseAfter;  // samples after the bar
    } cases[] = {{"ten ticks later", 500}, {"in the same sample, listed after", 0}, {"in the next block", kBlock}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        host->transport.playing = true;
        for (int key : {kC3, kE3, kG3}) KeyAt(0, 1, key, true);
        for (int key : {kA2, kC3, kE3}) KeyAt(kBar, 1, key, true);
        for (int key : {kC3, kE3, kG3}) KeyAt(kBar + c.releaseAfter, 1, key, false);
        for (int key : {kA2, kC3, kE3}) KeyAt(2 * kBar, 1, key, false);
        std::set<int> secondBar;
        for (const SentMidi& m : NoteOns(host->Sent()))
            if (Absolute(m) > kBar + c.releaseAfter && Absolute(m) < 2 * kBar) secondBar.insert(m.data1);
        EXPECT_EQ(secondBar, (std::set<int>{kA2, kC3, kE3}));
        EXPECT_EQ(host->Faults(), "");
    }
}

// An instrument has one voice per channel and key: a note that would start
// on a key still sounding ends the earlier note just before it, and the
// earlier note's own late note-off goes nowhere. Gate +50 makes every note
// of a sixteenth 7,500 samples long.
TEST_F(PluginMidiTest, AKeyThatSoundsGetsNoSecondNoteOn) {
    constexpr long kGateLength = kSamplesPerStep * 5 / 4;
    constexpr int kC2Out = kC2 + 12, kOutChannel = 2;
    const struct {
        const char* what;
        int octaves;
        std::vector<std::pair<int, int>> keys;  // (channel, key) held
    } cases[] = {
        {"a held key repeating", 1, {{1, kC2}}},
        {"octaves landing on a held key", 2, {{1, kC2}, {1, kC2Out}}},
        {"a key passed through on the arpeggio's channel and pitch", 1, {{1, kC2}, {kOutChannel, kC2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Set(kGate, 50);
        Set(kOctaves, c.octaves);
        SetText(kMidiOutChannel, std::to_string(kOutChannel));
        host->transport.playing = true;
        for (const auto& [channel, key] : c.keys) KeyAt(0, channel, key, true);
        for (const auto& [channel, key] : c.keys) KeyAt(20 * kSamplesPerStep, channel, key, false);
        RunFor(24 * kSamplesPerStep);
        const auto sent = host->Sent();
        EXPECT_EQ(OverlappingNotes(sent), "");
        EXPECT_EQ(UnendedNotes(sent), "");
        for (int key : {kC2, kC2Out}) {
            const auto notes = Filtered(sent, [key](const SentMidi& m) { return m.data1 == key; });
            const auto ons = Times(NoteOns(notes)), offs = Times(NoteOffs(notes));
            ASSERT_EQ(ons.size(), offs.size()) << key;
            for (size_t i = 0; i + 1 < ons.size(); ++i)
                EXPECT_EQ(offs[i], std::min(ons[i] + kGateLength, ons[i + 1])) << key << " note " << i;
        }
        EXPECT_EQ(host->Faults(), "");
    }
}

TEST_F(PluginMidiTest, ZoneSyncCountsStepsFromThePatternsStart) {
    constexpr int kPattern2Key = 25;
    SetText(kPatternSteps + PatternIndex(0, 0), "12");
    Set(kRate + PatternIndex(0, 1), 9);  // pattern 2 plays eighths
    SetText(kControlZoneSync, "8");
    Play();
    constexpr long kDuringStep10 = 9 * kSamplesPerStep + 3000;
    RunFor(kDuringStep10 - kDuringStep10 % kBlock);
    host->NoteOn(int(kDuringStep10 % kBlock), 1, kPattern2Key, 100);
    host->NoteOff(int(kDuringStep10 % kBlock) + 10, 1, kPattern2Key);
    RunFor(25 * kSamplesPerStep);
    std::vector<long> expected;
    // The count starts again with the pattern at step 13: the eighth step after it ends step 20.
    for (long step = 0; step < 25; step += step < 20 ? 1 : 2) expected.push_back(step * kSamplesPerStep);
    EXPECT_EQ(Times(NoteOns(host->Sent())), expected);
}

}  // namespace
}  // namespace sorel::test
