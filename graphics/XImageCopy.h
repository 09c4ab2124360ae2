#pragma once
// Copies pixels drawn by Cairo in memory to an X window with XPutImage: the
// window host's only way of putting pixels on screen, so that no drawing
// library keeps state of its own per X connection.

#include "graphics/IRECT.h"

#include <X11/Xlib.h>

struct _cairo_surface;

namespace sorel {

// Copies `area` of the Cairo image surface (ARGB32 or RGB24) to the same
// place in the window, which has the screen's default visual; the parts of
// `area` outside the image are left alone.
void CopyImageToWindow(Display* display, Window window, _cairo_surface* image, const IRECT& area);

}  // namespace sorel
