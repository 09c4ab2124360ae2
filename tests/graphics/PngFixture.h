#pragma once
// Builds small PNG files in memory for the tests.

#include "graphics/IColor.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace sorel::testing {

// A width x height RGBA PNG whose pixel (x, y) is colourAt(x, y).
std::vector<uint8_t> EncodePng(int width, int height, const std::function<IColor(int x, int y)>& colourAt);

}  // namespace sorel::testing
