// Finds parameters of the plug-in's table by their display names and turns
// the values a recipe writes (numbers, display texts, note rates) into plain
// values, refusing anything outside the parameter's range.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "frame/ParameterTable.h"

namespace sorel::factory {

class ParameterDirectory {
public:
    explicit ParameterDirectory(const ParameterTable& table);

    // Every index that carries the name (several for the per-lane families).
    const std::vector<int>& IndicesOf(std::string_view name) const;

    // The plain value of `text` for the parameter, or nothing with the
    // reason in `problem`.
    std::optional<double> ValueFor(int index, std::string_view text, std::string& problem) const;

    // "1/16" -> 12, as the "Rate" parameters count; nothing for other texts.
    static std::optional<int> RateFromText(std::string_view text);

private:
    const ParameterTable& table_;
    std::unordered_map<std::string, std::vector<int>> byName_;
};

}  // namespace sorel::factory
