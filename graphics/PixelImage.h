#pragma once
// Decoded pixels: premultiplied ARGB in native 32-bit words, rows packed
// without padding (the layout of a Cairo ARGB32 image surface).

#include "graphics/IColor.h"

#include <cstdint>
#include <vector>

namespace sorel {

class PixelImage {
public:
    PixelImage(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int StrideBytes() const { return width_ * 4; }
    const uint32_t* Data() const { return pixels_.data(); }
    uint32_t* Data() { return pixels_.data(); }
    std::size_t SizeBytes() const { return pixels_.size() * sizeof(uint32_t); }

    // Straight-alpha colour at (x, y); transparent outside the image.
    IColor At(int x, int y) const;
    void Set(int x, int y, const IColor& colour);

    static uint32_t Premultiply(const IColor& c);
    static IColor Unpremultiply(uint32_t argb);

private:
    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
};

}  // namespace sorel
