// The settings of one of a key area's twelve patterns.
#pragma once

namespace sorel {

class Pattern {
public:
    static constexpr int kRateCount = 24;
    static constexpr int kDefaultRate = 12;  // 1/16

    // Step length in quarter notes of a "Rate" value; 4.0 outside the table.
    static double RateBeats(int rate);
    static bool IsDotted(double beats);

    void SetRate(double value);
    void SetGate(double parameter);
    void SetSteps(int steps);
    void SetFreeRate(double stepsPerSecond);
    void SetSortOrderParameter(int value);

    double swing = 0.0;
    double rateBeats = 0.25;
    double gate = -0.05;       // mapped from the default -10
    double rate = kDefaultRate;
    int steps = 32;
    int noteListDirection = 0;  // 0..3
    int sortOrder = 0;          // 0..3
    int octaves = 1;
    int transpose = 0;
    bool trackOrder = false;
    bool resetOnNewNote = false;
    bool freeMode = false;
    double freeRate = 1.0;      // steps per second
    double humanize = 0.0;      // 0..1: a note's velocity moves by up to this share of kHumanizeSpan
};

}  // namespace sorel
