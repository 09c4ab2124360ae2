#include "Renderer.h"

#include <algorithm>
#include <cmath>

namespace sorel::host {
namespace {

constexpr double kMidiClocksPerQuarter = 24.0;

TempoMap makeTempoMap(const MidiSong& input, const RenderOptions& options) {
    if (options.beatsPerMinute) return TempoMap(input, options.sampleRate, *options.beatsPerMinute);
    return TempoMap(input, options.sampleRate);
}

VstMidiEvent midiEvent(const uint8_t* bytes, int size, int deltaFrames) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = deltaFrames;
    for (int i = 0; i < size && i < 3; ++i) event.midiData[i] = char(bytes[i]);
    return event;
}

int messageSize(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 2 : 3;
}

}  // namespace

Renderer::Renderer(HostedPlugin& plugin, const MidiSong& input, const RenderOptions& options)
    : plugin_(plugin), options_(options), tempoMap_(makeTempoMap(input, options)) {
    scheduleInput(input);
    songEnd_ = std::llround(tempoMap_.ticksToSamples(input.lengthTicks));
    const double endQuarters = tempoMap_.samplesToQuarters(double(songEnd_));
    const double tailQuarters = options_.tailBars * tempoMap_.barLengthAt(endQuarters);
    tailSamples_ = std::llround(tempoMap_.quartersToSamples(endQuarters + tailQuarters)) - songEnd_;
    if (options_.loop && !options_.stopped) {
        loopStart_ = std::llround(tempoMap_.quartersToSamples(options_.loop->startQuarters));
        loopEnd_ = std::llround(tempoMap_.quartersToSamples(options_.loop->endQuarters));
        transport_.loopActive = loopEnd_ > loopStart_ && options_.loopPasses > 0;
    }
    blockEvents_.reserve(schedule_.size() + 16 * 128);
    result_.output.ppqn = input.ppqn;
    result_.output.signatures = input.signatures;
    result_.output.tempos = tempoMap_.tempoChanges();
}

Renderer::~Renderer() { plugin_.setSession(nullptr); }

void Renderer::scheduleInput(const MidiSong& input) {
    schedule_.reserve(input.events.size());
    for (const MidiEvent& event : input.events) {
        const int64_t sample = std::llround(tempoMap_.ticksToSamples(event.tick));
        schedule_.push_back({sample, midiEvent(event.bytes.data(), event.size, 0), event.isNoteOn(), event.isNoteOff()});
    }
    // At one instant a host ends notes before it starts new ones.
    std::stable_sort(schedule_.begin(), schedule_.end(), [](const ScheduledEvent& a, const ScheduledEvent& b) {
        if (a.sample != b.sample) return a.sample < b.sample;
        return a.noteOff && !b.noteOff;
    });
}

double Renderer::estimatedTotalSamples() const {
    double total = double(std::max(songEnd_, loopEnd_) + tailSamples_);
    if (transport_.loopActive) total += double(options_.loopPasses - 1) * double(loopEnd_ - loopStart_);
    return std::max(1.0, total);
}

int64_t Renderer::nextBlockLength(int64_t renderEnd) const {
    const int64_t position = options_.stopped ? renderPosition_ : transport_.songPosition;
    int64_t frames = std::min<int64_t>(options_.blockSize, renderEnd - position);
    // A block never runs across the loop end: the next one starts at the loop start.
    if (transport_.loopActive && transport_.songPosition < loopEnd_)
        frames = std::min(frames, loopEnd_ - transport_.songPosition);
    return std::max<int64_t>(frames, 0);
}

void Renderer::trackHeldInput(const ScheduledEvent& scheduled) {
    const int channel = uint8_t(scheduled.event.midiData[0]) & 0x0F;
    const int note = uint8_t(scheduled.event.midiData[1]) & 0x7F;
    if (scheduled.noteOn) {
        ++heldInput_[channel][note];
        ++result_.notesIn;
    } else if (scheduled.noteOff && heldInput_[channel][note] > 0) {
        --heldInput_[channel][note];
    }
}

void Renderer::collectInput(int64_t from, int64_t to) {
    while (cursor_ < schedule_.size() && schedule_[cursor_].sample < to) {
        const ScheduledEvent& scheduled = schedule_[cursor_++];
        if (scheduled.sample < from) continue;
        VstMidiEvent event = scheduled.event;
        event.deltaFrames = VstInt32(scheduled.sample - from);
        blockEvents_.push_back(event);
        trackHeldInput(scheduled);
    }
}

// What a host does when its position jumps or it stops: every input note it
// started gets its note-off, so that nothing hangs.
void Renderer::releaseHeldInput() {
    for (int channel = 0; channel < 16; ++channel) {
        for (int note = 0; note < 128; ++note) {
            for (; heldInput_[channel][note] > 0; --heldInput_[channel][note]) {
                const uint8_t noteOff[3] = {uint8_t(0x80 | channel), uint8_t(note), 0};
                blockEvents_.push_back(midiEvent(noteOff, 3, 0));
            }
        }
    }
}

