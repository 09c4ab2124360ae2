#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sorel::art::test {

// A PNG decoded to 8-bit RGBA (straight alpha), for checking committed art.
struct RgbaImage {
  int width = 0;
  int height = 0;
  bool fileHasAlpha = false;
  std::vector<std::uint8_t> pixels;  // row-major, 4 bytes a pixel

  static RgbaImage load(const std::string& path);  // width 0 when unreadable

  const std::uint8_t* at(int x, int y) const { return &pixels[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

// Path of a committed resource below the source tree.
std::string resourcePath(const std::string& relative);

}  // namespace sorel::art::test
