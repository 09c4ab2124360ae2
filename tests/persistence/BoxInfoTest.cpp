#include <gtest/gtest.h>

#include "persistence/BoxInfo.h"

namespace sorel {
namespace {

TEST(BoxInfo, NoTextsGiveOneCentredNoInfoLine) {
    BoxInfo info;
    EXPECT_EQ(ComposeInfoLines(info), (std::vector<InfoLine>{{"NO INFO", false, false, false}}));
    info.Set("  ", "\t", "", " \n");
    EXPECT_EQ(ComposeInfoLines(info).size(), 1u) << "white space alone is no text";
}

TEST(BoxInfo, AnyTextGivesEightLinesWithIndentedTexts) {
    BoxInfo info;
    info.Set("", "Mara", "", "");
    const auto lines = ComposeInfoLines(info);
    const std::vector<InfoLine> expected = {
        {"NAME:", true, true, false},        {"", true, true, true},
        {"AUTHOR:", true, true, false},      {"Mara", true, true, true},
        {"DESCRIPTION:", true, true, false}, {"", true, true, true},
        {"USAGE:", true, true, false},       {"", true, true, true},
    };
    EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace sorel
