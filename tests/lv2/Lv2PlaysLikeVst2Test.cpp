// Sorel.lv2 plays what Sorel.so plays: the same performance, state and
// transport through lilv (positions as LV2 hosts send them) and through the
// VST 2 module (the host's time query) come out sample for sample the same.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "support/Lv2TestHost.h"
#include "support/TestHost.h"

namespace sorel::test {
namespace {

constexpr double kRate = 48000.0;
// Hosts round bar beats down to this grid (1920 ticks a beat).
constexpr double kTicksPerBeat = 1920.0;

using Heard = std::tuple<int64_t, int, int, int>;  // sample since the start, status, data 1, data 2

struct Cue {
    enum Kind { Midi, Play, Stop, JumpTo, Tempo, Port };
    int block;
    int offset;  // transport cues past 0 split the block there
    Kind kind;
    double value = 0.0;  // the beat to jump to, the tempo, the port's value
    int status = 0, data1 = 0, data2 = 0;  // MIDI; data1 is the port's host index for Port
};

Cue Note(int block, int offset, int status, int note, int velocity) {
    return {block, offset, Cue::Midi, 0.0, status, note, velocity};
}
Cue At(int block, int offset, Cue::Kind kind, double value = 0.0) { return {block, offset, kind, value}; }
Cue PortTo(int block, int hostIndex, double value) { return {block, 0, Cue::Port, value, 0, hostIndex, 0}; }

struct Scenario {
    const char* name;
    int blockFrames;
    int blocks;
    bool positionEveryBlock;  // as Ardour does; else only on a change, as jalv does
    std::vector<Cue> cues;
};

// The host's transport, counting beats from its last jump or tempo change.
struct Transport {
    bool playing = false;
    double tempo = 120.0;
    double frame = 0.0;
    double anchorFrame = 0.0, anchorBeats = 0.0;

    double Beats() const { return anchorBeats + (frame - anchorFrame) * tempo / (60.0 * kRate); }
    void Anchor() { anchorBeats = Beats(), anchorFrame = frame; }
    void Apply(const Cue& cue) {
        Anchor();
        if (cue.kind == Cue::Play) playing = true;
        if (cue.kind == Cue::Stop) playing = false;
        if (cue.kind == Cue::Tempo) tempo = cue.value;
        if (cue.kind == Cue::JumpTo) anchorBeats = cue.value, frame = anchorFrame = cue.value * 60.0 * kRate / tempo;
    }
    void Advance(int frames) {
        if (playing) frame += frames;
    }
    VstTimeInfo Vst2Time() const {
        VstTimeInfo info{};
        info.samplePos = frame;
        info.sampleRate = kRate;
        info.ppqPos = Beats();
        info.tempo = tempo;
        info.barStartPos = 4.0 * std::floor(Beats() / 4.0);
        info.timeSigNumerator = info.timeSigDenominator = 4;
        info.flags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid |
                     (playing ? kVstTransportPlaying : 0);
        return info;
    }
    Lv2Position Lv2Time() const {
        const double beats = Beats();
        const double bar = std::floor(beats / 4.0);
        const double barBeat = std::floor((beats - 4.0 * bar) * kTicksPerBeat) / kTicksPerBeat;
        return {static_cast<int64_t>(frame), playing ? 1.0f : 0.0f, static_cast<float>(tempo),
                static_cast<int64_t>(bar), static_cast<float>(barBeat), 4.0f, 4};
    }
};

bool IsTransport(const Cue& cue) { return cue.kind != Cue::Midi && cue.kind != Cue::Port; }

// The offsets where the block's parts start: 0 and each transport cue's past it.
std::vector<int> PartStarts(const Scenario& s, int block) {
    std::vector<int> starts{0};
    for (const Cue& c : s.cues)
        if (c.block == block && IsTransport(c) && c.offset > 0) starts.push_back(c.offset);
    return starts;
}

double Normalized(const LilvPlugin* plugin, LilvWorld* world, int hostIndex, double value) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, 2 + hostIndex);
    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(plugin, port, &def, &min, &max);
    const double low = lilv_node_as_float(min), high = lilv_node_as_float(max);
    lilv_node_free(def), lilv_node_free(min), lilv_node_free(max);
    return (value - low) / (high - low);
}

