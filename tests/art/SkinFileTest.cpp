// The committed skin file and the generator's reading of skin text.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "art/RgbaImage.h"
#include "tools/art/SkinLayout.h"

namespace sorel::art::test {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

TEST(SkinFile, Holds169RectanglesEndingWithTheWindow) {
  const SkinLayout skin = SkinLayout::load(resourcePath("skin/Sorel.skin"));
  ASSERT_EQ(skin.size(), 169u);
  EXPECT_EQ(skin.at(0), (SkinRect{296, 119, 352, 175}));      // gate knob
  EXPECT_EQ(skin.at(1), skin.at(2));                          // rate and free rate share a place
  EXPECT_EQ(skin.at(27), (SkinRect{26, 58, 58, 67}));         // first incoming-note light
  EXPECT_EQ(skin.at(30), (SkinRect{122, 58, 154, 67}));       // last incoming-note light
  EXPECT_EQ(skin.at(36), (SkinRect{39, 291, 806, 404}));      // pattern view
  EXPECT_EQ(skin.at(37), (SkinRect{39, 407, 63, 420}));       // first step switch
  EXPECT_EQ(skin.at(68), (SkinRect{783, 407, 807, 420}));     // 32nd step switch
  EXPECT_EQ(skin.at(85), (SkinRect{959, 469, 977, 489}));     // 16th scene pattern cell
  EXPECT_EQ(skin.at(117), (SkinRect{959, 511, 977, 531}));    // 16th scene repeat cell
  EXPECT_EQ(skin.at(118), (SkinRect{688, 468, 980, 545}));    // scene view
  EXPECT_EQ(skin.at(164), (SkinRect{278, 23, 723, 34}));      // spare line keeps its place
  EXPECT_EQ(skin.at(167), (SkinRect{1, -6, 1001, 559}));      // about box overlay
  EXPECT_EQ(skin.at(168), (SkinRect{0, 0, 1000, 565}));       // the window
}

TEST(SkinFile, EveryEntryIsANamedCommentThenItsNumbersWithCrLfEnds) {
  const std::string text = readFile(resourcePath("skin/Sorel.skin"));
  ASSERT_FALSE(text.empty());
  ASSERT_EQ(text.back(), '\n');
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  for (const std::string& line : lines) {
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\r') << "line without CR LF: " << line;
  }
  // A free comment, then (comment, numbers) pairs: 90 lines of numbers, five of
  // them rows that expand to 32 + 16 * 3 + 4 rectangles.
  ASSERT_EQ(lines.size(), 1u + 2 * 90);
  EXPECT_EQ(lines[0].rfind("//", 0), 0u);
  for (std::size_t i = 1; i < lines.size(); i += 2) {
    EXPECT_EQ(lines[i].rfind("// ", 0), 0u) << "line " << i + 1;
    EXPECT_GT(lines[i].size(), 4u) << "entry without a name at line " << i + 1;
    EXPECT_EQ(lines[i + 1].find('/'), std::string::npos) << "line " << i + 2;
  }
}

TEST(SkinText, FiveFieldRowsExpandIntoAdjacentCells) {
  const SkinLayout skin = SkinLayout::parse("39 407 63 420 32\r\n");
  ASSERT_EQ(skin.size(), 32u);
  EXPECT_EQ(skin.at(0), (SkinRect{39, 407, 63, 420}));
  EXPECT_EQ(skin.at(31), (SkinRect{783, 407, 807, 420}));
  EXPECT_EQ(SkinLayout::parse("1 2 3 4 0\n1 2 3 4 -3\n").size(), 0u);
}

TEST(SkinText, CommentsBlankLinesAndShortLinesAreHandledLikeTheEditor) {
  const SkinLayout skin = SkinLayout::parse(
      "// header\r\n"
      "\r\n"
      "1 -6 1001 559\r\n"
      "10 20 30 40 // a slash anywhere makes a comment\r\n"
      "7\r\n"
      "5 6\r\n"
      "1 2 3 4 5 6\n"
      "x 9 y 11");
  ASSERT_EQ(skin.size(), 4u);
  EXPECT_EQ(skin.at(0), (SkinRect{1, -6, 1001, 559}));
  EXPECT_EQ(skin.at(1), (SkinRect{5, 6, 0, 0}));
  EXPECT_EQ(skin.at(2), (SkinRect{1, 2, 3, 4}));
  EXPECT_EQ(skin.at(3), (SkinRect{0, 9, 0, 11}));
}

}  // namespace
}  // namespace sorel::art::test
