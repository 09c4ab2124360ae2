// Where a popup menu stands and what lies under a point, without a window.
#include "graphics/PopupMenuLayout.h"

#include <gtest/gtest.h>

namespace sorel {
namespace {

constexpr IRECT kScreen{0, 0, 400, 300};
constexpr int kNo = PopupMenuLayout::kNoItem;

// "One", "Off" (disabled), a separator, "Grey": rows of 20, 20, 7 and 20
// pixels inside a border of 2.
IPopupMenu ShortMenu() {
    IPopupMenu menu;
    menu.AddItem("One");
    menu.AddItem("Off", 0, IPopupMenu::kDisabled);
    menu.AddSeparator();
    menu.AddItem("Grey", 0, IPopupMenu::kGreyed);
    return menu;
}

IPopupMenu LongMenu(int items) {
    IPopupMenu menu;
    for (int i = 0; i < items; ++i) menu.AddItem("Item " + std::to_string(i));
    return menu;
}

TEST(PopupMenuLayoutTest, StandsBelowThePointOrAboveWhereTheScreenEnds) {
    const IPopupMenu menu = ShortMenu();
    const struct { int widestText, scale, x, y, above; IRECT expected; } kCases[] = {
        {50, 1, 10, 20, 15, {10, 20, 106, 91}},      // text + room for tick and arrow, 71 high
        {10, 1, 10, 20, 15, {10, 20, 90, 91}},       // never narrower than 80
        {200, 1, 10, 20, 15, {10, 20, 256, 91}},
        {100, 2, 10, 20, 15, {10, 20, 202, 162}},    // twice the rows, the border and the room
        {50, 1, 10, 229, 200, {10, 229, 106, 300}},  // just fits below
        {50, 1, 10, 230, 200, {10, 129, 106, 200}},  // one pixel more: above
        {50, 1, 10, 290, 40, {10, 0, 106, 71}},      // not above the screen either
        {50, 1, 350, 20, 15, {304, 20, 400, 91}},    // kept inside on the right
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "at " << c.x << "," << c.y << " scale " << c.scale);
        EXPECT_EQ(PopupMenuLayout(menu, c.scale, c.widestText, kScreen, c.x, c.y, c.above).ScreenRect(), c.expected);
    }
}

TEST(PopupMenuLayoutTest, RowsAndHitsMeetAtTheirEdges) {
    const IPopupMenu menu = ShortMenu();
    const PopupMenuLayout layout(menu, 1, 50, kScreen, 10, 20, 15);
    EXPECT_EQ(layout.ItemScreenRect(0), IRECT(10, 22, 106, 42));
    EXPECT_EQ(layout.ItemScreenRect(2), IRECT(10, 62, 106, 69));
    EXPECT_EQ(layout.ItemScreenRect(3), IRECT(10, 69, 106, 89));
    const struct { int x, y, expected; } kHits[] = {
        {10, 22, 0}, {105, 41, 0}, {106, 41, kNo}, {9, 30, kNo}, {50, 42, 1}, {50, 61, 1},
        {50, 62, 2}, {50, 68, 2}, {50, 69, 3}, {50, 88, 3}, {50, 21, kNo}, {50, 89, kNo}, {50, 91, kNo},
    };
    for (const auto& h : kHits) EXPECT_EQ(layout.HitTest(h.x, h.y), h.expected) << h.x << "," << h.y;
}

TEST(PopupMenuLayoutTest, HighlightSkipsSeparatorsAndDisabledItems) {
    const IPopupMenu menu = ShortMenu();
    PopupMenuLayout layout(menu, 1, 50, kScreen, 10, 20, 15);
    for (const int expected : {0, 3, 0}) {
        EXPECT_TRUE(layout.HighlightNext(1));
        EXPECT_EQ(layout.Highlighted(), expected);
    }
    EXPECT_TRUE(layout.HighlightNext(-1));
    EXPECT_EQ(layout.Highlighted(), 3);
    EXPECT_TRUE(layout.Highlight(2));  // the separator: no highlight at all
    EXPECT_EQ(layout.Highlighted(), kNo);
    EXPECT_FALSE(layout.Highlight(1));
    EXPECT_FALSE(layout.Scroll(1));  // it fits: nothing to scroll
}

// 30 rows of 20 on a screen 300 high: arrows of 14 at both ends, 13 rows between.
TEST(PopupMenuLayoutTest, ALongMenuScrollsBetweenItsArrows) {
    const IPopupMenu menu = LongMenu(30);
    PopupMenuLayout layout(menu, 1, 50, kScreen, 0, 0, 0);
    ASSERT_TRUE(layout.Scrolls());
    EXPECT_EQ(layout.ScreenRect(), IRECT(0, 0, 96, 300));
    const struct { int x, y, expected; } kHits[] = {
        {50, 15, PopupMenuLayout::kScrollUp}, {50, 16, 0}, {50, 275, 12}, {50, 276, kNo},
        {50, 284, PopupMenuLayout::kScrollDown}, {50, 299, PopupMenuLayout::kScrollDown},
    };
    for (const auto& h : kHits) EXPECT_EQ(layout.HitTest(h.x, h.y), h.expected) << h.y;
    EXPECT_TRUE(layout.ItemScreenRect(13).Empty());
    EXPECT_FALSE(layout.Scroll(-1));
    EXPECT_TRUE(layout.Scroll(5));
    EXPECT_EQ(layout.ItemScreenRect(5), IRECT(0, 16, 96, 36));
    EXPECT_TRUE(layout.ItemScreenRect(4).Empty());
    EXPECT_TRUE(layout.Scroll(100));  // as far as the last row at the bottom
    EXPECT_EQ(layout.ItemScreenRect(29), IRECT(0, 256, 96, 276));
    EXPECT_TRUE(layout.ItemScreenRect(16).Empty());
    EXPECT_FALSE(layout.Scroll(1));
    EXPECT_TRUE(layout.Scroll(-100));
    EXPECT_TRUE(layout.HighlightNext(-1));  // wraps round to the last item and scrolls to it
    EXPECT_EQ(layout.Highlighted(), 29);
    EXPECT_EQ(layout.HitTest(50, 256), 29);
}

}  // namespace
}  // namespace sorel
