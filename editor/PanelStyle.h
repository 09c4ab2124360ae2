#pragma once
// The look shared by the panels that drop over the window (box info,
// global settings): a translucent blue ground with a white outline.

#include "graphics/IColor.h"
#include "graphics/IGraphics.h"
#include "graphics/IRECT.h"

namespace sorel {

inline constexpr IColor kPanelFill{250, 62, 89, 124};
inline constexpr IColor kPanelOutline{255, 255, 255, 255};
inline constexpr int kPanelMargin = 5;  // between the panel's edge and its text

inline void DrawPanelGround(IGraphics& graphics, const IRECT& rect) {
    graphics.FillIRect(kPanelFill, rect);
    graphics.DrawRect(kPanelOutline, rect);
}

// The panel's rectangle less its margin on every side.
inline IRECT PanelInner(const IRECT& rect) {
    return {rect.L + kPanelMargin, rect.T + kPanelMargin, rect.R - kPanelMargin, rect.B - kPanelMargin};
}

}  // namespace sorel
