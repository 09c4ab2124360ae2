#include "graphics/PngDecoder.h"

#include <png.h>

#include <cstring>

namespace sorel {
namespace {

constexpr uint32_t kOpaque = 255;

// libpng's simplified reader handles its errors internally (no longjmp
// through our frames); this guard releases it on every path.
struct PngImageGuard {
    png_image image;
    PngImageGuard() {
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
    }
    ~PngImageGuard() { png_image_free(&image); }
};

bool SizeAllowed(png_uint_32 width, png_uint_32 height) {
    if (width == 0 || height == 0) return false;
    if (width > kMaxPngSide || height > kMaxPngSide) return false;
    return static_cast<long long>(width) * height <= kMaxPngPixels;
}

// The reader hands out straight-alpha B, G, R, A bytes; Cairo wants
// premultiplied native words, rounded as PixelImage::Premultiply rounds.
// Most pixels of the art are opaque or clear: they skip the arithmetic.
uint32_t PremultipliedWord(const uint8_t bytes[4]) {
    const uint32_t a = bytes[3];
    if (a == 0) return 0;
    if (a == kOpaque)
        return (a << 24) | (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[1]) << 8) | bytes[0];
    auto scale = [a](uint32_t v) { return (v * a + kOpaque / 2) / kOpaque; };
    return (a << 24) | (scale(bytes[2]) << 16) | (scale(bytes[1]) << 8) | scale(bytes[0]);
}

void PremultiplyInPlace(PixelImage& image) {
    uint32_t* p = image.Data();
    const std::size_t n = static_cast<std::size_t>(image.Width()) * image.Height();
    for (std::size_t i = 0; i < n; ++i) {
        uint8_t bytes[4];
        std::memcpy(bytes, &p[i], 4);
        p[i] = PremultipliedWord(bytes);
    }
}

}  // namespace

std::unique_ptr<PixelImage> DecodePng(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return nullptr;
    PngImageGuard guard;
    png_image& image = guard.image;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return nullptr;
    if (!SizeAllowed(image.width, image.height)) return nullptr;
    image.format = PNG_FORMAT_BGRA;
    auto pixels = std::make_unique<PixelImage>(static_cast<int>(image.width), static_cast<int>(image.height));
    if (!png_image_finish_read(&image, nullptr, pixels->Data(), pixels->StrideBytes(), nullptr)) return nullptr;
    PremultiplyInPlace(*pixels);
    return pixels;
}

}  // namespace sorel
