#include <gtest/gtest.h>

#include "persistence/BoxInfo.h"

namespace sorel {
namespace {

TEST(BoxInfo, SetCutsEachTextToItsField) {
    BoxInfo info;
    const std::string longName(40, 'n');
    const std::string longAuthor(60, 'a');
    const std::string longText(300, 't');
    info.Set(longName, longAuthor, longText, longText);
    EXPECT_EQ(info.name, std::string(32, 'n'));
    EXPECT_EQ(info.author, std::string(50, 'a'));
    EXPECT_EQ(info.description.size(), 254u);
    EXPECT_EQ(info.usage.size(), 254u);
    info.Set(std::string_view("abc\0def", 7), "x", "", "");
    EXPECT_EQ(info.name, "abc") << "a text ends at its first zero byte";
}

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
