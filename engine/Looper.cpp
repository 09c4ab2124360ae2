#include "engine/Looper.h"

#include <algorithm>

namespace sorel {

int Looper::EffectiveEnd() const { return std::clamp(std::min(loopEnd_, limit_), 1, maxSteps_); }
int Looper::EffectiveStart() const { return std::clamp(loopStart_, 0, EffectiveEnd() - 1); }

void Looper::SetLimit(int limit) {
    limit_ = std::clamp(limit, 1, maxSteps_);
    position_ = std::clamp(position_, EffectiveStart(), EffectiveEnd() - 1);
}

void Looper::Reset() {
    running_ = false;
    if (direction_ == loop::kDown || direction_ == loop::kDownAlt) {
        position_ = EffectiveEnd() - 1;
        goingDown_ = 1;
    } else {
        position_ = EffectiveStart();
        goingDown_ = 0;
    }
}

Looper::State Looper::Stepped(State s) const {
    const int first = EffectiveStart();
    const int last = EffectiveEnd() - 1;
    const bool alt = direction_ == loop::kUpAlt || direction_ == loop::kDownAlt;
    s.wrapped = false;
    if (last <= first) {
        s.position = first;
        s.wrapped = true;
        return s;
    }
    s.position += s.goingDown ? -1 : 1;
    if (s.position > last) {
        s.wrapped = true;
        if (alt) {
            s.goingDown = 1;
            s.position -= 2;
        } else if (direction_ == loop::kDown) {
            s.position = last;
        } else {
            s.position = first + (s.position - last - 1);
        }
    } else if (s.position < first) {
        s.wrapped = true;
        if (alt) {
            s.goingDown = 0;
            s.position += 2;
        } else if (direction_ == loop::kDown) {
            s.position = last;
        } else {
            s.position = first;
        }
    }
    s.position = std::clamp(s.position, first, last);
    return s;
}

bool Looper::Advance() {
    running_ = true;
    State s = Stepped({position_, goingDown_, false});
    position_ = s.position;
    goingDown_ = s.goingDown;
    return s.wrapped;
}

int Looper::PeekNext() const { return Stepped({position_, goingDown_, false}).position; }

bool Looper::WrapsNext() const { return Stepped({position_, goingDown_, false}).wrapped; }

int Looper::ResetPosition() const {
    return (direction_ == loop::kDown || direction_ == loop::kDownAlt) ? EffectiveEnd() - 1 : EffectiveStart();
}

void Looper::SetLoop(int start, int end) {
    start = std::clamp(start, 0, maxSteps_ - 1);
    end = std::clamp(end, start + 1, maxSteps_);
    loopStart_ = start;
    loopEnd_ = end;
    position_ = std::clamp(position_, EffectiveStart(), EffectiveEnd() - 1);
}

void Looper::SetDirection(int direction) {
    direction_ = std::clamp(direction, 0, 3);
    goingDown_ = (direction_ == loop::kDown || direction_ == loop::kDownAlt) ? 1 : 0;
}

}  // namespace sorel
