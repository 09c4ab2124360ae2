#include "TempoMap.h"

#include <algorithm>
#include <cmath>

namespace sorel::host {
namespace {
constexpr int kDefaultMicrosPerQuarter = 500000;
}

TempoMap::TempoMap(const MidiSong& song, double sampleRate)
    : ppqn_(std::max(1, song.ppqn)), sampleRate_(sampleRate), signatures_(song.signatures) {
    buildSegments(song.tempos);
}

TempoMap::TempoMap(const MidiSong& song, double sampleRate, double beatsPerMinute)
    : ppqn_(std::max(1, song.ppqn)), sampleRate_(sampleRate), signatures_(song.signatures) {
    buildSegments({TempoChange{0, int(std::lround(60'000'000.0 / beatsPerMinute))}});
    // Keep the exact tempo rather than the microsecond rounding of a file.
    segments_.front().samplesPerQuarter = sampleRate * 60.0 / beatsPerMinute;
}

void TempoMap::buildSegments(const std::vector<TempoChange>& tempos) {
    segments_.clear();
    auto samplesPerQuarter = [this](int micros) { return sampleRate_ * micros / 1e6; };
    segments_.push_back({0.0, 0.0, samplesPerQuarter(kDefaultMicrosPerQuarter)});
    for (const TempoChange& change : tempos) {
        if (change.microsPerQuarter <= 0) continue;
        const double quarters = double(std::max<int64_t>(0, change.tick)) / ppqn_;
        Segment& last = segments_.back();
        if (quarters <= last.startQuarters) {
            last.samplesPerQuarter = samplesPerQuarter(change.microsPerQuarter);
            continue;
        }
        const double startSamples = last.startSamples + (quarters - last.startQuarters) * last.samplesPerQuarter;
        segments_.push_back({quarters, startSamples, samplesPerQuarter(change.microsPerQuarter)});
    }
    if (signatures_.empty()) signatures_.push_back({0, 4, 4});
}

const TempoMap::Segment& TempoMap::segmentAtQuarters(double quarters) const {
    auto it = std::upper_bound(segments_.begin(), segments_.end(), quarters,
                               [](double q, const Segment& s) { return q < s.startQuarters; });
    return it == segments_.begin() ? segments_.front() : *(it - 1);
}

const TempoMap::Segment& TempoMap::segmentAtSamples(double samples) const {
    auto it = std::upper_bound(segments_.begin(), segments_.end(), samples,
                               [](double s, const Segment& seg) { return s < seg.startSamples; });
    return it == segments_.begin() ? segments_.front() : *(it - 1);
}

double TempoMap::quartersToSamples(double quarters) const {
    const Segment& s = segmentAtQuarters(quarters);
    return s.startSamples + (quarters - s.startQuarters) * s.samplesPerQuarter;
}

double TempoMap::samplesToQuarters(double samples) const {
    const Segment& s = segmentAtSamples(samples);
    return s.startQuarters + (samples - s.startSamples) / s.samplesPerQuarter;
}

int64_t TempoMap::samplesToTicks(double samples) const {
    return std::llround(samplesToQuarters(samples) * ppqn_);
}

double TempoMap::tempoAtQuarters(double quarters) const {
    return sampleRate_ * 60.0 / segmentAtQuarters(quarters).samplesPerQuarter;
}

TimeSignatureChange TempoMap::signatureAt(double quarters) const {
    TimeSignatureChange current = signatures_.front();
    for (const TimeSignatureChange& change : signatures_) {
        if (double(change.tick) / ppqn_ > quarters) break;
        current = change;
    }
    return current;
}

double TempoMap::barLengthAt(double quarters) const {
    const TimeSignatureChange signature = signatureAt(quarters);
    return signature.numerator * 4.0 / signature.denominator;
}

double TempoMap::barStartAt(double quarters) const {
    const TimeSignatureChange signature = signatureAt(quarters);
    const double origin = double(signature.tick) / ppqn_;
    const double length = signature.numerator * 4.0 / signature.denominator;
    if (quarters <= origin) return origin;
    return origin + std::floor((quarters - origin) / length) * length;
}

std::vector<TempoChange> TempoMap::tempoChanges() const {
    std::vector<TempoChange> changes;
    for (const Segment& s : segments_) {
        const int micros = int(std::lround(s.samplesPerQuarter / sampleRate_ * 1e6));
        changes.push_back({std::llround(s.startQuarters * ppqn_), micros});
    }
    return changes;
}

}  // namespace sorel::host
