// One slot of the parameter table: a value with its range, step, default,
// names and display texts. The value is atomic so that a reader on another
// thread (an editor redraw) never sees a torn double; every change still
// happens under the plug-in lock.
#pragma once

#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sorel {

enum class ParamKind : uint8_t { None, Integer, Enumeration, Double };

// Texts shown for enumeration values; shared between the many slots of one
// family so that the table stays small.
using DisplayTexts = std::vector<std::pair<int, std::string>>;

class Parameter {
public:
    static constexpr size_t kMaxTextLength = 32;

    Parameter() = default;
    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;

    void InitDouble(std::string name, double defaultValue, double minimum, double maximum,
                    double step);
    void InitInteger(std::string name, double defaultValue, double minimum, double maximum);
    void InitEnumeration(std::string name, double defaultValue, int count);
    void SetDisplayTexts(std::shared_ptr<const DisplayTexts> texts);
    void AddDisplayText(int value, std::string text);

    double Value() const { return std::bit_cast<double>(value_.load(std::memory_order_relaxed)); }
    // Limits to the range; a value that is not a number becomes the minimum.
    void SetValue(double plain);
    void SetNormalized(double normalized);
    double Normalized() const { return ToNormalized(Value()); }
    double ToNormalized(double plain) const;
    double FromNormalized(double normalized) const;
    void ResetToDefault() { SetValue(default_); }

    // The text of `plain`: its display text when it has one, else the number.
    std::string DisplayText(double plain) const;
    std::string DisplayText() const { return DisplayText(Value()); }
    // Value whose display text equals `text`; false when none does.
    bool ValueForText(std::string_view text, double& plain) const;
    bool HasDisplayTexts() const { return texts_ && !texts_->empty(); }

    ParamKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    // No parameter of this plug-in has a unit text.
    const std::string& Label() const;
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    double Step() const { return step_; }
    double Shape() const { return shape_; }
    double Default() const { return default_; }
    int DisplayPrecision() const { return displayPrecision_; }
    bool NegateDisplay() const { return negateDisplay_; }

private:
    void Store(double plain) { value_.store(std::bit_cast<uint64_t>(plain), std::memory_order_relaxed); }

    // Laid out tightly: the table holds tens of thousands of these. The
    // value is kept as its bit pattern: atomics of double are mis-built by
    // some compilers' thread sanitizer.
    std::atomic<uint64_t> value_{0};
    double minimum_ = 0.0;
    double maximum_ = 1.0;
    double step_ = 1.0;
    double shape_ = 1.0;
    double default_ = 0.0;
    std::string name_;
    std::shared_ptr<const DisplayTexts> texts_;
    ParamKind kind_ = ParamKind::None;
    int8_t displayPrecision_ = 0;
    bool negateDisplay_ = false;

public:
    bool keepOnPresetLoad = false;
    bool noHostReport = false;
};

}  // namespace sorel
