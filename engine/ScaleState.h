// The scale of one key area: which pitches a transposition may land on.
// All four areas are set together from "Scale", "Scale key " and "Scale mode".
#pragma once

#include <array>

#include "engine/ScaleTable.h"

namespace sorel {

class ScaleState {
public:
    static constexpr int kNoScale = -1;

    ScaleState();

    // scaleIndex 0..39 into the table; anything else (kNoScale included) turns the scale off.
    void SetScale(int scaleIndex);
    // The "Scale" parameter value: 0 = off, v = scale v - 1.
    void SetScaleParameter(int value) { SetScale(value - 1); }
    // Both wrap into 0..11.
    void SetMode(int mode);
    void SetKey(int key);

    int ScaleIndex() const { return scaleIndex_; }
    int Mode() const { return mode_; }
    int Key() const { return key_; }
    bool HasScale() const { return scaleIndex_ != kNoScale; }

    // Moves the note by scale degrees; the note's own position counts as the
    // first tone met, so 0 steps leaves a scale tone and lifts any other note to
    // the next tone above. The result is always a MIDI note 0..127.
    int Transpose(int note, int steps) const;
    int Quantise(int note) const { return Transpose(note, 0); }
    // "Transpose as semitones": plain semitones, then onto the scale.
    int TransposeSemitones(int note, int semitones) const { return Quantise(note + semitones); }
    // One entry point for the key area: degrees, or semitones when asSemitones is set.
    int Move(int note, int steps, bool asSemitones) const {
        return asSemitones ? TransposeSemitones(note, steps) : Transpose(note, steps);
    }

    bool InScale(int note) const;
    // rotated[k] tells whether the semitone key + k belongs to the scale.
    const ScaleTable::Pattern& Rotated() const { return rotated_; }

private:
    void ReloadPattern();
    void Rotate();

    int mode_ = 0;
    ScaleTable::Pattern pattern_{};
    ScaleTable::Pattern rotated_{};
    int scaleIndex_ = 0;
    int key_ = 0;
    bool hasTone_ = false;
};

}  // namespace sorel
