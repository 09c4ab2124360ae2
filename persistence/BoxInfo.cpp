#include "persistence/BoxInfo.h"

#include <algorithm>
#include <cctype>

namespace sorel {

namespace {

std::string CutToField(std::string_view text, size_t width) {
    // A text from a C string ends at its first zero byte.
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    return std::string(text.substr(0, std::min(text.size(), width - 1)));
}

bool IsBlankText(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; });
}

}  // namespace

void BoxInfo::Set(std::string_view newName, std::string_view newAuthor, std::string_view newDescription,
                  std::string_view newUsage) {
    name = CutToField(newName, kNameWidth);
    author = CutToField(newAuthor, kAuthorWidth);
    description = CutToField(newDescription, kDescriptionWidth);
    usage = CutToField(newUsage, kUsageWidth);
}

bool BoxInfo::IsBlank() const {
    return IsBlankText(name) && IsBlankText(author) && IsBlankText(description) && IsBlankText(usage);
}

std::vector<InfoLine> ComposeInfoLines(const BoxInfo& info) {
    if (info.IsBlank()) return {InfoLine{"NO INFO", false, false, false}};
    std::vector<InfoLine> lines;
    const auto addPair = [&lines](const char* heading, const std::string& text) {
        lines.push_back(InfoLine{heading, true, true, false});
        lines.push_back(InfoLine{text, true, true, true});
    };
    addPair("NAME:", info.name);
    addPair("AUTHOR:", info.author);
    addPair("DESCRIPTION:", info.description);
    addPair("USAGE:", info.usage);
    return lines;
}

}  // namespace sorel
