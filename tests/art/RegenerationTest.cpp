// The committed art is what the generator makes from the committed skin: a
// change to either that was not regenerated shows up here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "graphics/PngDecoder.h"
#include "tools/art/ArtSet.h"

namespace sorel::art {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ostringstream all;
    all << std::ifstream(path, std::ios::binary).rdbuf();
    return all.str();
}

std::unique_ptr<PixelImage> Decode(const fs::path& path) {
    const std::string bytes = ReadFile(path);
    return DecodePng({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

TEST(Regeneration, GeneratorReproducesTheCommittedFontsAndImages) {
    const char* root = std::getenv("SOREL_SOURCE_DIR");
    ASSERT_NE(root, nullptr);
    const fs::path committed = fs::path(root) / "resources";
    char pattern[] = "/tmp/sorel-art-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    fs::create_directories(dir / "skin");
    fs::copy_file(committed / "skin/Sorel.skin", dir / "skin/Sorel.skin");
    ArtSet(dir.string()).writeAll();
    int compared = 0;
    for (const char* folder : {"fonts", "images"}) {
        for (const auto& entry : fs::directory_iterator(dir / folder)) {
            const fs::path relative = fs::path(folder) / entry.path().filename();
            SCOPED_TRACE(relative);
            ++compared;
            if (entry.path().extension() == ".fnt") {
                EXPECT_EQ(ReadFile(entry.path()), ReadFile(committed / relative)) << "glyph metrics differ";
                continue;
            }
            // Pixels, not bytes: another libpng may compress the same image differently.
            const auto fresh = Decode(entry.path()), kept = Decode(committed / relative);
            ASSERT_TRUE(kept) << "not committed";
            ASSERT_EQ(std::pair(fresh->Width(), fresh->Height()), std::pair(kept->Width(), kept->Height()));
            double difference = 0;
            const auto* a = reinterpret_cast<const uint8_t*>(fresh->Data());
            const auto* b = reinterpret_cast<const uint8_t*>(kept->Data());
            for (std::size_t i = 0; i < fresh->SizeBytes(); ++i) difference += std::abs(a[i] - b[i]);
            EXPECT_LT(difference / fresh->SizeBytes(), 0.5) << "regenerate with scripts/art";
        }
    }
    // Five fonts of a description and two sheets each, and the 37 images at 1x and 2x.
    EXPECT_EQ(compared, 5 * 3 + 37 * 2);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace sorel::art
