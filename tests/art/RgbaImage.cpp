#include "art/RgbaImage.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

namespace sorel::art::test {

RgbaImage RgbaImage::load(const std::string& path) {
  RgbaImage image;
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return image;
  image.fileHasAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0 && (png.format & PNG_FORMAT_FLAG_COLOR) != 0;
  png.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> buffer(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, buffer.data(), 0, nullptr)) {
    png_image_free(&png);
    return image;
  }
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.pixels = std::move(buffer);
  return image;
}

std::string resourcePath(const std::string& relative) {
  const char* root = std::getenv("SOREL_SOURCE_DIR");
  return std::string(root ? root : ".") + "/resources/" + relative;
}

}  // namespace sorel::art::test
