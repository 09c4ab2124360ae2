#include "tools/art/ArtCanvas.h"

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>
#include <cmath>
#include <stdexcept>

namespace sorel::art {

ArtCanvas::ArtCanvas(int width, int height, int scale)
    : width_(width * scale),
      height_(height * scale),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_)),
      cr_(nullptr) {
  // The painters keep their 1x coordinates; the surface maps them onto its
  // finer pixels, so a 2x image is drawn afresh rather than enlarged.
  if (scale != 1) cairo_surface_set_device_scale(surface_, scale, scale);
  cr_ = cairo_create(surface_);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS || cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot create a drawing surface");
  }
}

ArtCanvas::~ArtCanvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void ArtCanvas::setColour(const Colour& c) const { cairo_set_source_rgba(cr_, c.r, c.g, c.b, c.a); }

void ArtCanvas::roundedRect(const Box& b, double radius) const {
  const double r = std::max(0.0, std::min({radius, b.w / 2, b.h / 2}));
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, b.right() - r, b.y + r, r, -M_PI / 2, 0);
  cairo_arc(cr_, b.right() - r, b.bottom() - r, r, 0, M_PI / 2);
  cairo_arc(cr_, b.x + r, b.bottom() - r, r, M_PI / 2, M_PI);
  cairo_arc(cr_, b.x + r, b.y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr_);
}

void ArtCanvas::fillRounded(const Box& b, double radius, const Colour& c) const {
  roundedRect(b, radius);
  setColour(c);
  cairo_fill(cr_);
}

void ArtCanvas::strokeRounded(const Box& b, double radius, const Colour& c, double lineWidth) const {
  roundedRect(b, radius);
  setColour(c);
  cairo_set_line_width(cr_, lineWidth);
  cairo_stroke(cr_);
}

void ArtCanvas::fillRoundedGradient(const Box& b, double radius, const Colour& top, const Colour& bottom) const {
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, b.y, 0, b.bottom());
  cairo_pattern_add_color_stop_rgba(gradient, 0, top.r, top.g, top.b, top.a);
  cairo_pattern_add_color_stop_rgba(gradient, 1, bottom.r, bottom.g, bottom.b, bottom.a);
  roundedRect(b, radius);
  cairo_set_source(cr_, gradient);
  cairo_fill(cr_);
  cairo_pattern_destroy(gradient);
}

void ArtCanvas::line(double x0, double y0, double x1, double y1, const Colour& c, double lineWidth) const {
  cairo_move_to(cr_, x0, y0);
  cairo_line_to(cr_, x1, y1);
  setColour(c);
  cairo_set_line_width(cr_, lineWidth);
  cairo_stroke(cr_);
}

void ArtCanvas::writePng(const std::string& path) const {
  cairo_surface_flush(surface_);
  // Cairo keeps premultiplied native-endian ARGB; the editor reads straight
  // RGBA, and every image is stored with an alpha channel even when opaque.
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  std::vector<png_byte> rows(static_cast<std::size_t>(width_) * height_ * 4);
  for (int y = 0; y < height_; ++y) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    png_byte* out = &rows[static_cast<std::size_t>(y) * width_ * 4];
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t p = in[x];
      const unsigned a = p >> 24;
      const auto straight = [a](unsigned c) { return a ? static_cast<png_byte>((c * 255 + a / 2) / a) : 0; };
      out[x * 4 + 0] = straight((p >> 16) & 0xff);
      out[x * 4 + 1] = straight((p >> 8) & 0xff);
      out[x * 4 + 2] = straight(p & 0xff);
      out[x * 4 + 3] = static_cast<png_byte>(a);
    }
  }
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) throw std::runtime_error("cannot write " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    throw std::runtime_error("cannot encode " + path);
  }
  png_init_io(png, file.get());
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, width_, height_, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height_; ++y) png_write_row(png, &rows[static_cast<std::size_t>(y) * width_ * 4]);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
}

}  // namespace sorel::art
