// One loop over step indices with a direction: the pattern's step loop and,
// as ControlLooper, each lane's own loop.
#pragma once

namespace sorel {

namespace loop {
constexpr int kUp = 0;
constexpr int kDown = 1;
constexpr int kUpAlt = 2;
constexpr int kDownAlt = 3;
}  // namespace loop

class Looper {
public:
    explicit Looper(int count = 32) : loopEnd_(count), maxSteps_(count), limit_(count) {}
    virtual ~Looper() = default;

    // Back to the loop's first step in its direction.
    virtual void Reset();

    // Moves by one step; true when the loop wrapped or turned at its start.
    bool Advance();
    // The position one advance ahead, without moving.
    int PeekNext() const;
    // Whether the next advance wraps (or turns at the start).
    bool WrapsNext() const;
    // Where Reset puts the position.
    int ResetPosition() const;

    int Position() const { return position_; }
    int LoopStart() const { return loopStart_; }
    int LoopEnd() const { return loopEnd_; }  // one past the last step
    int Direction() const { return direction_; }
    bool Running() const { return running_; }

    // Keeps 0 <= start < end <= maxSteps; the position is kept inside.
    void SetLoop(int start, int end);
    void SetDirection(int direction);
    // A loop reaching past `limit` (the pattern's step count) wraps there.
    void SetLimit(int limit);
    int EffectiveStart() const;
    int EffectiveEnd() const;

protected:
    struct State {
        int position;
        int goingDown;
        bool wrapped;
    };
    State Stepped(State s) const;

    int goingDown_ = 0;
    int loopStart_ = 0;
    int loopEnd_ = 32;
    int direction_ = loop::kUp;
    int position_ = 0;
    bool running_ = false;
    int maxSteps_ = 32;
    int limit_ = 32;
};

}  // namespace sorel
