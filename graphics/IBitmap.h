#pragma once
// A bitmap as the editor sees it: shared pixels plus a frame count. Frames are
// stacked vertically, each Height() / Frames() pixels tall. A bitmap drawn at
// scale 2 has two image pixels for each editor pixel; its sizes and frame
// rectangles are in editor pixels all the same.

#include "graphics/IRECT.h"
#include "graphics/PixelImage.h"

#include <algorithm>
#include <memory>

namespace sorel {

class IBitmap {
public:
    IBitmap() = default;
    // A frame count below 1 means 1; more frames than rows means one row each.
    IBitmap(std::shared_ptr<const PixelImage> pixels, int frames, int scale = 1)
        : pixels_(std::move(pixels)),
          scale_(std::max(scale, 1)),
          frames_(std::clamp(frames, 1, std::max(H(), 1))) {}

    bool IsValid() const { return pixels_ != nullptr && W() > 0 && H() > 0; }
    int W() const { return pixels_ ? pixels_->Width() / scale_ : 0; }
    int H() const { return pixels_ ? pixels_->Height() / scale_ : 0; }
    int Scale() const { return scale_; }
    int Frames() const { return frames_; }
    int FrameHeight() const { return H() / frames_; }
    // Source rectangle of frame k (clamped to the frames that exist).
    IRECT FrameRect(int k) const {
        const int top = std::clamp(k, 0, frames_ - 1) * FrameHeight();
        return {0, top, W(), top + FrameHeight()};
    }
    const PixelImage* Pixels() const { return pixels_.get(); }
    const std::shared_ptr<const PixelImage>& SharedPixels() const { return pixels_; }

private:
    std::shared_ptr<const PixelImage> pixels_;
    int scale_ = 1;
    int frames_ = 1;
};

}  // namespace sorel
