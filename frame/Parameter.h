// One slot of an instance's parameter table: eight bytes of value in the
// table's block, which opens with the shared descriptions (see
// ParameterTable). The value is kept as its difference from the default, so
// that a slot nobody changed is a page of zeros the kernel never has to
// provide. It is read and written atomically so that a reader on another
// thread (an editor redraw) never sees a torn double; every change still
// happens under the plug-in lock.
#pragma once

#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/ParameterIndex.h"
#include "frame/ParameterInfo.h"

namespace sorel {

class Parameter;

// The start of a table's block: where its descriptions and slots are.
struct ParameterBlockHead {
    const ParameterInfo* infos;
    const Parameter* slots;
};

class Parameter {
public:
    // Head, slots and keepOnPresetLoad flags, rounded up to a power of two:
    // the block is aligned to its size, so a slot finds the head by masking
    // its own address.
    static constexpr size_t kSlotsOffset = 16;
    static constexpr size_t kBlockBytes =
        std::bit_ceil(kSlotsOffset + size_t{param::kCount} * (sizeof(uint64_t) + sizeof(uint8_t)));
    static_assert(sizeof(ParameterBlockHead) <= kSlotsOffset);

    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;

    const ParameterInfo& Info() const {
        const auto* head =
            reinterpret_cast<const ParameterBlockHead*>(reinterpret_cast<uintptr_t>(this) & ~(kBlockBytes - 1));
        return head->infos[this - head->slots];
    }

    double Value() const { return std::bit_cast<double>(Bits().load(std::memory_order_relaxed) ^ DefaultBits()); }
    // Limits to the range; a value that is not a number becomes the minimum.
    void SetValue(double plain) { Store(Info().Clamp(plain)); }
    void SetNormalized(double normalized) { Store(Info().FromNormalized(normalized)); }
    double Normalized() const { return Info().ToNormalized(Value()); }
    double ToNormalized(double plain) const { return Info().ToNormalized(plain); }
    double FromNormalized(double normalized) const { return Info().FromNormalized(normalized); }
    // Knob frames and hints show the value the engine plays.
    double ShownValue(double plain) const { return Info().ShownValue(plain); }
    double ShownValue() const { return ShownValue(Value()); }
    double ShownNormalized() const { return ToNormalized(ShownValue()); }
    bool MovesInWholeSteps() const { return Info().MovesInWholeSteps(); }
    void ResetToDefault() { SetValue(Info().Default()); }

    std::string DisplayText(double plain) const { return Info().DisplayText(plain); }
    std::string DisplayText() const { return DisplayText(Value()); }
    bool ValueForText(std::string_view text, double& plain) const { return Info().ValueForText(text, plain); }
    bool HasDisplayTexts() const { return Info().HasDisplayTexts(); }

    ParamKind Kind() const { return Info().Kind(); }
    const std::string& Name() const { return Info().Name(); }
    const std::string& Label() const { return Info().Label(); }
    double Minimum() const { return Info().Minimum(); }
    double Maximum() const { return Info().Maximum(); }
    double Step() const { return Info().Step(); }
    double Shape() const { return Info().Shape(); }
    double Default() const { return Info().Default(); }
    int DisplayPrecision() const { return Info().DisplayPrecision(); }
    bool NegateDisplay() const { return Info().NegateDisplay(); }
    bool NoHostReport() const { return Info().NoHostReport(); }

private:
    friend class ParameterTable;
    // Slots come to life in the zeroed block of a table, at their default.
    Parameter() = default;

    uint64_t DefaultBits() const { return std::bit_cast<uint64_t>(Info().Default()); }
    std::atomic_ref<uint64_t> Bits() const { return std::atomic_ref<uint64_t>(differenceFromDefault_); }
    void Store(double plain) { Bits().store(std::bit_cast<uint64_t>(plain) ^ DefaultBits(), std::memory_order_relaxed); }

    // The value's bit pattern exclusive-or the default's: atomics of double
    // are mis-built by some compilers' thread sanitizer.
    alignas(std::atomic_ref<uint64_t>::required_alignment) mutable uint64_t differenceFromDefault_;
};

}  // namespace sorel
