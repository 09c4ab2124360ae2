// The lane a recipe line addresses: "T<area> P<pattern> <LANE>", with the
// lane named as the editor's lane buttons name it (ORDER, CHRDMEM, LENGTH,
// GATE, ACCENT, TRANSP, DIV, SHIFT, CHORD, CC1 .. CC8).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorel::factory {

struct LaneAddress {
    int area = 0;     // 0..3
    int pattern = 0;  // 0..11
    int lane = 0;     // 0..16

    // From the words after the directive; nothing when they do not name a lane.
    static std::optional<LaneAddress> Parse(const std::vector<std::string>& words, size_t first);

    // The name of this lane's value parameter of `step` (0..31), e.g. "Step gate 1/1/3".
    std::string StepParameterName(int step) const;
    // Where the table keeps that parameter.
    int StepParameterIndex(int step) const;
};

// "T2" -> 1 with `letter` 'T' and at most `count` entries; nothing otherwise.
std::optional<int> ParseNumbered(std::string_view word, char letter, int count);
// Lane number of a lane name, nothing for an unknown name.
std::optional<int> LaneFromName(std::string_view name);

}  // namespace sorel::factory
