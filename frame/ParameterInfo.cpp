#include "frame/ParameterInfo.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace sorel {
namespace {

std::string Truncated(std::string text) {
    if (text.size() > ParameterInfo::kMaxTextLength) text.resize(ParameterInfo::kMaxTextLength);
    return text;
}

// Decimal places needed to show multiples of `step` exactly.
int PrecisionOf(double step) {
    double scaled = std::fabs(step);
    int places = 0;
    while (places < 32 && std::fabs(scaled - std::round(scaled)) > 1e-9 * std::max(1.0, scaled)) {
        scaled *= 10.0;
        ++places;
    }
    return places;
}

double Finite(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

// Whether two texts read the same once case and spaces are set aside.
bool SameIgnoringCaseAndSpaces(std::string_view a, std::string_view b) {
    const auto next = [](std::string_view s, std::size_t& i) {
        while (i < s.size() && s[i] == ' ') ++i;
        return i < s.size() ? std::tolower(static_cast<unsigned char>(s[i++])) : -1;
    };
    std::size_t i = 0, j = 0;
    for (;;) {
        const int x = next(a, i), y = next(b, j);
        if (x != y) return false;
        if (x < 0) return true;
    }
}

// A finite number that is the whole text, spaces around it and a leading '+' aside.
bool ParseWholeNumber(std::string_view text, double& number) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(number);
}

}  // namespace

const std::string& ParameterInfo::Label() const {
    static const std::string kNone;
    return kNone;
}

void ParameterInfo::InitDouble(std::string name, double defaultValue, double minimum, double maximum, double step) {
    if (kind_ == ParamKind::None) kind_ = ParamKind::Double;
    name_ = Truncated(std::move(name));
    minimum_ = minimum;
    maximum_ = std::max(minimum + step, maximum);
    step_ = step;
    default_ = defaultValue;
    displayPrecision_ = static_cast<int8_t>(PrecisionOf(step));
}

void ParameterInfo::InitInteger(std::string name, double defaultValue, double minimum, double maximum) {
    if (kind_ == ParamKind::None) kind_ = ParamKind::Integer;
    InitDouble(std::move(name), defaultValue, minimum, maximum, 1.0);
}

void ParameterInfo::InitEnumeration(std::string name, double defaultValue, int count) {
    if (kind_ == ParamKind::None) kind_ = ParamKind::Enumeration;
    InitDouble(std::move(name), defaultValue, 0.0, count - 1, 1.0);
}

void ParameterInfo::SetDisplayTexts(std::shared_ptr<const DisplayTexts> texts) { texts_ = std::move(texts); }

void ParameterInfo::AddDisplayText(int value, std::string text) {
    auto own = texts_ ? std::make_shared<DisplayTexts>(*texts_) : std::make_shared<DisplayTexts>();
    own->emplace_back(value, Truncated(std::move(text)));
    texts_ = std::move(own);
}

double ParameterInfo::Clamp(double plain) const { return std::clamp(Finite(plain, minimum_), minimum_, maximum_); }

double ParameterInfo::FromNormalized(double normalized) const {
    const double n = std::clamp(Finite(normalized, 0.0), 0.0, 1.0);
    double v = minimum_ + (maximum_ - minimum_) * std::pow(n, shape_);
    if (kind_ != ParamKind::Double && step_ > 0.0) v = step_ * std::floor(v / step_ + 0.5);
    return std::clamp(v, minimum_, maximum_);
}

double ParameterInfo::ToNormalized(double plain) const {
    const double span = maximum_ - minimum_;
    if (!(span > 0.0)) return 0.0;
    const double n = (Clamp(plain) - minimum_) / span;
    return shape_ == 1.0 ? n : std::pow(n, 1.0 / shape_);
}

double ParameterInfo::ShownValue(double plain) const {
    const double v = Finite(plain, minimum_);
    if (!MovesInWholeSteps()) return v;
    return std::clamp(step_ * std::round(v / step_), minimum_, maximum_);
}

std::string ParameterInfo::DisplayText(double plain) const {
    // Whole-step values show the step they play; a step of 0 shows the whole part.
    const double whole = step_ > 0.0 ? ShownValue(plain) : std::trunc(Finite(plain, 0.0));
    if (texts_ && std::isfinite(plain)) {
        for (const auto& [value, text] : *texts_) {
            if (value == whole && !text.empty()) return text;
        }
    }
    double shown = displayPrecision_ == 0 ? whole : Finite(plain, 0.0);
    if (negateDisplay_) shown = -shown;
    char buffer[64];
    if (displayPrecision_ == 0) {
        std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(std::clamp(shown, -2147483648.0, 2147483647.0)));
    } else {
        std::snprintf(buffer, sizeof buffer, "%.*f", displayPrecision_, shown);
    }
    return buffer;
}

bool ParameterInfo::ValueForText(std::string_view text, double& plain) const {
    if (texts_) {
        int alike = 0;
        int alikeValue = 0;
        for (const auto& [value, entry] : *texts_) {
            if (entry.empty()) continue;
            if (entry == text) {
                plain = value;
                return true;
            }
            if (SameIgnoringCaseAndSpaces(entry, text) && alike++ == 0) alikeValue = value;
        }
        // Two texts that differ only in case or spaces leave the choice to an exact spelling.
        if (alike == 1) {
            plain = alikeValue;
            return true;
        }
    }
    double number = 0.0;
    if (!ParseWholeNumber(text, number)) return false;
    plain = negateDisplay_ ? -number : number;
    return true;
}

}  // namespace sorel
