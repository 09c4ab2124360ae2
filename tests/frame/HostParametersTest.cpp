// The parameters a host shows, driven as automation drives them: through
// setParameter and getParameter by host index, with MIDI in and out.
#include <array>
#include <thread>

#include "PluginFixture.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

constexpr int kAreaEntries = 13;
constexpr int kFirstGlobal = kKeyAreas * kAreaEntries;
constexpr int kHostCount = kFirstGlobal + 4;

// What each host index stands for: an area's own parameter, that parameter
// of the pattern the area plays, or a global one.
enum class Kind { Area, Pattern, Global };
struct Entry {
    const char* name;
    Kind kind;
    int first;
};
constexpr std::array<Entry, kAreaEntries> kAreaList{{
    {"pattern", Kind::Area, kKeyAreaPatterns}, {"on", Kind::Area, kKeyAreaOnOff},
    {"hold", Kind::Area, kHold},               {"hold transpose", Kind::Area, kHoldTranspose},
    {"hold bypass", Kind::Area, kHoldBypass},  {"scenes", Kind::Area, kSceneOnOff},
    {"volume", Kind::Area, kAreaVolume},       {"play order", Kind::Pattern, kSortOrder},
    {"gate", Kind::Pattern, kGate},            {"swing", Kind::Pattern, kSwing},
    {"octaves", Kind::Pattern, kOctaves},      {"transpose", Kind::Pattern, kTranspose},
    {"rate", Kind::Pattern, kRate},
}};
constexpr std::array<Entry, 4> kGlobalList{{
    {"Global volume", Kind::Global, kGlobalVolume},
    {"Scale", Kind::Global, kScale},
    {"Scale key", Kind::Global, kScaleKey},
    {"Scale mode", Kind::Global, kScaleMode},
}};

std::string HostName(int h) {
    if (h >= kFirstGlobal) return kGlobalList[size_t(h - kFirstGlobal)].name;
    return "Area " + std::to_string(h / kAreaEntries + 1) + " " + kAreaList[size_t(h % kAreaEntries)].name;
}
// The table index host index `h` stands for while its area plays `pattern`.
int TableIndexOf(int h, int pattern = 0) {
    if (h >= kFirstGlobal) return kGlobalList[size_t(h - kFirstGlobal)].first;
    const int area = h / kAreaEntries;
    const Entry& e = kAreaList[size_t(h % kAreaEntries)];
    return e.kind == Kind::Pattern ? e.first + PatternIndex(area, pattern) : e.first + area;
}
constexpr int HostIndex(int area, int entry) { return area * kAreaEntries + entry; }
constexpr int kPatternEntry = 0, kGateEntry = 8, kTransposeEntry = 11;

using Heard = std::vector<std::tuple<long, int, int, int>>;  // sample, status, data 1, data 2

// A chord held for a bar and let go, then a bar more, in each key area's
// own octave of the keyboard.
constexpr std::array kChord{48, 52, 55, 60, 64, 67, 72, 76, 79, 84, 88, 91};
Heard Perform(TestHost& host, int blockSize = kBlock) {
    host.transport.playing = true;
    for (int note : kChord) host.NoteOn(0, 1, note, 80 + note % 7);
    constexpr long kBar = 4 * 24000;
    for (long s = 0; s < 2 * kBar; s += blockSize) {
        if (s + blockSize > kBar && s <= kBar) {
            for (int note : kChord) host.NoteOff(int(kBar - s), 1, note);
        }
        host.ProcessBlock(blockSize);
    }
    Heard heard;
    for (const SentMidi& m : host.Sent()) heard.emplace_back(Absolute(m, blockSize), m.status, m.data1, m.data2);
    return heard;
}

class HostParametersTest : public PluginTest {
protected:
    std::unique_ptr<TestHost> Fresh() {
        EXPECT_EQ(host->Faults(), "");
        auto made = std::make_unique<TestHost>();
        EXPECT_TRUE(made->CreateAndOpen(kBlock));
        for (int area = 0; area < kKeyAreas; ++area) made->SetParameter(kKeyAreaOnOff + area, 1.0f);
        return made;
    }
};

TEST_F(HostParametersTest, TheHostSeesFiftySixNamedAutomatableParameters) {
    ASSERT_EQ(host->Effect()->numParams, kHostCount);
    for (int h = 0; h < kHostCount; ++h) {
        EXPECT_EQ(host->DispatchString(effGetParamName, h), HostName(h)) << h;
        EXPECT_EQ(host->Dispatch(effCanBeAutomated, h), 1) << h;
        EXPECT_EQ(host->DispatchString(effGetParamDisplay, h), host->ParameterDisplay(TableIndexOf(h))) << h;
    }
    EXPECT_EQ(host->DispatchString(effGetParamName, kHostCount), "") << "nothing past the list";
    EXPECT_EQ(host->Dispatch(effVendorSpecific, kTableSize), kCount);
}

