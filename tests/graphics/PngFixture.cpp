#include "PngFixture.h"

#include <png.h>

#include <cstring>
#include <stdexcept>

namespace sorel::testing {

std::vector<uint8_t> EncodePng(int width, int height, const std::function<IColor(int x, int y)>& colourAt) {
    std::vector<uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const IColor c = colourAt(x, y);
            uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            p[0] = static_cast<uint8_t>(c.R);
            p[1] = static_cast<uint8_t>(c.G);
            p[2] = static_cast<uint8_t>(c.B);
            p[3] = static_cast<uint8_t>(c.A);
        }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr))
        throw std::runtime_error("png size");
    std::vector<uint8_t> png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, rgba.data(), 0, nullptr))
        throw std::runtime_error("png write");
    png.resize(size);
    return png;
}

}  // namespace sorel::testing