void Renderer::processOneBlock(int64_t frames) {
    blockFrames_ = frames;
    plugin_.processBlock(blockEvents_, int(frames));
    blockEvents_.clear();
    transport_.changed = false;
    renderPosition_ += frames;
    if (transport_.playing) transport_.songPosition += frames;
}

void Renderer::jumpToLoopStartWhenDue() {
    if (!transport_.loopActive || transport_.songPosition < loopEnd_) return;
    if (++loopPassesDone_ >= options_.loopPasses) {
        transport_.loopActive = false;
        transport_.changed = true;
        return;
    }
    transport_.songPosition = loopStart_;
    cursor_ = size_t(std::lower_bound(schedule_.begin(), schedule_.end(), loopStart_,
                                      [](const ScheduledEvent& e, int64_t s) { return e.sample < s; }) -
                     schedule_.begin());
    releaseHeldInput();
}

RenderResult Renderer::run(const Progress& progress) {
    plugin_.setSession(this);
    plugin_.resume();
    const int64_t playEnd = std::max(songEnd_, transport_.loopActive ? loopEnd_ : 0) + tailSamples_;
    const double total = estimatedTotalSamples();
    transport_.playing = !options_.stopped;
    transport_.changed = true;
    for (;;) {
        const int64_t frames = nextBlockLength(playEnd);
        if (frames == 0) break;
        const int64_t from = options_.stopped ? renderPosition_ : transport_.songPosition;
        collectInput(from, from + frames);
        processOneBlock(frames);
        jumpToLoopStartWhenDue();
        if (progress) progress(std::min(1.0, double(renderPosition_) / total));
    }
    // Stop the transport and let the plug-in end what still sounds.
    transport_.changed = transport_.playing;
    transport_.playing = false;
    transport_.loopActive = false;
    releaseHeldInput();
    const int64_t stoppedEnd = renderPosition_ + std::llround(options_.stoppedTailSeconds * options_.sampleRate);
    while (renderPosition_ < stoppedEnd) processOneBlock(std::min<int64_t>(options_.blockSize, stoppedEnd - renderPosition_));
    plugin_.suspend();
    plugin_.setSession(nullptr);
    if (progress) progress(1.0);
    result_.seconds = double(renderPosition_) / options_.sampleRate;
    result_.output.lengthTicks = tempoMap_.samplesToTicks(double(renderPosition_));
    return result_;
}

const VstTimeInfo* Renderer::timeInfo(VstInt32 requestMask) {
    timeInfo_ = VstTimeInfo{};
    const double samples = options_.stopped ? 0.0 : double(transport_.songPosition);
    const double quarters = tempoMap_.samplesToQuarters(samples);
    const TimeSignatureChange signature = tempoMap_.signatureAt(quarters);
    timeInfo_.samplePos = samples;
    timeInfo_.sampleRate = options_.sampleRate;
    timeInfo_.nanoSeconds = samples / options_.sampleRate * 1e9;
    timeInfo_.ppqPos = quarters;
    timeInfo_.tempo = tempoMap_.tempoAtQuarters(quarters);
    timeInfo_.barStartPos = tempoMap_.barStartAt(quarters);
    timeInfo_.timeSigNumerator = signature.numerator;
    timeInfo_.timeSigDenominator = signature.denominator;
    const double clocks = quarters * kMidiClocksPerQuarter;
    const double nextClock = std::ceil(clocks - 1e-9);
    timeInfo_.samplesToNextClock =
        VstInt32(std::lround(tempoMap_.quartersToSamples(nextClock / kMidiClocksPerQuarter) - samples));
    VstInt32 offered = kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid | kVstClockValid;
    if (options_.loop && !options_.stopped) {
        timeInfo_.cycleStartPos = options_.loop->startQuarters;
        timeInfo_.cycleEndPos = options_.loop->endQuarters;
        offered |= kVstCyclePosValid;
    }
    timeInfo_.flags = requestMask & offered;
    if (transport_.playing) timeInfo_.flags |= kVstTransportPlaying;
    if (transport_.loopActive) timeInfo_.flags |= kVstTransportCycleActive;
    if (transport_.changed) timeInfo_.flags |= kVstTransportChanged;
    return &timeInfo_;
}

void Renderer::receiveMidi(const VstMidiEvent& event) {
    const uint8_t status = uint8_t(event.midiData[0]);
    if ((status & 0x80) == 0 || status >= 0xF0) return;
    int64_t offset = event.deltaFrames;
    if (offset < 0 || offset >= std::max<int64_t>(blockFrames_, 1)) {
        ++result_.eventsOutsideBlock;
        offset = std::clamp<int64_t>(offset, 0, std::max<int64_t>(blockFrames_ - 1, 0));
    }
    MidiEvent out;
    out.tick = tempoMap_.samplesToTicks(double(renderPosition_ + offset));
    out.size = uint8_t(messageSize(status));
    for (int i = 0; i < out.size; ++i) out.bytes[size_t(i)] = uint8_t(event.midiData[i]) & (i == 0 ? 0xFF : 0x7F);
    result_.output.events.push_back(out);
    result_.channelsOut.insert(out.channel());
    if (out.isNoteOn())
        ++result_.notesOut;
    else if (!out.isNoteOff())
        ++result_.otherEventsOut;
}

}  // namespace sorel::host
