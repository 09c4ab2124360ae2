#pragma once

// The one palette every piece of generated art draws from: a dark theme with a
// single blue accent, so that controls, captions and highlights read as one set.

namespace sorel::art {

struct Colour {
  double r = 0, g = 0, b = 0, a = 1;
};

constexpr Colour rgb(int r, int g, int b, double a = 1.0) {
  return Colour{r / 255.0, g / 255.0, b / 255.0, a};
}

namespace theme {
constexpr Colour window = rgb(22, 25, 30);
constexpr Colour panel = rgb(33, 37, 44);
constexpr Colour panelLight = rgb(38, 43, 51);
constexpr Colour panelBorder = rgb(58, 65, 76);
constexpr Colour field = rgb(14, 16, 20);
constexpr Colour fieldBorder = rgb(52, 58, 68);
constexpr Colour label = rgb(178, 186, 198);
constexpr Colour labelDim = rgb(118, 126, 138);
constexpr Colour accent = rgb(132, 174, 225);
constexpr Colour accentDeep = rgb(54, 82, 116);
constexpr Colour accentGlow = rgb(178, 210, 245);
constexpr Colour text = rgb(232, 236, 242);
constexpr Colour knobTrack = rgb(50, 56, 66);
constexpr Colour knobBodyTop = rgb(70, 76, 87);
constexpr Colour knobBodyBottom = rgb(36, 40, 47);
constexpr Colour buttonTop = rgb(58, 64, 74);
constexpr Colour buttonBottom = rgb(40, 44, 52);
constexpr Colour buttonEdge = rgb(20, 22, 26);
constexpr Colour plate = rgb(164, 176, 192);
constexpr Colour whiteKey = rgb(206, 212, 220);
constexpr Colour blackKey = rgb(30, 33, 39);
}  // namespace theme

}  // namespace sorel::art
