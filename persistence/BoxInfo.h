// The four descriptive texts of a pattern preset and the lines of the info
// panel composed from them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sorel {

struct BoxInfo {
    // Widths of the stored fields; each keeps a terminating zero.
    static constexpr size_t kNameWidth = 33;
    static constexpr size_t kAuthorWidth = 51;
    static constexpr size_t kDescriptionWidth = 255;
    static constexpr size_t kUsageWidth = 255;

    std::string name;
    std::string author;
    std::string description;
    std::string usage;

    // Copies the texts, each cut to the characters its field can hold.
    void Set(std::string_view newName, std::string_view newAuthor, std::string_view newDescription,
             std::string_view newUsage);
    void Clear() { *this = BoxInfo{}; }
    // White space alone counts as no text.
    bool IsBlank() const;

    bool operator==(const BoxInfo&) const = default;
};

struct InfoLine {
    std::string text;
    bool alignLeft = true;
    bool alignTop = true;
    bool indent = false;

    bool operator==(const InfoLine&) const = default;
};

// "NO INFO" centred when every text is blank, otherwise heading/text pairs.
std::vector<InfoLine> ComposeInfoLines(const BoxInfo& info);

}  // namespace sorel
