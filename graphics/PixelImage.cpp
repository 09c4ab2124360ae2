#include "graphics/PixelImage.h"

#include <algorithm>

namespace sorel {
namespace {

int Channel(int v) { return std::clamp(v, 0, 255); }

}  // namespace

PixelImage::PixelImage(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0u) {}

IColor PixelImage::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return COLOR_TRANSPARENT;
    return Unpremultiply(pixels_[static_cast<std::size_t>(y) * width_ + x]);
}

void PixelImage::Set(int x, int y, const IColor& colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y) * width_ + x] = Premultiply(colour);
}

uint32_t PixelImage::Premultiply(const IColor& c) {
    const uint32_t a = Channel(c.A);
    auto scale = [a](int v) { return (static_cast<uint32_t>(Channel(v)) * a + 127) / 255; };
    return (a << 24) | (scale(c.R) << 16) | (scale(c.G) << 8) | scale(c.B);
}

IColor PixelImage::Unpremultiply(uint32_t argb) {
    const int a = static_cast<int>(argb >> 24);
    if (a == 0) return COLOR_TRANSPARENT;
    auto unscale = [a](uint32_t v) { return Channel(static_cast<int>((v * 255 + a / 2) / a)); };
    return {a, unscale((argb >> 16) & 0xff), unscale((argb >> 8) & 0xff), unscale(argb & 0xff)};
}

}  // namespace sorel
