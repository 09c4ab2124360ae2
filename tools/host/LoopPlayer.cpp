#include "LoopPlayer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace sorel::host {
namespace {

VstMidiEvent midiEventOf(const MidiEvent& event) {
    VstMidiEvent midi{};
    midi.type = kVstMidiType;
    midi.byteSize = sizeof(VstMidiEvent);
    for (int i = 0; i < event.size && i < 3; ++i) midi.midiData[i] = char(event.bytes[size_t(i)]);
    return midi;
}

TempoMap tempoMapOf(const MidiSong& song, double sampleRate, std::optional<double> beatsPerMinute) {
    return beatsPerMinute ? TempoMap(song, sampleRate, *beatsPerMinute) : TempoMap(song, sampleRate);
}

}  // namespace

LoopPlayer::LoopPlayer(HostedPlugin& plugin, const MidiSong& song, std::optional<double> beatsPerMinute)
    : plugin_(plugin), tempoMap_(tempoMapOf(song, plugin.sampleRate(), beatsPerMinute)) {
    for (const MidiEvent& event : song.events)
        schedule_.push_back({std::llround(tempoMap_.ticksToSamples(event.tick)), midiEventOf(event)});
    // The loop ends with the bar in which the song ends.
    const double endQuarters = tempoMap_.samplesToQuarters(tempoMap_.ticksToSamples(song.lengthTicks));
    double loopEnd = tempoMap_.barStartAt(endQuarters);
    if (loopEnd < endQuarters || endQuarters <= 0.0) loopEnd += tempoMap_.barLengthAt(endQuarters);
    loopLength_ = std::max<int64_t>(std::llround(tempoMap_.quartersToSamples(loopEnd)), plugin.maxBlockSize());
    blockEvents_.reserve(schedule_.size() + 16 * 128);
}

LoopPlayer::~LoopPlayer() { stop(); }

double LoopPlayer::loopSeconds() const { return double(loopLength_) / plugin_.sampleRate(); }

void LoopPlayer::start() {
    plugin_.setSession(this);
    plugin_.resume();
    stop_ = false;
    thread_ = std::thread([this] { run(); });
}

void LoopPlayer::stop() {
    if (!thread_.joinable()) return;
    stop_ = true;
    thread_.join();
    plugin_.suspend();
    plugin_.setSession(nullptr);
}

void LoopPlayer::run() {
    using Clock = std::chrono::steady_clock;
    auto due = Clock::now();
    while (!stop_) {
        const int64_t frames = std::min<int64_t>(plugin_.maxBlockSize(), loopLength_ - position_);
        playBlock(frames);
        due += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(frames / plugin_.sampleRate()));
        std::this_thread::sleep_until(due);
    }
    // The transport stops; the plug-in ends what still sounds.
    transportChanged_ = true;
    {
        std::lock_guard guard(timeLock_);
        time_.flags &= ~kVstTransportPlaying;
    }
    releaseHeldInput();
    playBlock(0);
}

void LoopPlayer::playBlock(int64_t frames) {
    const int64_t end = position_ + frames;
    for (; cursor_ < schedule_.size() && schedule_[cursor_].sample < end; ++cursor_) {
        VstMidiEvent event = schedule_[cursor_].event;
        event.deltaFrames = VstInt32(std::max<int64_t>(0, schedule_[cursor_].sample - position_));
        const int channel = event.midiData[0] & 0x0F, note = event.midiData[1] & 0x7F;
        const int kind = event.midiData[0] & 0xF0;
        if (kind == 0x90 && event.midiData[2] != 0) ++held_[channel][note];
        else if ((kind == 0x80 || kind == 0x90) && held_[channel][note] > 0) --held_[channel][note];
        blockEvents_.push_back(event);
    }
    {
        std::lock_guard guard(timeLock_);
        const double quarters = tempoMap_.samplesToQuarters(double(position_));
        const TimeSignatureChange signature = tempoMap_.signatureAt(quarters);
        time_ = VstTimeInfo{};
        time_.samplePos = double(position_);
        time_.sampleRate = plugin_.sampleRate();
        time_.ppqPos = quarters;
        time_.tempo = tempoMap_.tempoAtQuarters(quarters);
        time_.barStartPos = tempoMap_.barStartAt(quarters);
        time_.timeSigNumerator = signature.numerator;
        time_.timeSigDenominator = signature.denominator;
        time_.flags = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid |
                      (stop_ ? 0 : kVstTransportPlaying) | (transportChanged_ ? kVstTransportChanged : 0);
    }
    plugin_.processBlock(blockEvents_, int(frames));
    blockEvents_.clear();
    transportChanged_ = false;
    position_ = end;
    if (position_ < loopLength_) return;
    position_ = 0;
    cursor_ = 0;
    transportChanged_ = true;
    releaseHeldInput();
    ++loops_;
}

// A host ends every note it started when its position jumps.
void LoopPlayer::releaseHeldInput() {
    for (int channel = 0; channel < 16; ++channel) {
        for (int note = 0; note < 128; ++note) {
            for (; held_[channel][note] > 0; --held_[channel][note]) {
                VstMidiEvent off{};
                off.type = kVstMidiType;
                off.byteSize = sizeof(VstMidiEvent);
                off.midiData[0] = char(0x80 | channel);
                off.midiData[1] = char(note);
                blockEvents_.push_back(off);
            }
        }
    }
}

const VstTimeInfo* LoopPlayer::timeInfo(VstInt32 requestMask) {
    // The plug-in may ask from its editor thread too: each thread reads its own copy.
    thread_local VstTimeInfo copy;
    std::lock_guard guard(timeLock_);
    copy = time_;
    copy.flags &= requestMask | kVstTransportPlaying | kVstTransportChanged;
    return &copy;
}

void LoopPlayer::receiveMidi(const VstMidiEvent& event) {
    if ((event.midiData[0] & 0xF0) == 0x90 && event.midiData[2] != 0) ++notesOut_;
}

}  // namespace sorel::host
