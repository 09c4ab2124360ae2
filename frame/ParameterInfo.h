// What one slot of the parameter table is, as opposed to the value it holds:
// name, kind, range, step, default and display texts. Built once per process
// and shared by every instance (see ParameterLayout).
#pragma once

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

class ParameterInfo {
public:
    static constexpr size_t kMaxTextLength = 32;

    void InitDouble(std::string name, double defaultValue, double minimum, double maximum, double step);
    void InitInteger(std::string name, double defaultValue, double minimum, double maximum);
    void InitEnumeration(std::string name, double defaultValue, int count);
    void SetDisplayTexts(std::shared_ptr<const DisplayTexts> texts);
    void AddDisplayText(int value, std::string text);
    void SetNoHostReport() { noHostReport_ = true; }
    void SetKeptOnPresetLoadAtStart() { keptOnPresetLoadAtStart_ = true; }

    // Limits to the range; a value that is not a number becomes the minimum.
    double Clamp(double plain) const;
    double ToNormalized(double plain) const;
    double FromNormalized(double normalized) const;
    // The value as it is shown and played: a parameter whose step is whole
    // (the "Rate" table, octaves, transpose) counts in whole steps, the
    // nearest one, so that 8.99999994 from a host plays and shows 9.
    double ShownValue(double plain) const;
    bool MovesInWholeSteps() const { return step_ > 0.0 && displayPrecision_ == 0; }

    // The text of `plain`: its display text when it has one, else the number.
    std::string DisplayText(double plain) const;
    // The value a typed text names, wherever a user or host types one: the
    // display text it spells, case and spaces aside ("d3" is "D 3"), where
    // exactly one does (an exact spelling wins), else the number it is as a
    // whole; false for anything else, so that "2x" or "up" never becomes a value.
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
    // A change is never reported to the host.
    bool NoHostReport() const { return noHostReport_; }
    // The instance's keepOnPresetLoad flag starts set.
    bool KeptOnPresetLoadAtStart() const { return keptOnPresetLoadAtStart_; }

private:
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
    bool noHostReport_ = false;
    bool keptOnPresetLoadAtStart_ = false;
};

}  // namespace sorel
