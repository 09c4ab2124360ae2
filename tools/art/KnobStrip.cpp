#include "tools/art/KnobStrip.h"

#include <cmath>

#include "tools/art/ArtCanvas.h"

namespace sorel::art {

namespace {
constexpr double kStartAngle = 0.75 * M_PI;  // lower left
constexpr double kSweep = 1.5 * M_PI;        // to lower right, through the top
constexpr double kTopAngle = 1.5 * M_PI;
constexpr double kRingRadius = 22.5;
constexpr double kRingWidth = 4.0;
constexpr double kBodyRadius = 16.0;
// Stepped knobs with few positions show a dot per position.
constexpr int kMaxTickedFrames = 25;

void arc(cairo_t* cr, double cx, double cy, double radius, double from, double to) {
  if (to < from) std::swap(from, to);
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, radius, from, to);
}
}  // namespace

KnobStrip::KnobStrip(int frames, KnobPolarity polarity, int size)
    : frames_(frames), polarity_(polarity), size_(size) {}

double KnobStrip::angleAt(int frame) const {
  const double value = frames_ > 1 ? static_cast<double>(frame) / (frames_ - 1) : 0.0;
  return kStartAngle + value * kSweep;
}

void KnobStrip::write(const std::string& path, int scale) const {
  ArtCanvas canvas(size_, size_ * frames_, scale);
  cairo_t* cr = canvas.cr();
  // A smaller knob is the full-size drawing scaled down.
  cairo_scale(cr, static_cast<double>(size_) / kSize, static_cast<double>(size_) / kSize);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  for (int k = 0; k < frames_; ++k) {
    const double cx = kSize / 2.0;
    const double cy = kSize * k + kSize / 2.0;
    const double angle = angleAt(k);

    arc(cr, cx, cy, kRingRadius, kStartAngle, kStartAngle + kSweep);
    canvas.setColour(theme::knobTrack);
    cairo_set_line_width(cr, kRingWidth);
    cairo_stroke(cr);

    const double from = polarity_ == KnobPolarity::Bipolar ? kTopAngle : kStartAngle;
    if (std::fabs(angle - from) > 1e-6) {
      arc(cr, cx, cy, kRingRadius, from, angle);
      canvas.setColour(theme::accent);
      cairo_set_line_width(cr, kRingWidth);
      cairo_stroke(cr);
    }
    if (polarity_ == KnobPolarity::Bipolar) {
      // A notch at the centre so that zero is easy to find.
      canvas.line(cx, cy - kRingRadius - kRingWidth / 2 - 1.5, cx, cy - kRingRadius + kRingWidth / 2,
                  theme::label, 1.0);
    }
    if (frames_ <= kMaxTickedFrames) {
      for (int t = 0; t < frames_; ++t) {
        const double a = angleAt(t);
        cairo_arc(cr, cx + std::cos(a) * (kRingRadius + 4.2), cy + std::sin(a) * (kRingRadius + 4.2), 0.7, 0,
                  2 * M_PI);
        canvas.setColour(t <= k ? theme::accent : theme::labelDim);
        cairo_fill(cr);
      }
    }

    // Body: a soft shadow, then a lit dome.
    cairo_arc(cr, cx, cy + 1.5, kBodyRadius + 0.5, 0, 2 * M_PI);
    canvas.setColour(rgb(0, 0, 0, 0.45));
    cairo_fill(cr);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, cy - kBodyRadius, 0, cy + kBodyRadius);
    cairo_pattern_add_color_stop_rgb(body, 0, theme::knobBodyTop.r, theme::knobBodyTop.g, theme::knobBodyTop.b);
    cairo_pattern_add_color_stop_rgb(body, 1, theme::knobBodyBottom.r, theme::knobBodyBottom.g,
                                     theme::knobBodyBottom.b);
    cairo_arc(cr, cx, cy, kBodyRadius, 0, 2 * M_PI);
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    canvas.setColour(theme::buttonEdge);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);

    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    canvas.line(cx + std::cos(angle) * 5.0, cy + std::sin(angle) * 5.0, cx + std::cos(angle) * (kBodyRadius - 3),
                cy + std::sin(angle) * (kBodyRadius - 3), theme::text, 2.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  }
  canvas.writePng(path);
}

}  // namespace sorel::art
