#pragma once
// PNG bytes in memory to pixels, with libpng.

#include "graphics/PixelImage.h"

#include <cstdint>
#include <memory>
#include <span>

namespace sorel {

// Larger images are refused rather than decoded: the editor's biggest is
// 1000 x 565, and a hostile header must not make us allocate gigabytes.
inline constexpr int kMaxPngSide = 16384;
inline constexpr long long kMaxPngPixels = 1LL << 24;

// nullptr for anything that is not a complete, decodable PNG of allowed size.
std::unique_ptr<PixelImage> DecodePng(std::span<const uint8_t> bytes);

}  // namespace sorel