// Each host parameter, set by automation before the performance, plays
// exactly as its table parameter set by the editor's control would, and
// the ones a held chord lets you hear change what plays.
TEST_F(HostParametersTest, EachHostParameterPlaysAsItsControl) {
    auto reference = Fresh();
    const Heard untouched = Perform(*reference);
    ASSERT_FALSE(untouched.empty());
    // The pattern, hold's companions, scenes and the scale say nothing to a
    // chord of the default patterns, which no scale quantises.
    const auto silentWithChord = [](int h) {
        if (h >= kFirstGlobal) return h != kFirstGlobal;
        const int entry = h % kAreaEntries;
        return entry == kPatternEntry || (entry >= 3 && entry <= 5);
    };
    for (int h = 0; h < kHostCount; ++h) {
        SCOPED_TRACE(HostName(h));
        const float value = h % kAreaEntries == 1 ? 0.0f : 0.8f;
        auto automated = Fresh();
        automated->SetHostParameter(h, value);
        EXPECT_FLOAT_EQ(automated->GetHostParameter(h), automated->GetParameter(TableIndexOf(h)));
        auto edited = Fresh();
        edited->SetParameter(TableIndexOf(h), value);
        const Heard heard = Perform(*automated);
        EXPECT_TRUE(heard == Perform(*edited));
        if (!silentWithChord(h)) EXPECT_TRUE(heard != untouched);
        EXPECT_EQ(automated->Faults(), "");
    }
}

// Pattern 2 plays an octave above pattern 1: a switch written at the start
// of a block sounds from that block on, and pattern 1 starts no note there
// or after, at any block size.
TEST_F(HostParametersTest, APatternSwitchAtABlockStartLeavesNoNoteOfTheOldPattern) {
    constexpr float kSecondPattern = 1.0f / (kPatternsPerArea - 1);
    for (int blockSize : {32, 256, 480, 1000}) {
        SCOPED_TRACE(blockSize);
        auto h = Fresh();
        ASSERT_TRUE(h->SetParameterText(kTranspose + PatternIndex(0, 1), "12"));
        for (int area = 1; area < kKeyAreas; ++area) h->SetParameter(kKeyAreaOnOff + area, 0.0f);
        h->transport.playing = true;
        h->NoteOn(0, 1, 48, 100);
        const int switchBlock = 8 * kSamplesPerStep / blockSize;  // on the ninth step, or just before it
        const long switchSample = long(switchBlock) * blockSize;
        for (int b = 0; b < 100000 / blockSize; ++b) {
            if (b == switchBlock) h->SetHostParameter(HostIndex(0, kPatternEntry), kSecondPattern);
            h->ProcessBlock(blockSize);
        }
        long firstNew = -1;
        int oldAfter = 0, oldBefore = 0;
        for (const SentMidi& m : NoteOns(h->Sent())) {
            const long at = Absolute(m, blockSize);
            if (m.data1 == 60 && firstNew < 0) firstNew = at;
            if (m.data1 == 48) (at >= switchSample ? oldAfter : oldBefore)++;
        }
        EXPECT_GT(oldBefore, 0);
        EXPECT_EQ(oldAfter, 0);
        EXPECT_EQ(firstNew, 8 * kSamplesPerStep) << "the first step at or after the switch";
        EXPECT_EQ(h->Faults(), "");
    }
}

// After a switch the timing parameters read and write the pattern now played.
TEST_F(HostParametersTest, ATimingParameterFollowsThePatternSwitch) {
    ASSERT_TRUE(host->SetParameterText(kGate + PatternIndex(0, 3), "40"));
    const int gate = HostIndex(0, kGateEntry);
    const float firstPatternGate = host->GetHostParameter(gate);
    host->SetHostParameter(HostIndex(0, kPatternEntry), 3.0f / (kPatternsPerArea - 1));
    EXPECT_EQ(host->DispatchString(effGetParamDisplay, gate), "40");
    EXPECT_FLOAT_EQ(host->GetHostParameter(gate), host->GetParameter(kGate + PatternIndex(0, 3)));
    EXPECT_NE(host->GetHostParameter(gate), firstPatternGate);
    char typed[] = "7";
    ASSERT_EQ(host->Dispatch(effString2Parameter, HostIndex(0, kTransposeEntry), 0, typed), 1);
    EXPECT_EQ(host->ParameterDisplay(kTranspose + PatternIndex(0, 3)), "7");
    EXPECT_EQ(host->ParameterDisplay(kTranspose + PatternIndex(0, 0)), "0") << "the pattern not played keeps its value";
}

