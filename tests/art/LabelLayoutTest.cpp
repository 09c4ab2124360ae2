// The background's labels: placed from the skin, never under a control, never
// over each other, and never across a section's frame.

#include <gtest/gtest.h>


#include <memory>
#include <set>
#include <string>

#include "art/RgbaImage.h"
#include "tools/art/BackgroundPainter.h"
#include "tools/art/CarlitoFace.h"
#include "tools/art/LabelLayout.h"

namespace sorel::art::test {
namespace {

std::string describe(const PlacedLabel& label) {
  return "\"" + label.entry.text + "\" at skin " + std::to_string(label.entry.skin);
}

bool inside(const Box& inner, const Box& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.right() <= outer.right() &&
         inner.bottom() <= outer.bottom();
}

class LabelLayoutTest : public ::testing::Test {
 protected:
  LabelLayoutTest() : skin_(SkinLayout::load(resourcePath("skin/Sorel.skin"))) {}

  // Measures with the face the background is drawn in.
  LabelLayout realLayout(const SkinLayout& skin) {
    return LabelLayout(skin, [this](const std::string& text, double size) {
      return bold_.textWidth(text, size);
    });
  }

  SkinLayout skin_;
  CarlitoFace bold_{Weight::Bold};
};

TEST_F(LabelLayoutTest, NoLabelLiesUnderAControl) {
  ASSERT_EQ(skin_.size(), 169u);
  const LabelLayout layout = realLayout(skin_);
  const std::vector<Box> controls = LabelLayout::controlAreas(skin_);
  ASSERT_FALSE(layout.labels().empty());
  for (const PlacedLabel& label : layout.labels()) {
    for (const Box& control : controls) {
      EXPECT_FALSE(overlaps(label.box, control))
          << describe(label) << " overlaps the control at " << control.x << "," << control.y;
    }
  }
}

TEST_F(LabelLayoutTest, LabelsStayApartInsideTheWindowAndTheirSection) {
  const LabelLayout layout = realLayout(skin_);
  const Box window{0, 0, BackgroundPainter::kWidth, BackgroundPainter::kHeight};
  const auto& labels = layout.labels();
  for (std::size_t i = 0; i < labels.size(); ++i) {
    EXPECT_TRUE(inside(labels[i].box, window)) << describe(labels[i]);
    for (std::size_t j = i + 1; j < labels.size(); ++j) {
      EXPECT_FALSE(overlaps(labels[i].box, labels[j].box)) << describe(labels[i]) << " and " << describe(labels[j]);
    }
    for (const Panel& panel : BackgroundPainter::panels()) {
      // A label is either wholly within a section or wholly outside it, with
      // a pixel of air to the frame.
      const Box frame = panel.box.inset(1);
      const bool within = inside(labels[i].box, frame);
      const bool outside = !overlaps(labels[i].box, panel.box.inset(-1));
      EXPECT_TRUE(within || outside) << describe(labels[i]) << " crosses a section frame";
    }
  }
}

TEST_F(LabelLayoutTest, SectionsKeepClearOfEachOtherAndHoldTheirTextWells) {
  const auto panels = BackgroundPainter::panels();
  for (std::size_t i = 0; i < panels.size(); ++i) {
    for (std::size_t j = i + 1; j < panels.size(); ++j) {
      EXPECT_FALSE(overlaps(panels[i].box, panels[j].box)) << "sections " << i << " and " << j;
    }
  }
  for (int index : BackgroundPainter::textWells()) {
    const SkinRect& r = skin_.at(index);
    const Box well{r.L - 1.0, r.T - 1.0, r.width() + 2.0, r.height() + 2.0};
    bool held = false;
    for (const Panel& panel : panels) held = held || inside(well, panel.box.inset(1));
    EXPECT_TRUE(held) << "the well of skin " << index << " is not inside one section";
  }
  // No control may straddle a section's frame either, except the info and
  // settings boxes, which drop down over everything, and the load-button and
  // bank-selection entries, which no control of the editor uses.
  const std::set<int> exempt = {142, 143, 157, 163};
  for (int i = 0; i < static_cast<int>(skin_.size()); ++i) {
    if (exempt.count(i) || LabelLayout::isPaintableArea(i)) continue;
    const SkinRect& r = skin_.at(i);
    const Box control{double(r.L), double(r.T), double(r.width()), double(r.height())};
    for (const Panel& panel : panels) {
      EXPECT_TRUE(inside(control, panel.box) || !overlaps(control, panel.box))
          << "skin " << i << " crosses a section frame";
    }
  }
}

TEST_F(LabelLayoutTest, LabelsFollowTheirControlsRectangle) {
  const auto fixedWidth = [](const std::string& text, double) { return 5.0 * text.size(); };
  const SkinLayout original = SkinLayout::load(resourcePath("skin/Sorel.skin"));
  const LabelLayout before(original, fixedWidth);
  // Build a skin equal to the original except for the swing knob.
  std::string text;
  for (std::size_t i = 0; i < original.size(); ++i) {
    SkinRect r = original.at(i);
    if (i == 4) r = SkinRect{r.L + 100, r.T + 10, r.R + 100, r.B + 10};
    text += std::to_string(r.L) + " " + std::to_string(r.T) + " " + std::to_string(r.R) + " " +
            std::to_string(r.B) + "\r\n";
  }
  const SkinLayout shifted = SkinLayout::parse(text);
  ASSERT_EQ(shifted.size(), original.size());
  const LabelLayout after(shifted, fixedWidth);
  ASSERT_EQ(before.labels().size(), after.labels().size());
  int swingLabels = 0;
  for (std::size_t i = 0; i < before.labels().size(); ++i) {
    const Box& a = before.labels()[i].box;
    const Box& b = after.labels()[i].box;
    if (before.labels()[i].entry.skin == 4) {
      ++swingLabels;
      EXPECT_EQ(b.x - a.x, 100);
      EXPECT_EQ(b.y - a.y, 10);
    } else {
      EXPECT_EQ(a.x, b.x);
      EXPECT_EQ(a.y, b.y);
    }
  }
  EXPECT_EQ(swingLabels, 1);
}

TEST(LabelLayoutAreas, ImageControlsCountAtTheirImageSize) {
  // The settings button's image is wider than its skin entry; labels must
  // keep clear of what is drawn, not of the entry.
  std::string text;
  for (int i = 0; i < 169; ++i) text += i == 141 ? "570 70 600 84\n" : "0 0 0 0\n";
  const SkinLayout skin = SkinLayout::parse(text);
  bool found = false;
  for (const Box& area : LabelLayout::controlAreas(skin)) {
    if (area.x == 570 && area.y == 70) {
      found = true;
      EXPECT_EQ(area.w, 48);
      EXPECT_EQ(area.h, 14);
    }
  }
  EXPECT_TRUE(found);
  EXPECT_TRUE(LabelLayout::isPaintableArea(168));
  EXPECT_FALSE(LabelLayout::isPaintableArea(0));
}

}  // namespace
}  // namespace sorel::art::test