std::vector<Heard> ThroughVst2(const Scenario& s, const std::vector<uint8_t>& state, Lv2TestHost& lv2) {
    TestHost host;
    host.transport.sampleRate = kRate;
    EXPECT_TRUE(host.CreateAndOpen(s.blockFrames));
    if (!state.empty()) EXPECT_TRUE(host.SetChunk(0, state));
    Transport transport;
    std::vector<Heard> heard;
    int64_t at = 0;
    for (int block = 0; block < s.blocks; ++block) {
        for (const Cue& c : s.cues)
            if (c.block == block && c.kind == Cue::Port)
                host.SetHostParameter(c.data1, float(Normalized(lv2.Plugin(), lv2.World(), c.data1, c.value)));
        const std::vector<int> starts = PartStarts(s, block);
        for (size_t part = 0; part < starts.size(); ++part) {
            const int begin = starts[part], end = part + 1 < starts.size() ? starts[part + 1] : s.blockFrames;
            for (const Cue& c : s.cues)
                if (c.block == block && IsTransport(c) && c.offset == begin) transport.Apply(c);
            for (const Cue& c : s.cues)
                if (c.block == block && c.kind == Cue::Midi && c.offset >= begin && c.offset < end)
                    host.QueueMidi(c.offset - begin, c.status, c.data1, c.data2);
            host.SetTime(transport.Vst2Time(), true);
            host.ClearSent();
            host.ProcessBlock(end - begin);
            for (const SentMidi& m : host.Sent()) heard.emplace_back(at + begin + m.offset, m.status, m.data1, m.data2);
            transport.Advance(end - begin);
        }
        at += s.blockFrames;
    }
    return heard;
}

std::vector<Heard> ThroughLv2(const Scenario& s, Lv2TestHost& host) {
    const std::vector<std::string> symbols = host.ControlSymbols();
    Transport transport;
    std::vector<Heard> heard;
    for (int block = 0; block < s.blocks; ++block) {
        for (const Cue& c : s.cues)
            if (c.block == block && c.kind == Cue::Port) host.SetControl(symbols[size_t(c.data1)], float(c.value));
        bool changed = false;
        for (const Cue& c : s.cues)
            if (c.block == block && IsTransport(c) && c.offset == 0) transport.Apply(c), changed = true;
        if (s.positionEveryBlock || changed || block == 0) host.QueuePosition(0, transport.Lv2Time());
        const std::vector<int> starts = PartStarts(s, block);
        for (size_t part = 0; part < starts.size(); ++part) {
            const int begin = starts[part], end = part + 1 < starts.size() ? starts[part + 1] : s.blockFrames;
            if (part > 0) {
                for (const Cue& c : s.cues)
                    if (c.block == block && IsTransport(c) && c.offset == begin) transport.Apply(c);
                host.QueuePosition(begin, transport.Lv2Time());
            }
            for (const Cue& c : s.cues)
                if (c.block == block && c.kind == Cue::Midi && c.offset >= begin && c.offset < end)
                    host.QueueMidi(c.offset, c.status, c.data1, c.data2);
            transport.Advance(end - begin);
        }
        for (const Lv2Midi& m : host.Run(s.blockFrames))
            heard.emplace_back(int64_t(block) * s.blockFrames + m.frame, m.status, m.data1, m.data2);
    }
    return heard;
}

