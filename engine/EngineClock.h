// The engine's musical clock: a linear map between the engine's absolute
// sample count and quarter notes. Every note time is converted through the
// same anchor, so a note lands on the same sample whatever the block size.
#pragma once

#include <cmath>
#include <cstdint>

namespace sorel {

struct EngineClock {
    std::int64_t blockStart = 0;   // engine sample at the start of the current block
    std::int64_t anchorSample = 0; // engine sample at which the quarter-note position was anchorQn
    double anchorQn = 0.0;
    double samplesPerBeat = 0.0;
    double sampleRate = 0.0;
    bool hostPlaying = false;      // quarter notes follow the host's transport
    bool loopJumped = false;       // the host jumped in this block
    double hostSampleEnd = -1.0;   // host sample position where the last playing block ended

    bool Valid() const {
        return std::isfinite(samplesPerBeat) && samplesPerBeat >= 1.0 && std::isfinite(sampleRate) &&
               sampleRate > 0.0;
    }
    // First engine sample at or after the quarter-note position qn. The small
    // tolerance keeps positions that are whole samples in exact arithmetic
    // (0.25 * 24000 = 6000) from landing one sample late through rounding.
    std::int64_t SampleAt(double qn) const {
        const double x = (qn - anchorQn) * samplesPerBeat;
        return anchorSample + static_cast<std::int64_t>(std::ceil(x - 1e-6));
    }
    double QnAt(std::int64_t sample) const {
        return anchorQn + static_cast<double>(sample - anchorSample) / samplesPerBeat;
    }
};

}  // namespace sorel
