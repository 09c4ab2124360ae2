// The committed art is what the generator makes from the committed skin: a
// change to either that was not regenerated shows up here.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "art/RgbaImage.h"
#include "tools/art/ArtSet.h"

namespace sorel::art::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

class RegenerationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/sorel-art-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    fs::create_directories(dir_ / "skin");
    fs::copy_file(resourcePath("skin/Sorel.skin"), dir_ / "skin/Sorel.skin");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  fs::path dir_;
};

TEST_F(RegenerationTest, GeneratorReproducesTheCommittedFontsAndImages) {
  ArtSet(dir_.string()).writeAll();
  int compared = 0;
  for (const char* folder : {"fonts", "images"}) {
    for (const auto& entry : fs::directory_iterator(dir_ / folder)) {
      const std::string relative = std::string(folder) + "/" + entry.path().filename().string();
      SCOPED_TRACE(relative);
      ++compared;
      if (entry.path().extension() == ".fnt") {
        EXPECT_EQ(readFile(entry.path()), readFile(resourcePath(relative))) << "glyph metrics differ";
        continue;
      }
      // Pixels, not bytes: another libpng may compress the same image differently.
      const RgbaImage fresh = RgbaImage::load(entry.path().string());
      const RgbaImage committed = RgbaImage::load(resourcePath(relative));
      ASSERT_GT(committed.width, 0) << "not committed";
      ASSERT_EQ(fresh.width, committed.width);
      ASSERT_EQ(fresh.height, committed.height);
      double difference = 0;
      for (std::size_t i = 0; i < fresh.pixels.size(); ++i)
        difference += std::abs(int(fresh.pixels[i]) - int(committed.pixels[i]));
      EXPECT_LT(difference / fresh.pixels.size(), 0.5) << "regenerate with scripts/art";
    }
  }
  // Five fonts of a description and two sheets each, and the 36 images at 1x and 2x.
  EXPECT_EQ(compared, 5 * 3 + 36 * 2);
}

}  // namespace
}  // namespace sorel::art::test
