// libFuzzer target of the MIDI path: the input is a script of host actions
// (event lists delivered with effProcessEvents, blocks of any size with any
// transport, sample-rate and block-size calls, parameter changes) played into
// a plug-in built through the module's own entry. Every MIDI event the
// plug-in sends is checked as it arrives, and when the script changed no
// parameter the keys are released at the end and every note must have ended.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/ParameterIndex.h"
#include "frame/Vardo.h"
#include "persistence/VardoPersistence.h"
#include "support/TestHost.h"

namespace {

using sorel::test::MidiOutChecker;
using sorel::test::TestHost;

constexpr int kMaxEventsPerList = 64;
constexpr int kMaxFrames = TestHost::kMaxFrames;
constexpr int kSettleBlocks = 200;  // two seconds at 48 kHz: a default step is an eighth of one
constexpr int kBlock = 512;

std::unique_ptr<sorel::IPlugVST> BuildPlugin(audioMasterCallback host) {
    auto plugin = std::make_unique<sorel::Vardo>(host);
    plugin->SetPersistenceHooks(sorel::MakePersistenceHooks(*plugin));
    return plugin;
}

// Reads the script; past its end every read yields 0.
class Script {
public:
    Script(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool More() const { return pos_ < size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int Word() { return Byte() | (Byte() << 8); }
    int32_t Long() { return static_cast<int32_t>(Word() | (static_cast<uint32_t>(Word()) << 16)); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

AEffect* LinkedEntry(audioMasterCallback host) { return sorel::CreateEffect(host, &BuildPlugin); }

double OddDouble(uint8_t code, double ordinary) {
    switch (code % 8) {
        case 0: return 0.0;
        case 1: return -1.0;
        case 2: return __builtin_nan("");
        case 3: return __builtin_inf();
        case 4: return 1e300;
        default: return ordinary;
    }
}

class Session {
public:
    Session() : host_(&LinkedEntry) {
        host_.SetRecording(false);
        if (!host_.CreateAndOpen(kBlock)) std::abort();
        time_.sampleRate = 48000.0;
        time_.tempo = 120.0;
        time_.timeSigNumerator = time_.timeSigDenominator = 4;
        time_.flags = kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid;
        list_.resize(sizeof(VstEvents) + kMaxEventsPerList * sizeof(VstEvent*));
    }

    intptr_t Dispatch(int opcode, int index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
        return host_.Dispatch(opcode, index, value, ptr, opt);
    }

    void Events(Script& s) {
        auto* list = reinterpret_cast<VstEvents*>(list_.data());
        VstEvent** entries = list->events;  // longer than the declared two
        const int count = s.Byte() % (kMaxEventsPerList + 1);
        for (int i = 0; i < count; ++i) {
            const uint8_t kind = s.Byte();
            VstMidiEvent& e = midi_[i];
            e = {};
            e.type = kind < 240 ? kVstMidiType : static_cast<VstInt32>(kind & 7);
            e.byteSize = sizeof e;
            e.deltaFrames = kind % 16 == 15 ? s.Long() : s.Word() % 1024;
            e.midiData[0] = static_cast<char>(s.Byte());
            e.midiData[1] = static_cast<char>(s.Byte());
            e.midiData[2] = static_cast<char>(s.Byte());
            entries[i] = kind == 255 ? nullptr : reinterpret_cast<VstEvent*>(&e);
            Track(e);
        }
        list->numEvents = count;
        Dispatch(effProcessEvents, 0, 0, list);
    }

    void Block(Script& s) {
        const int frames = s.Word() % (kMaxFrames + 1);
        const uint8_t transport = s.Byte();
        answersTime_ = transport != 0xFF;
        time_.flags = kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid;
        if (transport & 1) time_.flags |= kVstTransportPlaying;
        if (transport & 2) {
            time_.flags |= kVstTransportCycleActive | kVstCyclePosValid;
            time_.cycleStartPos = s.Byte() / 4.0;
            time_.cycleEndPos = s.Byte() / 4.0;
        }
        if (transport & 4) {
            const uint8_t code = s.Byte();
            time_.tempo = OddDouble(code, 30.0 + s.Byte());
        }
        if (transport & 8) {
            const uint8_t code = s.Byte();
            time_.samplePos = OddDouble(code, s.Long());
        }
        if (transport & 16) {
            const uint8_t code = s.Byte();
            time_.ppqPos = OddDouble(code, s.Word() / 16.0);
        }
        Process(frames);
        if (transport & 1) {
            time_.samplePos += frames;
            time_.ppqPos = time_.samplePos / 24000.0;
        }
    }

    void HostCall(Script& s) {
        switch (s.Byte() % 4) {
            case 0: {
                const uint8_t code = s.Byte();
                Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(OddDouble(code, 44100.0)));
                break;
            }
            case 1: Dispatch(effSetBlockSize, 0, s.Long()); break;
            case 2: Dispatch(effMainsChanged, 0, s.Byte() & 1); break;
            default: Dispatch(effIdle); break;
        }
    }

    void Parameter(Script& s) {
        changedParameters_ = true;
        const int index = s.Long() % 60000;
        const uint8_t code = s.Byte();
        const double ordinary = s.Byte() / 255.0;
        host_.SetParameter(index, static_cast<float>(OddDouble(code, ordinary)));
    }

    // Keys up, transport stopped, a while of blocks: nothing may sound.
    void Finish() {
        answersTime_ = true;
        time_ = {};
        time_.sampleRate = 48000.0;
        time_.tempo = 120.0;
        time_.flags = kVstTempoValid;
        Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
        Dispatch(effSetBlockSize, 0, kBlock);
        // Events still waiting (a control key may yet switch hold on) take
        // effect first; then keys up and hold off: nothing is left to play.
        Process(kBlock);
        for (int area = 0; area < sorel::param::kKeyAreas; ++area)
            host_.SetParameter(sorel::param::kHold + area, 0.0f);
        // Released as a host would, a list of at most kMaxEventsPerList a block.
        int count = 0;
        for (int c = 0; c < 16; ++c)
            for (int k = 0; k < 128; ++k)
                for (; down_[c][k] > 0; --down_[c][k]) {
                    host_.NoteOff(0, c + 1, k);
                    if (++count % kMaxEventsPerList == 0) Process(kBlock);
                }
        for (int i = 0; i < kSettleBlocks; ++i) Process(kBlock);
        if (!changedParameters_) host_.WithChecker([](MidiOutChecker& c) { return c.ReportSoundingNotes(), 0; });
    }

    void Verify() {
        const std::string faults = host_.Faults();
        if (faults.empty()) return;
        fprintf(stderr, "faults: %s\n", faults.c_str());
        std::abort();
    }

private:
    void Process(int frames) {
        host_.SetTime(time_, answersTime_);
        host_.ProcessBlock(frames);
        Verify();
    }

    // Which keys the script holds down, as the plug-in reads them.
    void Track(const VstMidiEvent& e) {
        const auto status = static_cast<uint8_t>(e.midiData[0]);
        const auto key = static_cast<uint8_t>(e.midiData[1]);
        const auto velocity = static_cast<uint8_t>(e.midiData[2]);
        if (e.type != kVstMidiType || key > 127 || velocity > 127) return;
        int& d = down_[status & 0x0F][key];
        if ((status & 0xF0) == 0x90 && velocity > 0) ++d;
        else if (((status & 0xF0) == 0x80 || (status & 0xF0) == 0x90) && d > 0) --d;
    }

    TestHost host_;
    VstTimeInfo time_{};
    bool answersTime_ = true;
    std::vector<unsigned char> list_;
    VstMidiEvent midi_[kMaxEventsPerList];
    int down_[16][128] = {};
    bool changedParameters_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The plug-in's data folder goes to a temporary place, never the player's.
    char pattern[] = "/tmp/sorel-midi-fuzz-XXXXXX";
    if (const char* made = mkdtemp(pattern)) setenv("XDG_DATA_HOME", made, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Script script(data, size);
    Session session;
    int steps = 0;
    while (script.More() && steps++ < 256) {
        const uint8_t op = script.Byte();
        if (op < 128) session.Events(script);
        else if (op < 208) session.Block(script);
        else if (op < 232) session.HostCall(script);
        else session.Parameter(script);
    }
    session.Finish();
    session.Verify();
    return 0;
}
