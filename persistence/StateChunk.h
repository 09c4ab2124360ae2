// A growable byte buffer written by appending and read by position. A read
// that does not fit yields -1, and every read at a negative position fails
// too, so one short read makes all later reads of a chain fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorel {

class StateChunk {
public:
    static constexpr size_t kGrowthStep = 4096;

    StateChunk() = default;
    explicit StateChunk(std::span<const uint8_t> bytes);

    // Makes room for `extra` more bytes at once, so that a long write does
    // not grow the buffer step by step.
    void Reserve(size_t extra) { Grow(extra); }
    void PutBytes(const void* data, size_t size);
    void PutByte(uint8_t value);
    void PutInt32(int32_t value);
    void PutDouble(double value);
    // Zero-terminated and zero-padded to `width` bytes; longer text is cut so
    // that the terminator always fits.
    void PutText(std::string_view text, size_t width);

    // Each Get returns the position after the field, or -1 (destination untouched).
    int GetBytes(void* out, size_t size, int pos) const;
    int GetByte(uint8_t& out, int pos) const;
    int GetInt32(int32_t& out, int pos) const;
    int GetDouble(double& out, int pos) const;
    // The text ends at the first zero byte, at the field's last byte at the latest.
    int GetText(std::string& out, size_t width, int pos) const;
    // Bytes left from `pos` on (0 for a negative or past-the-end position).
    size_t BytesLeft(int pos) const;

    const uint8_t* Data() const { return bytes_.data(); }
    size_t Size() const { return bytes_.size(); }
    bool Empty() const { return bytes_.empty(); }
    void Clear() { bytes_.clear(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    bool Fits(size_t width, int pos) const;
    void Grow(size_t extra);

    std::vector<uint8_t> bytes_;
};

}  // namespace sorel
