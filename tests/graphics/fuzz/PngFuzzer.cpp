// Any bytes as a PNG image; what decodes is drawn once.
#include "graphics/IGraphics.h"
#include "graphics/PngDecoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::shared_ptr<const sorel::PixelImage> image = sorel::DecodePng({data, size});
    if (!image) return 0;
    if (image->Width() <= 0 || image->Height() <= 0 ||
        static_cast<long long>(image->Width()) * image->Height() > sorel::kMaxPngPixels)
        std::abort();
    const sorel::IBitmap bitmap(image, 3);
    sorel::IGraphics g(16, 16);
    g.DrawBitmapFrame(bitmap, {0, 0, 16, 16}, 2);
    g.DrawBitmap(bitmap, {4, 4, 12, 12}, image->Width() - 2, -3);
    return 0;
}
