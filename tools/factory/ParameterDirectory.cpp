#include "ParameterDirectory.h"

#include "engine/RateTexts.h"

#include <array>
#include <charconv>
#include <cmath>
#include <sstream>

namespace sorel::factory {

namespace {

bool IsRateParameter(const Parameter& p) { return p.Name().rfind("Rate T", 0) == 0; }

std::string Number(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

ParameterDirectory::ParameterDirectory(const ParameterTable& table) : table_(table) {
    for (int index = 0; index < ParameterTable::Size(); ++index) {
        const std::string& name = table.Get(index)->Name();
        if (!name.empty()) byName_[name].push_back(index);
    }
}

const std::vector<int>& ParameterDirectory::IndicesOf(std::string_view name) const {
    static const std::vector<int> none;
    const auto found = byName_.find(std::string(name));
    return found == byName_.end() ? none : found->second;
}

std::optional<int> ParameterDirectory::RateFromText(std::string_view text) {
    for (size_t i = 0; i < kRateTexts.size(); ++i) {
        if (kRateTexts[i] == text) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<double> ParameterDirectory::ValueFor(int index, std::string_view text, std::string& problem) const {
    const Parameter& p = *table_.Get(index);
    double plain = 0.0;
    std::optional<double> value;
    if (p.ValueForText(text, plain)) value = plain;
    if (!value && IsRateParameter(p)) {
        if (const auto rate = RateFromText(text)) value = *rate;
    }
    const std::string range = Number(p.Minimum()) + ".." + Number(p.Maximum());
    if (!value) {
        problem = "\"" + std::string(text) + "\" is no value of \"" + p.Name() + "\" (a number in " + range +
                  (p.HasDisplayTexts() ? " or one of its texts" : "") + (IsRateParameter(p) ? " or a note value like 1/16" : "") + ")";
        return std::nullopt;
    }
    if (*value < p.Minimum() || *value > p.Maximum()) {
        problem = "\"" + std::string(text) + "\" is outside the range " + range + " of \"" + p.Name() + "\"";
        return std::nullopt;
    }
    // The table would round or keep an off-step value silently; in a recipe it is a typing mistake.
    if (p.Step() > 0.0) {
        const double steps = (*value - p.Minimum()) / p.Step();
        if (std::abs(steps - std::round(steps)) > 1e-6) {
            problem = "\"" + p.Name() + "\" moves in steps of " + Number(p.Step()) + ", \"" + std::string(text) + "\" is between two";
            return std::nullopt;
        }
    }
    return value;
}

}  // namespace sorel::factory
