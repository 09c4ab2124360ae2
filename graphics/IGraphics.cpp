#include "graphics/IGraphics.h"

#include "graphics/BitmapCache.h"
#include "graphics/Latin1.h"
#include "resources/Resources.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

namespace sorel {
namespace {

cairo_operator_t OperatorFor(IChannelBlend::EBlendMethod method) {
    switch (method) {
        case IChannelBlend::kBlendClobber: return CAIRO_OPERATOR_SOURCE;
        case IChannelBlend::kBlendAdd: return CAIRO_OPERATOR_ADD;
        case IChannelBlend::kBlendColorDodge: return CAIRO_OPERATOR_COLOR_DODGE;
        case IChannelBlend::kBlendNone:
        default: return CAIRO_OPERATOR_OVER;
    }
}

double Weight(const IChannelBlend* blend) {
    return blend ? std::clamp(static_cast<double>(blend->weight), 0.0, 1.0) : 1.0;
}

void SetColour(cairo_t* cr, const IColor& c) {
    auto unit = [](int v) { return std::clamp(v, 0, 255) / 255.0; };
    cairo_set_source_rgba(cr, unit(c.R), unit(c.G), unit(c.B), unit(c.A));
}

}  // namespace

void IGraphics::CairoDeleter::operator()(_cairo* cr) const { cairo_destroy(cr); }
void IGraphics::CairoDeleter::operator()(_cairo_surface* surface) const { cairo_surface_destroy(surface); }

IGraphics::IGraphics(int width, int height, int scale)
    : scale_(std::clamp(scale, 1, kMaxScale)),
      width_(std::clamp(width, 1, kMaxSurfaceSide / scale_)),
      height_(std::clamp(height, 1, kMaxSurfaceSide / scale_)),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_ * scale_, height_ * scale_)) {
    // Everything drawn, text included, then maps editor pixels to device pixels.
    if (scale_ != 1) {
        cairo_surface_set_device_scale(surface_.get(), scale_, scale_);
        layoutSurface_.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
        layout_.reset(cairo_create(layoutSurface_.get()));
    }
    cr_.reset(cairo_create(surface_.get()));
}

IGraphics::~IGraphics() = default;

IBitmap IGraphics::LoadIBitmap(int number, std::string_view name, int frames) {
    return BitmapCache::Shared().Load(number, name, frames, scale_);
}

const char* IGraphics::LoadText(int number, std::string_view name) {
    const resources::Resource* resource = resources::Find(number, name);
    return resource ? resource->CString() : nullptr;
}

void IGraphics::ApplyBlend(const IChannelBlend* blend) {
    cairo_set_operator(cr_.get(), OperatorFor(blend ? blend->method : IChannelBlend::kBlendNone));
}

bool IGraphics::DrawBitmap(const IBitmap& bitmap, const IRECT& dest, int srcX, int srcY,
                           const IChannelBlend* blend) {
    if (!bitmap.IsValid() || dest.Empty()) return false;
    // Cairo's fixed-point coordinates do not reach the far ends of int32, so
    // what lies outside the image is cut off here.
    const IRECT visible = dest.Intersect(Bounds());
    if (visible.Empty()) return true;
    const int64_t sourceLeft = int64_t{srcX} + (visible.L - int64_t{dest.L});
    const int64_t sourceTop = int64_t{srcY} + (visible.T - int64_t{dest.T});
    const PixelImage& pixels = *bitmap.Pixels();
    // Cairo only reads from a source surface; the cast does not let it write.
    cairo_surface_t* source = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(pixels.Data())), CAIRO_FORMAT_ARGB32,
        pixels.Width(), pixels.Height(), pixels.StrideBytes());
    if (bitmap.Scale() != 1) cairo_surface_set_device_scale(source, bitmap.Scale(), bitmap.Scale());
    cairo_t* cr = cr_.get();
    cairo_save(cr);
    ApplyBlend(blend);
    cairo_rectangle(cr, visible.L, visible.T, visible.W(), visible.H());
    cairo_clip(cr);
    // Past the bitmap's edges the source is transparent; beyond this the
    // offset would only lose precision.
    const auto offset = [](int64_t target, int64_t source) {
        return static_cast<double>(std::clamp<int64_t>(target - source, -(int64_t{1} << 20), int64_t{1} << 20));
    };
    cairo_set_source_surface(cr, source, offset(visible.L, sourceLeft), offset(visible.T, sourceTop));
    // Pixels map one to one when the scales agree; finer art on a coarser
    // canvas is averaged down rather than sampled.
    cairo_pattern_set_filter(cairo_get_source(cr),
                             bitmap.Scale() > scale_ ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_NONE);
    cairo_paint_with_alpha(cr, Weight(blend));
    cairo_restore(cr);
    cairo_surface_destroy(source);
    return true;
}

bool IGraphics::DrawBitmapFrame(const IBitmap& bitmap, const IRECT& dest, int frame, const IChannelBlend* blend) {
    if (!bitmap.IsValid()) return false;
    const IRECT source = bitmap.FrameRect(frame);
    const auto end = [](int32_t start, int32_t size) {
        return static_cast<int32_t>(std::min<int64_t>(int64_t{start} + size, INT32_MAX));
    };
    const IRECT target{dest.L, dest.T, end(dest.L, std::min(dest.W(), source.W())),
                       end(dest.T, std::min(dest.H(), source.H()))};
    return DrawBitmap(bitmap, target, source.L, source.T, blend);
}

