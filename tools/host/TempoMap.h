// Maps between ticks, quarter notes, seconds and samples over a song's tempo
// and time-signature changes.
#pragma once

#include "MidiSong.h"

#include <cstdint>
#include <vector>

namespace sorel::host {

class TempoMap {
public:
    TempoMap(const MidiSong& song, double sampleRate);
    // A fixed tempo that replaces the song's tempo changes; the time signatures stay.
    TempoMap(const MidiSong& song, double sampleRate, double beatsPerMinute);

    int ppqn() const { return ppqn_; }
    double sampleRate() const { return sampleRate_; }

    double quartersToSamples(double quarters) const;
    double samplesToQuarters(double samples) const;
    double ticksToSamples(int64_t ticks) const { return quartersToSamples(double(ticks) / ppqn_); }
    int64_t samplesToTicks(double samples) const;
    double tempoAtQuarters(double quarters) const;

    // Quarter-note position of the start of the bar that holds `quarters`.
    double barStartAt(double quarters) const;
    TimeSignatureChange signatureAt(double quarters) const;
    double barLengthAt(double quarters) const;

    // The tempo changes as the song should carry them when written out.
    std::vector<TempoChange> tempoChanges() const;

private:
    struct Segment {
        double startQuarters;
        double startSamples;
        double samplesPerQuarter;
    };
    const Segment& segmentAtQuarters(double quarters) const;
    const Segment& segmentAtSamples(double samples) const;
    void buildSegments(const std::vector<TempoChange>& tempos);

    int ppqn_;
    double sampleRate_;
    std::vector<Segment> segments_;  // never empty
    std::vector<TimeSignatureChange> signatures_;
};

}  // namespace sorel::host
