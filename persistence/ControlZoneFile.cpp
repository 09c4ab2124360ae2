#include "persistence/ControlZoneFile.h"

#include <charconv>

#include "persistence/DataFolder.h"
#include "persistence/TextLines.h"

namespace sorel {

namespace {

constexpr size_t kMaxControlZoneFileBytes = 64 * 1024;
constexpr int kFirstPatternFunction = 15;
constexpr int kPatternFunctions = 16;

struct Keyword {
    std::string_view text;
    int number;
};

constexpr Keyword kKeywords[] = {
    {"n/a", 0},          {"order", 1},      {"chordmemory", 2}, {"length", 3},      {"gate", 4},
    {"accent", 5},       {"transpose", 6},  {"div", 7},         {"seq", 9},         {"previouspreset", 10},
    {"nextpreset", 11},  {"hold", 12},      {"holdbypass", 13}, {"panic", 14},
};

// "pattern1" to "pattern16", digits only, no leading zero.
int PatternFunctionNumber(std::string_view keyword) {
    constexpr std::string_view prefix = "pattern";
    if (!keyword.starts_with(prefix)) return 0;
    std::string_view digits = keyword.substr(prefix.size());
    if (digits.empty() || digits.size() > 2 || digits.front() == '0') return 0;
    int pattern = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), pattern);
    if (error != std::errc{} || end != digits.data() + digits.size()) return 0;
    if (pattern < 1 || pattern > kPatternFunctions) return 0;
    return kFirstPatternFunction + pattern - 1;
}

}  // namespace

int ControlZoneFunctionNumber(std::string_view keyword) {
    for (const auto& entry : kKeywords) {
        if (entry.text == keyword) return entry.number;
    }
    return PatternFunctionNumber(keyword);
}

ControlZoneAssignment ParseControlZone(std::string_view text) {
    ControlZoneAssignment assignment{};
    const auto lines = SplitLines(text, kControlZoneKeys);
    for (size_t key = 0; key < lines.size(); ++key) assignment[key] = ControlZoneFunctionNumber(lines[key]);
    return assignment;
}

ControlZoneAssignment ReadControlZoneFile(const std::string& folder) {
    auto text = ReadSmallFile(folder + std::string(kControlZoneFileName), kMaxControlZoneFileBytes);
    return text ? ParseControlZone(*text) : ControlZoneAssignment{};
}

ControlZoneAssignment ReadControlZoneFile() {
    auto folder = GetUserDataFolder(kDataSubFolder);
    if (!folder || !EnsureFolder(*folder)) return ControlZoneAssignment{};
    return ReadControlZoneFile(*folder);
}

}  // namespace sorel
