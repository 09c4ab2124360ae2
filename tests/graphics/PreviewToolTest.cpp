// sorel-preview run as a user runs it: both pictures are written, the skin
// outlines land on the skin's places.
#include "editor/Skin.h"
#include "graphics/PngDecoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace sorel {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<PixelImage> ReadPng(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return DecodePng(bytes);
}

TEST(PreviewTool, WritesTheLayoutAndTheSheet) {
    const char* binaryDir = std::getenv("SOREL_BINARY_DIR");
    ASSERT_NE(binaryDir, nullptr);
    const fs::path tool = fs::path(binaryDir) / "tools/preview/sorel-preview";
    ASSERT_TRUE(fs::exists(tool)) << tool;
    const fs::path dir = fs::temp_directory_path() / ("sorel-preview-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path out = dir / "layout.png";
    const std::string command = "'" + tool.string() + "' '" + out.string() + "' > '" + (dir / "log.txt").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);

    const auto layout = ReadPng(out);
    const auto sheet = ReadPng(dir / "editor-sheet.png");
    std::ifstream log(dir / "log.txt");
    const std::string report((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    fs::remove_all(dir);

    ASSERT_NE(layout, nullptr);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(layout->Width(), 1000);
    EXPECT_EQ(layout->Height(), 565);
    EXPECT_GT(sheet->Height(), 565);
    EXPECT_NE(report.find("skin: 169 rectangles"), std::string::npos) << report;

    // Every place of the skin is outlined in the same colour: sample the
    // middle of the bottom edge of a few that nothing else covers.
    Skin skin;
    ASSERT_TRUE(skin.Load());
    const IColor outline = layout->At(skin.Rect(0).L + skin.Rect(0).W() / 2, skin.Rect(0).B - 1);
    EXPECT_GT(outline.R, 200);
    EXPECT_LT(outline.G, 100);
    for (int index : {4, 5, 6, 8, 22, 33, 135, 145}) {
        const IRECT r = skin.Rect(index);
        EXPECT_EQ(layout->At(r.L + r.W() / 2, r.B - 1), outline) << "skin " << index;
        EXPECT_EQ(layout->At(r.R - 1, r.T + r.H() / 2), outline) << "skin " << index;
    }
}

}  // namespace
}  // namespace sorel
