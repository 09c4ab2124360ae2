// Plays a held C major chord for two bars at 120 bpm through the engine, as a
// host would with its transport running, and prints every note that comes out.
#include <cstdio>

#include "engine/EngineContext.h"
#include "engine/ParameterIndex.h"
#include "engine/ParameterReceiver.h"
#include "engine/ProcessorListener.h"
#include "engine/TransportState.h"
#include "engine/VardoApp.h"

namespace {

constexpr double kSampleRate = 48000.0;
constexpr double kTempo = 120.0;
constexpr int kFrames = 512;

class Printer : public sorel::ProcessorListener {
public:
    long blockStart = 0;
    void OnEngineEvents(std::span<sorel::NoteRecord> events, int) override {
        for (const sorel::NoteRecord& r : events) {
            const long at = blockStart + static_cast<long>(r.time);
            std::printf("%8ld  %7.3f s  %-8s ch %2d  note %3d  velocity %3d\n", at, at / kSampleRate,
                        r.isNoteOn ? "note-on" : "note-off", r.channel, r.OutputNote(), r.velocity);
        }
    }
    void OnProcessingState(bool) override {}
};

}  // namespace

int main() {
    using namespace sorel;
    TransportState transport;
    Printer printer;
    EngineContext context(&transport);
    VardoApp app(&printer, &transport, &context);
    ParameterReceiver receiver(&context);
    receiver.ApplyDefaults();
    // Key area 1 takes C2..B3 by default: the chord C3 E3 G3 lies inside it.
    const int chord[] = {48, 52, 55};
    transport.sampleRate = kSampleRate;
    transport.samplesPerBeat = kSampleRate * 60.0 / kTempo;
    transport.playing = true;
    const long twoBars = static_cast<long>(transport.samplesPerBeat * 8);
    std::printf("Sorel engine demo: C major chord held for two bars, 120 bpm, rate 1/16, %g Hz\n", kSampleRate);
    for (long start = 0; start < twoBars + kFrames; start += kFrames) {
        const int frames = kFrames;
        for (int note : chord) {
            int changed[4] = {-1, -1, -1, -1};
            if (start == 0) app.NoteOn(1, note, 100, 0, changed);
            if (start <= twoBars && twoBars < start + frames) app.NoteOff(1, note, static_cast<int>(twoBars - start));
        }
        transport.samplePosition = static_cast<double>(start);
        transport.ppqPosition = start / transport.samplesPerBeat;
        printer.blockStart = start;
        app.ProcessBlock(transport.samplesPerBeat, true, frames);
    }
    return 0;
}
