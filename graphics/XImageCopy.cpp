#include "graphics/XImageCopy.h"

#include <X11/Xutil.h>
#include <cairo.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace sorel {
namespace {

// The common case: 32-bit pixels laid out as Cairo lays out its own.
bool SameLayoutAsCairo(const XImage& image, const Visual& visual) {
    const int hostOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    return image.bits_per_pixel == 32 && image.byte_order == hostOrder && visual.red_mask == 0xFF0000 &&
           visual.green_mask == 0xFF00 && visual.blue_mask == 0xFF;
}

unsigned long PixelFor(uint32_t argb, const Visual& visual) {
    auto place = [](uint32_t channel, unsigned long mask) {
        if (mask == 0) return 0UL;
        const int shift = std::countr_zero(mask);
        const unsigned long max = mask >> shift;
        return ((channel * max + 127) / 255) << shift;
    };
    return place(argb >> 16 & 0xFF, visual.red_mask) | place(argb >> 8 & 0xFF, visual.green_mask) |
           place(argb & 0xFF, visual.blue_mask);
}

}  // namespace

void CopyImageToWindow(Display* display, Window window, cairo_surface_t* image, const IRECT& area) {
    cairo_surface_flush(image);
    const unsigned char* pixels = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    const IRECT r = area.Intersect({0, 0, cairo_image_surface_get_width(image), cairo_image_surface_get_height(image)});
    if (!pixels || r.Empty()) return;
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    XImage* out = XCreateImage(display, visual, unsigned(DefaultDepth(display, screen)), ZPixmap, 0, nullptr,
                               unsigned(r.W()), unsigned(r.H()), 32, 0);
    if (!out) return;
    out->data = static_cast<char*>(std::malloc(size_t(out->bytes_per_line) * size_t(r.H())));
    if (!out->data) {
        XDestroyImage(out);
        return;
    }
    const bool sameLayout = SameLayoutAsCairo(*out, *visual);
    for (int y = 0; y < r.H(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(pixels + size_t(r.T + y) * size_t(stride)) + r.L;
        if (sameLayout) {
            std::memcpy(out->data + size_t(y) * size_t(out->bytes_per_line), row, size_t(r.W()) * 4);
            continue;
        }
        for (int x = 0; x < r.W(); ++x) XPutPixel(out, x, y, PixelFor(row[x], *visual));
    }
    XPutImage(display, window, DefaultGC(display, screen), out, 0, 0, r.L, r.T, unsigned(r.W()), unsigned(r.H()));
    XDestroyImage(out);  // frees the pixels too
}

}  // namespace sorel
