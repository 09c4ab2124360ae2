#include "module/lv2/Lv2Transport.h"

#include <cmath>

namespace sorel {
namespace {

constexpr double kSecondsPerMinute = 60.0;
constexpr double kQuarterUnit = 4.0;
// A frame this close to the counted one continues it.
constexpr double kSameFrame = 0.5;
constexpr double kMaxBeatsPerBar = 64.0;
constexpr double kMaxBeatUnit = 64.0;

bool Usable(const std::optional<double>& v) { return v && std::isfinite(*v); }

bool InRange(const std::optional<double>& v, double low, double high) { return Usable(v) && *v >= low && *v <= high; }

}  // namespace

bool Lv2Transport::Continues(const Lv2Transport::Position& position) const {
    if (!known_) return false;
    if (!Usable(position.frame)) return true;  // no frame: the count goes on
    return std::fabs(*position.frame - frame_) < kSameFrame;
}

double Lv2Transport::BeatsAt(double frame) const {
    return anchorBeats_ + (frame - anchorFrame_) * beatsPerMinute_ / (kSecondsPerMinute * sampleRate_);
}

void Lv2Transport::Anchor(double frame, double beats) {
    anchorFrame_ = frame;
    anchorBeats_ = beats;
}

bool Lv2Transport::Take(const Position& position) {
    const bool continues = Continues(position);
    const double countedBeats = BeatsAt(frame_);
    const double oldSpeed = speed_, oldTempo = beatsPerMinute_, oldBar = beatsPerBar_, oldUnit = beatUnit_;
    if (Usable(position.frame) && std::fabs(*position.frame) <= kMaxSamplePosition) frame_ = *position.frame;
    if (Usable(position.speed)) speed_ = *position.speed;
    if (InRange(position.beatsPerMinute, kMinTempo, kMaxTempo)) beatsPerMinute_ = *position.beatsPerMinute;
    if (InRange(position.beatsPerBar, 1.0, kMaxBeatsPerBar)) beatsPerBar_ = *position.beatsPerBar;
    if (InRange(position.beatUnit, 1.0, kMaxBeatUnit)) beatUnit_ = *position.beatUnit;
    const bool toldBeats = Usable(position.beat) || (Usable(position.bar) && Usable(position.barBeat));
    const bool jumped = !continues || (!musical_ && toldBeats);
    if (jumped && toldBeats) {
        const double beats = Usable(position.beat) ? *position.beat : *position.bar * beatsPerBar_ + *position.barBeat;
        Anchor(frame_, beats);
        musical_ = true;
    } else {
        Anchor(frame_, jumped ? BeatsAt(frame_) : countedBeats);
    }
    known_ = true;
    return jumped || speed_ != oldSpeed || beatsPerMinute_ != oldTempo || beatsPerBar_ != oldBar ||
           beatUnit_ != oldUnit;
}

void Lv2Transport::Advance(int frames) {
    if (known_) frame_ += speed_ * frames;
}

TimeInfo Lv2Transport::Now() const {
    TimeInfo info;
    if (!known_) return info;
    info.samplePos = frame_;
    info.transportIsRunning = speed_ != 0.0;
    if (!musical_) return info;
    const double quarters = kQuarterUnit / beatUnit_;
    const double ppq = BeatsAt(frame_) * quarters;
    if (ppq >= 0.0 && ppq <= kMaxQuarterNotes) {
        info.ppqPos = ppq;
        info.lastBar = std::floor(BeatsAt(frame_) / beatsPerBar_) * beatsPerBar_ * quarters;
    }
    info.tempo = beatsPerMinute_ * quarters;
    info.numerator = static_cast<int>(std::lround(beatsPerBar_));
    info.denominator = static_cast<int>(std::lround(beatUnit_));
    return info;
}

}  // namespace sorel
