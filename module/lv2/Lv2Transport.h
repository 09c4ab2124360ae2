// The host's transport as its time:Position objects tell it, counted on
// between them: hosts send one every block or only when something changes,
// and a position whose frame continues the count is no jump, so the beats
// counted here stand (the host's own bar and beat are rounded to its tick
// grid and would jitter the notes by a few samples).
#pragma once

#include <optional>

#include "frame/TimeInfo.h"

namespace sorel {

class Lv2Transport {
public:
    // What one position object says; what it leaves out stays as it was.
    struct Position {
        std::optional<double> frame;
        std::optional<double> speed;
        std::optional<double> beatsPerMinute;
        std::optional<double> bar;
        std::optional<double> barBeat;
        std::optional<double> beat;
        std::optional<double> beatsPerBar;
        std::optional<double> beatUnit;
    };

    explicit Lv2Transport(double sampleRate) : sampleRate_(sampleRate) {}

    // Takes a position at the current frame; true when the transport goes
    // on differently from here (a jump, a start or stop, a new tempo or metre).
    bool Take(const Position& position);
    // The transport at the current frame, as the core reads a block's start.
    TimeInfo Now() const;
    // The frames of a block or part of one went by.
    void Advance(int frames);

private:
    bool Continues(const Position& position) const;
    double BeatsAt(double frame) const;
    void Anchor(double frame, double beats);

    double sampleRate_;
    bool known_ = false;    // a position came at all
    bool musical_ = false;  // one of them told bars and beats
    double frame_ = 0.0;
    double speed_ = 0.0;
    double beatsPerMinute_ = TimeInfo::kDefaultTempo;
    double beatsPerBar_ = 4.0;
    double beatUnit_ = 4.0;
    // Beats are counted from the last jump or change of tempo.
    double anchorFrame_ = 0.0;
    double anchorBeats_ = 0.0;
};

}  // namespace sorel
