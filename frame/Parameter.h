// One slot of an instance's parameter table: the value, and the shared
// description of what the slot is. The value is atomic so that a reader on
// another thread (an editor redraw) never sees a torn double; every change
// still happens under the plug-in lock.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "frame/ParameterInfo.h"

namespace sorel {

class Parameter {
public:
    Parameter();
    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;

    // Takes the description and its default value.
    void Describe(const ParameterInfo& info);
    const ParameterInfo& Info() const { return *info_; }

    double Value() const { return std::bit_cast<double>(value_.load(std::memory_order_relaxed)); }
    // Limits to the range; a value that is not a number becomes the minimum.
    void SetValue(double plain) { Store(info_->Clamp(plain)); }
    void SetNormalized(double normalized) { Store(info_->FromNormalized(normalized)); }
    double Normalized() const { return info_->ToNormalized(Value()); }
    double ToNormalized(double plain) const { return info_->ToNormalized(plain); }
    double FromNormalized(double normalized) const { return info_->FromNormalized(normalized); }
    // Knob frames and hints show the value the engine plays.
    double ShownValue(double plain) const { return info_->ShownValue(plain); }
    double ShownValue() const { return ShownValue(Value()); }
    double ShownNormalized() const { return ToNormalized(ShownValue()); }
    bool MovesInWholeSteps() const { return info_->MovesInWholeSteps(); }
    void ResetToDefault() { SetValue(info_->Default()); }

    std::string DisplayText(double plain) const { return info_->DisplayText(plain); }
    std::string DisplayText() const { return DisplayText(Value()); }
    bool ValueForText(std::string_view text, double& plain) const { return info_->ValueForText(text, plain); }
    bool HasDisplayTexts() const { return info_->HasDisplayTexts(); }

    ParamKind Kind() const { return info_->Kind(); }
    const std::string& Name() const { return info_->Name(); }
    const std::string& Label() const { return info_->Label(); }
    double Minimum() const { return info_->Minimum(); }
    double Maximum() const { return info_->Maximum(); }
    double Step() const { return info_->Step(); }
    double Shape() const { return info_->Shape(); }
    double Default() const { return info_->Default(); }
    int DisplayPrecision() const { return info_->DisplayPrecision(); }
    bool NegateDisplay() const { return info_->NegateDisplay(); }
    bool NoHostReport() const { return info_->NoHostReport(); }

private:
    void Store(double plain) { value_.store(std::bit_cast<uint64_t>(plain), std::memory_order_relaxed); }

    // Kept as its bit pattern: atomics of double are mis-built by some
    // compilers' thread sanitizer.
    std::atomic<uint64_t> value_{0};
    const ParameterInfo* info_;
};

}  // namespace sorel