bool IGraphics::FillIRect(const IColor& colour, const IRECT& rect, const IChannelBlend* blend) {
    if (rect.Empty()) return false;
    const IRECT visible = rect.Intersect(Bounds());
    if (visible.Empty()) return true;
    cairo_t* cr = cr_.get();
    cairo_save(cr);
    ApplyBlend(blend);
    IColor weighted = colour;
    weighted.A = static_cast<int>(colour.A * Weight(blend) + 0.5);
    SetColour(cr, weighted);
    cairo_rectangle(cr, visible.L, visible.T, visible.W(), visible.H());
    cairo_fill(cr);
    cairo_restore(cr);
    return true;
}

bool IGraphics::DrawRect(const IColor& colour, const IRECT& rect) {
    if (rect.Empty()) return false;
    FillIRect(colour, {rect.L, rect.T, rect.R, rect.T + 1});
    if (rect.H() > 1) FillIRect(colour, {rect.L, rect.B - 1, rect.R, rect.B});
    if (rect.H() > 2) {
        FillIRect(colour, {rect.L, rect.T + 1, rect.L + 1, rect.B - 1});
        if (rect.W() > 1) FillIRect(colour, {rect.R - 1, rect.T + 1, rect.R, rect.B - 1});
    }
    return true;
}

bool IGraphics::DrawVerticalLine(const IColor& colour, int x, int yLo, int yHi) {
    if (x < 0 || x >= width_) return true;  // off the image
    // Ends beyond the image are moved to just outside it.
    const int top = std::clamp(std::min(yLo, yHi), -1, height_);
    const int bottom = std::clamp(std::max(yLo, yHi), -1, height_);
    return FillIRect(colour, {x, top, x + 1, bottom + 1});
}

void IGraphics::SelectFont(_cairo* cr, const IText& style) {
    cairo_select_font_face(cr, style.face.c_str(), CAIRO_FONT_SLANT_NORMAL,
                           style.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, std::clamp(style.size, 1, 512));
}

_cairo* IGraphics::TextLayoutContext() const { return layout_ ? layout_.get() : cr_.get(); }

int IGraphics::MeasureIText(const IText& style, std::string_view text) {
    const std::string utf8 = Latin1ToUtf8(text);
    cairo_t* cr = TextLayoutContext();
    cairo_save(cr);
    SelectFont(cr, style);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, utf8.c_str(), &extents);
    cairo_restore(cr);
    return static_cast<int>(extents.x_advance + 0.5);
}

bool IGraphics::DrawIText(const IText& style, std::string_view text, const IRECT& rect) {
    const std::string utf8 = Latin1ToUtf8(text);
    if (utf8.empty() || rect.Empty()) return false;
    const IRECT visible = rect.Intersect(Bounds());
    if (visible.Empty()) return true;
    cairo_t* cr = cr_.get();
    cairo_save(cr);
    cairo_rectangle(cr, visible.L, visible.T, visible.W(), visible.H());
    cairo_clip(cr);
    SelectFont(cr, style);
    cairo_t* layout = TextLayoutContext();
    if (layout != cr) {
        cairo_save(layout);
        SelectFont(layout, style);
    }
    cairo_font_extents_t font;
    cairo_font_extents(layout, &font);
    cairo_text_extents_t extents;
    cairo_text_extents(layout, utf8.c_str(), &extents);
    double x = rect.L;
    if (style.align == IText::kAlignCenter) x = rect.L + (rect.W() - extents.x_advance) / 2.0;
    if (style.align == IText::kAlignFar) x = rect.R - extents.x_advance;
    const double baseline = rect.T + (rect.H() - (font.ascent + font.descent)) / 2.0 + font.ascent;
    SetColour(cr, style.color);
    const int originX = static_cast<int>(x), originY = static_cast<int>(baseline + 0.5);
    if (layout == cr) {
        cairo_move_to(cr, originX, originY);
        cairo_show_text(cr, utf8.c_str());
    } else {
        // The glyphs go where the 1x layout puts them, drawn at the finer scale.
        cairo_glyph_t* glyphs = nullptr;
        int count = 0;
        if (cairo_scaled_font_text_to_glyphs(cairo_get_scaled_font(layout), originX, originY, utf8.c_str(), -1,
                                             &glyphs, &count, nullptr, nullptr, nullptr) == CAIRO_STATUS_SUCCESS)
            cairo_show_glyphs(cr, glyphs, count);
        cairo_glyph_free(glyphs);
        cairo_restore(layout);
    }
    cairo_restore(cr);
    return true;
}

IColor IGraphics::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ * scale_ || y >= height_ * scale_) return COLOR_TRANSPARENT;
    cairo_surface_flush(surface_.get());
    const unsigned char* data = cairo_image_surface_get_data(surface_.get());
    if (!data) return COLOR_TRANSPARENT;  // the surface could not be made
    const int stride = cairo_image_surface_get_stride(surface_.get());
    uint32_t word;
    std::memcpy(&word, data + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 4, 4);
    return PixelImage::Unpremultiply(word);
}

bool IGraphics::WritePng(const std::string& path) const {
    cairo_surface_flush(surface_.get());
    return cairo_surface_write_to_png(surface_.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace sorel
