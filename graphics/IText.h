#pragma once
// Style of text drawn in the system font.

#include "graphics/IColor.h"

#include <string>

namespace sorel {

struct IText {
    enum EAlign : int { kAlignNear = 0, kAlignCenter, kAlignFar };

    int size = 12;
    IColor color = COLOR_BLACK;
    std::string face = "Verdana";  // fontconfig picks a substitute where absent
    EAlign align = kAlignCenter;
    bool bold = false;
};

}  // namespace sorel
