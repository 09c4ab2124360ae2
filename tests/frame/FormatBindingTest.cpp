// The core plays the same through any binding: a host of a format of its
// own, calling the plug-in core directly with MIDI and its transport, hears
// exactly what the VST 2 binding sends for the same performance.
#include <gtest/gtest.h>

#include <mutex>
#include <tuple>
#include <vector>

#include "support/LinkedPlugin.h"
#include "support/TestHost.h"

namespace sorel::test {
namespace {

constexpr int kFrames = 64;
constexpr int kBlocks = 600;  // six steps of a sixteenth at 120 beats per minute
constexpr double kRate = 48000.0;
constexpr double kTempo = 120.0;

using Heard = std::tuple<int64_t, int, int, int, int>;  // block, offset, status, data 1, data 2
struct Played {
    int block, offset, status, data1, data2;
};

// What a second format's binding does: its own transport, MIDI handed in
// before each block, the block's MIDI taken back out.
class BareHost : public PluginHost {
public:
    explicit BareHost(bool playing) : playing_(playing) {}
    int HostCode() override { return 0; }
    int HostVersion() override { return 0; }
    double SampleRate() const override { return kRate; }
    int BlockSize() const override { return kFrames; }
    bool GetTime(TimeInfo& info) override {
        info.samplePos = samplePos_;
        info.ppqPos = samplePos_ / (kRate * 60.0 / kTempo);
        info.tempo = kTempo;
        info.lastBar = 4.0 * static_cast<int>(info.ppqPos / 4.0);
        info.cycleStart = info.cycleEnd = 0.0;
        info.transportIsRunning = playing_;
        return true;
    }
    void ReportParameterEdit(int, double) override {}
    void BeginParameterEdit(int) override {}
    void EndParameterEdit(int) override {}
    void ParameterValuesChanged() override {}
    bool RequestEditorSize(int, int) override { return false; }

    std::vector<Heard> Play(PluginCore& core, const std::vector<Played>& performance) {
        std::vector<Heard> heard;
        core.Open();
        for (int block = 0; block < kBlocks; ++block) {
            std::lock_guard<std::recursive_mutex> lock(core.Mutex());
            for (const Played& p : performance)
                if (p.block == block)
                    core.HandleMidiMessage({p.offset, static_cast<uint8_t>(p.status), static_cast<uint8_t>(p.data1),
                                            static_cast<uint8_t>(p.data2)});
            TimeInfo time;
            GetTime(time);
            for (const MidiMessage& m : core.ProcessBlock(kFrames, time))
                heard.emplace_back(block, m.offset, m.status, m.data1, m.data2);
            if (playing_) samplePos_ += kFrames;
        }
        return heard;
    }

private:
    bool playing_;
    double samplePos_ = 0.0;
};

std::vector<Heard> ThroughVst2(bool playing, const std::vector<Played>& performance) {
    TestHost host(&InProcessEntry);
    host.transport.sampleRate = kRate;
    host.transport.tempo = kTempo;
    host.transport.playing = playing;
    EXPECT_TRUE(host.CreateAndOpen(kFrames));
    host.SetRecording(true);
    for (int block = 0; block < kBlocks; ++block) {
        for (const Played& p : performance)
            if (p.block == block) host.QueueMidi(p.offset, p.status, p.data1, p.data2);
        host.ProcessBlock(kFrames);
    }
    std::vector<Heard> heard;
    for (const SentMidi& m : host.Sent()) heard.emplace_back(m.block, m.offset, m.status, m.data1, m.data2);
    return heard;
}

struct Performance {
    const char* name;
    bool playing;
    std::vector<Played> midi;
};

TEST(FormatBindingTest, TheCoreSoundsTheSameWithoutTheVst2Binding) {
    const Performance table[] = {
        {"a chord held in the first area while the host plays", true,
         {{2, 10, 0x90, 36, 100}, {2, 11, 0x90, 40, 90}, {2, 12, 0x90, 43, 80}, {450, 5, 0x80, 36, 0},
          {450, 5, 0x80, 40, 0}, {450, 6, 0x80, 43, 0}}},
        {"keys of the first area played while the host is stopped", false,
         {{1, 0, 0x90, 38, 70}, {200, 33, 0x80, 38, 0}, {260, 63, 0x90, 41, 127}, {500, 1, 0x80, 41, 0}}},
        {"keys outside every area, a wheel and a controller passed on", true,
         {{3, 7, 0x95, 20, 64}, {3, 8, 0xE5, 0, 80}, {4, 2, 0xB5, 7, 99}, {9, 50, 0x85, 20, 0}}},
    };
    for (const Performance& row : table) {
        BareHost bare(row.playing);
        const std::vector<Heard> direct = bare.Play(*std::make_unique<Vardo>(bare), row.midi);
        EXPECT_FALSE(direct.empty()) << row.name;
        EXPECT_EQ(direct, ThroughVst2(row.playing, row.midi)) << row.name;
    }
}

}  // namespace
}  // namespace sorel::test