std::vector<Cue> HeldChord(int onBlock, int offBlock) {
    return {Note(onBlock, 10, 0x90, 36, 100), Note(onBlock, 11, 0x90, 40, 90), Note(onBlock, 12, 0x90, 43, 80),
            Note(offBlock, 5, 0x80, 36, 0),   Note(offBlock, 5, 0x80, 40, 0),  Note(offBlock, 6, 0x80, 43, 0)};
}

std::vector<Cue> With(std::vector<Cue> cues, std::initializer_list<Cue> more) {
    cues.insert(cues.end(), more);
    return cues;
}

const Scenario kScenarios[] = {
    {"a chord held while the host plays, a position every block", 1024, 120, true,
     With(HeldChord(2, 100), {At(0, 0, Cue::Play)})},
    {"the same, positions only when the transport changes", 1024, 120, false,
     With(HeldChord(2, 100), {At(0, 0, Cue::Play)})},
    {"odd block sizes", 333, 300, true, With(HeldChord(3, 250), {At(0, 0, Cue::Play)})},
    {"the transport starts inside a block", 1000, 120, false,
     With(HeldChord(1, 110), {At(4, 517, Cue::Play)})},
    {"the transport stops, then plays on", 512, 300, true,
     With(HeldChord(2, 280), {At(0, 0, Cue::Play), At(120, 0, Cue::Stop), At(160, 0, Cue::Play)})},
    {"a loop jumps back to its start", 1024, 200, true,
     With(HeldChord(2, 190), {At(0, 0, Cue::Play), At(94, 0, Cue::JumpTo, 0.0), At(188, 0, Cue::JumpTo, 0.0)})},
    {"the tempo changes", 1024, 200, false,
     With(HeldChord(2, 190), {At(0, 0, Cue::Play), At(60, 0, Cue::Tempo, 97.0), At(130, 333, Cue::Tempo, 150.0)})},
    {"a pattern switch by port", 1024, 160, true,
     With(HeldChord(2, 150), {At(0, 0, Cue::Play), PortTo(50, 0, 1.0), PortTo(100, 0, 2.0)})},
    {"keys played while the host is stopped", 256, 400, false, HeldChord(1, 380)},
};

TEST(Lv2PlaysLikeVst2Test, EveryScenarioSoundsTheSameThroughBothModules) {
    for (const Scenario& s : kScenarios) {
        Lv2TestHost lv2;
        ASSERT_TRUE(lv2.Loaded()) << "Sorel.lv2 not found on SOREL_LV2_PATH";
        const std::vector<Heard> heard = ThroughLv2(s, lv2);
        EXPECT_GT(heard.size(), 10u) << s.name;
        EXPECT_EQ(heard, ThroughVst2(s, {}, lv2)) << s.name;
    }
}

// A factory preset chosen in the host's menu plays as the VST 2 module plays
// the state the preset holds.
TEST(Lv2PlaysLikeVst2Test, AFactoryPresetPlaysAsItsStateDoes) {
    const Scenario s{"held chord", 1024, 120, true, With(HeldChord(2, 100), {At(0, 0, Cue::Play)})};
    Lv2TestHost lv2;
    ASSERT_TRUE(lv2.Loaded());
    const auto presets = lv2.Presets();
    ASSERT_TRUE(presets.contains("bass: Root Fifth Walk"));
    const std::vector<Heard> fresh = ThroughLv2(s, *std::make_unique<Lv2TestHost>());
    ASSERT_TRUE(lv2.LoadPreset(presets.at("bass: Root Fifth Walk")));
    const auto saved = lv2.SaveProperties();
    ASSERT_TRUE(saved.contains("https://vardo.example/plugins/sorel#state"));
    const std::vector<uint8_t> state = saved.at("https://vardo.example/plugins/sorel#state").bytes;
    const std::vector<Heard> heard = ThroughLv2(s, lv2);
    EXPECT_NE(heard, fresh);
    EXPECT_EQ(heard, ThroughVst2(s, state, lv2));
}

}  // namespace
}  // namespace sorel::test