// A learnt controller moving a host parameter is recorded by the host, by
// the host's index, whichever pattern the area plays; one moving any other
// parameter is not.
TEST_F(HostParametersTest, ALearntControllerOnAHostParameterIsAutomated) {
    Set(kControllerMap + 20, kGate + PatternIndex(0, 2));
    Set(kControllerMap + 21, kGate + PatternIndex(0, 5));
    host->SetHostParameter(HostIndex(0, kPatternEntry), 2.0f / (kPatternsPerArea - 1));
    host->Controller(0, 1, 21, 30);  // a pattern not played
    host->Controller(1, 1, 20, 127);
    host->ProcessBlock(kBlock);
    EXPECT_EQ(host->Automated(), (std::vector<std::pair<int, float>>{{HostIndex(0, kGateEntry), 1.0f}}));
    // Each move is an edit of its own for a host in write mode.
    std::vector<std::pair<int, int>> edits;  // opcode, host index
    for (const TestHost::EditCall& c : host->EditCalls()) edits.emplace_back(c.opcode, c.index);
    const int gate = HostIndex(0, kGateEntry);
    EXPECT_EQ(edits, (std::vector<std::pair<int, int>>{
                         {audioMasterBeginEdit, gate}, {audioMasterAutomate, gate}, {audioMasterEndEdit, gate}}));
    EXPECT_EQ(host->GetHostParameter(HostIndex(0, kGateEntry)), 1.0f);
}

// The pattern an area plays switched by a played control-zone key gives its
// timing parameters another pattern's values: the host is asked to read them
// again from its idle call, never from the audio thread; an idle with
// nothing changed asks nothing.
TEST_F(HostParametersTest, APatternSwitchByAControlZoneKeyAsksTheHostToReadAgainFromIdle) {
    constexpr int kFirstPatternKey = 24;
    ASSERT_TRUE(host->SetParameterText(kGate + PatternIndex(0, 3), "40"));
    const auto updates = [&] {
        std::vector<std::thread::id> threads;
        for (const TestHost::EditCall& c : host->EditCalls())
            if (c.opcode == audioMasterUpdateDisplay) threads.push_back(c.thread);
        return threads;
    };
    const auto playOnAudioThread = [&](int note) {
        std::thread audio([&] {
            host->NoteOn(0, 1, note, 100);
            host->ProcessBlock(kBlock);
            host->NoteOff(0, 1, note);
            host->ProcessBlock(kBlock);
        });
        const std::thread::id id = audio.get_id();
        audio.join();
        return id;
    };
    host->Dispatch(effIdle);
    host->ClearEditCalls();
    playOnAudioThread(kChord[0]);  // a key of the first area plays and switches nothing
    host->Dispatch(effIdle);
    EXPECT_TRUE(updates().empty());
    const std::thread::id audio = playOnAudioThread(kFirstPatternKey + 3);
    EXPECT_TRUE(updates().empty()) << "not from the audio thread";
    host->Dispatch(effEditIdle);
    EXPECT_EQ(updates(), std::vector<std::thread::id>{std::this_thread::get_id()});
    EXPECT_NE(std::this_thread::get_id(), audio);
    EXPECT_EQ(host->DispatchString(effGetParamDisplay, HostIndex(0, kGateEntry)), "40");
    host->Dispatch(effIdle);
    EXPECT_EQ(updates().size(), 1u) << "told once";
}

// The whole table stays in reach of Sorel's own tools.
TEST_F(HostParametersTest, TheVendorCodesReachTheWholeTable) {
    const int last = kCount - 1;
    EXPECT_EQ(host->Dispatch(effVendorSpecific, kTableSet, last, nullptr, 1.0f), 1);
    EXPECT_EQ(host->Dispatch(effVendorSpecific, kTableSet, kCount, nullptr, 1.0f), 0);
    float value = -1.0f;
    EXPECT_EQ(host->Dispatch(effVendorSpecific, kTableGet, last, &value), 1);
    EXPECT_EQ(value, 1.0f);
    char text[64];
    EXPECT_EQ(host->Dispatch(effVendorSpecific, kTableName, kSortOrder, text), 1);
    EXPECT_STREQ(text, "Sort order T1 P1");
    host->SetParameter(kGate, 1.0f);
    EXPECT_EQ(host->Dispatch(effVendorSpecific, kTableDisplay, kGate, text), 1);
    EXPECT_STREQ(text, "100");
}

}  // namespace
}  // namespace sorel::test
