#pragma once
// The drawing layer beneath the editor: loads image and text resources and
// draws bitmaps, rectangles, lines and system-font text into an off-screen
// image (Cairo), which needs no display and can be written to a PNG file.
// Callers work in editor pixels whatever the scale; a canvas at scale 2 has
// two device pixels for each of them each way and draws its bitmaps from the
// art drawn at twice the resolution.

#include "graphics/IBitmap.h"
#include "graphics/IChannelBlend.h"
#include "graphics/IColor.h"
#include "graphics/IMouseMod.h"
#include "graphics/IRECT.h"
#include "graphics/IText.h"

#include <memory>
#include <string>
#include <string_view>

struct _cairo;
struct _cairo_surface;

namespace sorel {

class IGraphics {
public:
    // Cairo's limit for an image surface.
    static constexpr int kMaxSurfaceSide = 32767;
    static constexpr int kMaxScale = 2;

    // width and height in editor pixels; scale 1 or 2.
    IGraphics(int width, int height, int scale = 1);
    ~IGraphics();
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    IRECT Bounds() const { return {0, 0, width_, height_}; }
    int Scale() const { return scale_; }

    // Resources: an invalid bitmap / nullptr when the resource is missing.
    // Decoded pixels are shared with every other user of the same image. A
    // bitmap comes at this canvas's scale (the 1x image where no 2x exists).
    IBitmap LoadIBitmap(int number, std::string_view name, int frames = 1);
    // Zero-terminated text, valid for the life of the process.
    const char* LoadText(int number, std::string_view name);

    // Copies the part of the bitmap that starts at (srcX, srcY) and has the
    // size of dest to dest; outside the bitmap nothing is drawn. A null
    // blend draws plainly over what is there.
    bool DrawBitmap(const IBitmap& bitmap, const IRECT& dest, int srcX, int srcY,
                    const IChannelBlend* blend = nullptr);
    // Frame k (clamped to the frames there are) at dest's top-left corner,
    // cut to dest's size.
    bool DrawBitmapFrame(const IBitmap& bitmap, const IRECT& dest, int frame,
                         const IChannelBlend* blend = nullptr);
    bool FillIRect(const IColor& colour, const IRECT& rect, const IChannelBlend* blend = nullptr);
    // One-pixel outline along the inside edges of rect.
    bool DrawRect(const IColor& colour, const IRECT& rect);
    // The pixels (x, yLo) to (x, yHi), both included.
    bool DrawVerticalLine(const IColor& colour, int x, int yLo, int yHi);
    // One line of 8-bit (Latin-1) text in the system font, aligned in rect
    // and centred vertically, clipped to rect.
    bool DrawIText(const IText& style, std::string_view text, const IRECT& rect);
    // Width in pixels that DrawIText would take for text.
    int MeasureIText(const IText& style, std::string_view text);

    // What has been drawn at device pixel (x, y) (editor pixels x scale),
    // straight alpha; transparent outside the image.
    IColor PixelAt(int x, int y) const;
    bool WritePng(const std::string& path) const;
    // The image surface drawn into, for copying to a window.
    _cairo_surface* Surface() const { return surface_.get(); }

private:
    struct CairoDeleter {
        void operator()(_cairo* cr) const;
        void operator()(_cairo_surface* surface) const;
    };

    void ApplyBlend(const IChannelBlend* blend);
    void SelectFont(_cairo* cr, const IText& style);
    // Text is laid out at 1x whatever the scale, so that it takes the same
    // editor pixels on every screen: a scale 2 canvas measures it here.
    _cairo* TextLayoutContext() const;

    int scale_;
    int width_;
    int height_;
    std::unique_ptr<_cairo_surface, CairoDeleter> surface_;
    std::unique_ptr<_cairo, CairoDeleter> cr_;
    std::unique_ptr<_cairo_surface, CairoDeleter> layoutSurface_;
    std::unique_ptr<_cairo, CairoDeleter> layout_;
};

}  // namespace sorel
