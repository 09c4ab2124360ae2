// The one source of chance of the hostile host: a seeded generator for the
// soak, or the bytes of a fuzzer's input for the MIDI-path fuzzer. Past the
// input's end every draw is its lowest value and every chance fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

namespace sorel::soak {

class Dice {
public:
    explicit Dice(uint64_t seed) : rng_(seed) {}
    Dice(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Exhausted() const { return data_ != nullptr && pos_ >= size_; }
    // lo..hi, both included.
    int64_t Uniform(int64_t lo, int64_t hi) {
        const uint64_t span = static_cast<uint64_t>(hi - lo) + 1;
        int bytes = 1;
        while (bytes < 8 && (span - 1) >> (8 * bytes) != 0) ++bytes;
        return lo + static_cast<int64_t>(span == 0 ? Bits(8) : Bits(bytes) % span);
    }
    bool Chance(double p) { return static_cast<double>(Uniform(0, kSteps - 1)) >= (1.0 - p) * kSteps; }
    double Real(double lo, double hi) { return lo + (hi - lo) * static_cast<double>(Uniform(0, kSteps - 1)) / kSteps; }
    template <typename T, size_t N>
    const T& Pick(const T (&choices)[N]) { return choices[Uniform(0, N - 1)]; }

private:
    static constexpr int64_t kSteps = 1 << 16;

    uint64_t Bits(int bytes) {
        if (data_ == nullptr) return rng_();
        uint64_t bits = 0;
        for (int i = 0; i < bytes; ++i) bits = bits << 8 | (pos_ < size_ ? data_[pos_++] : 0);
        return bits;
    }

    std::mt19937_64 rng_;
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
};

}  // namespace sorel::soak
