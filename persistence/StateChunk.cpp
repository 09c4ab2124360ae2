#include "persistence/StateChunk.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <type_traits>

namespace sorel {

namespace {

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559);

template <typename T>
T FromLittleEndian(const uint8_t* p) {
    std::make_unsigned_t<std::conditional_t<std::is_floating_point_v<T>, int64_t, T>> raw = 0;
    for (size_t i = 0; i < sizeof(T); ++i) raw |= static_cast<decltype(raw)>(p[i]) << (8 * i);
    return std::bit_cast<T>(raw);
}

template <typename T>
void ToLittleEndian(T value, uint8_t* p) {
    auto raw = std::bit_cast<std::make_unsigned_t<std::conditional_t<std::is_floating_point_v<T>, int64_t, T>>>(value);
    for (size_t i = 0; i < sizeof(T); ++i) p[i] = static_cast<uint8_t>(raw >> (8 * i));
}

}  // namespace

StateChunk::StateChunk(std::span<const uint8_t> bytes) {
    PutBytes(bytes.data(), bytes.size());
}

void StateChunk::Grow(size_t extra) {
    const size_t needed = bytes_.size() + extra;
    if (needed > bytes_.capacity()) {
        bytes_.reserve((needed + kGrowthStep - 1) / kGrowthStep * kGrowthStep);
    }
}

void StateChunk::PutBytes(const void* data, size_t size) {
    if (size == 0) return;
    Grow(size);
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
}

void StateChunk::PutByte(uint8_t value) { PutBytes(&value, 1); }

void StateChunk::PutInt32(int32_t value) {
    uint8_t raw[4];
    ToLittleEndian(value, raw);
    PutBytes(raw, sizeof raw);
}

void StateChunk::PutDouble(double value) {
    uint8_t raw[8];
    ToLittleEndian(value, raw);
    PutBytes(raw, sizeof raw);
}

void StateChunk::PutText(std::string_view text, size_t width) {
    if (width == 0) return;
    Grow(width);
    const size_t used = std::min(text.size(), width - 1);
    bytes_.insert(bytes_.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(used));
    bytes_.insert(bytes_.end(), width - used, uint8_t{0});
}

bool StateChunk::Fits(size_t width, int pos) const {
    return pos >= 0 && static_cast<size_t>(pos) <= bytes_.size() && width <= bytes_.size() - static_cast<size_t>(pos) &&
           static_cast<size_t>(pos) + width <= static_cast<size_t>(std::numeric_limits<int>::max());
}

size_t StateChunk::BytesLeft(int pos) const {
    if (pos < 0 || static_cast<size_t>(pos) >= bytes_.size()) return 0;
    return bytes_.size() - static_cast<size_t>(pos);
}

int StateChunk::GetBytes(void* out, size_t size, int pos) const {
    if (!Fits(size, pos)) return -1;
    if (size > 0) std::memcpy(out, bytes_.data() + pos, size);
    return pos + static_cast<int>(size);
}

int StateChunk::GetByte(uint8_t& out, int pos) const { return GetBytes(&out, 1, pos); }

int StateChunk::GetInt32(int32_t& out, int pos) const {
    if (!Fits(4, pos)) return -1;
    out = FromLittleEndian<int32_t>(bytes_.data() + pos);
    return pos + 4;
}

int StateChunk::GetDouble(double& out, int pos) const {
    if (!Fits(8, pos)) return -1;
    out = FromLittleEndian<double>(bytes_.data() + pos);
    return pos + 8;
}

int StateChunk::GetText(std::string& out, size_t width, int pos) const {
    if (width == 0 || !Fits(width, pos)) return -1;
    const auto* begin = reinterpret_cast<const char*>(bytes_.data() + pos);
    const size_t length = strnlen(begin, width - 1);
    out.assign(begin, length);
    return pos + static_cast<int>(width);
}

}  // namespace sorel
