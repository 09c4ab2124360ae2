#pragma once

#include <string>

namespace sorel::art {

enum class KnobPolarity { Unipolar, Bipolar };

// A vertical strip of knob frames, 56 pixels square each: the ring fills and the
// pointer turns from the lowest value at the first frame to the highest at the
// last; a bipolar ring grows from the top centre in either direction.
class KnobStrip {
 public:
  static constexpr int kSize = 56;

  // `size` draws the same knob smaller: every frame `size` pixels square.
  KnobStrip(int frames, KnobPolarity polarity, int size = kSize);
  void write(const std::string& path, int scale) const;

  // The pointer's angle (cairo radians, clockwise from +x) at frame k.
  double angleAt(int frame) const;

 private:
  int frames_;
  KnobPolarity polarity_;
  int size_;
};

}  // namespace sorel::art
