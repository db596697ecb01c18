#include "platform/layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

DockItem Item(Align align, int width, int height) { return {align, {0, 0, width, height}}; }

TEST(DockLayout, MainWindowColumnsAndStrips) {
  // Creation order of the main window: left pane, status strip (bottom), preview (fill).
  std::vector<DockItem> items = {Item(Align::Left, 167, 10), Item(Align::Bottom, 10, 17),
                                 Item(Align::Client, 137, 121)};
  DockLayout({0, 0, 688, 452}, 0, items);
  EXPECT_EQ(items[0].bounds, (Rect{0, 0, 167, 435})) << "left pane is placed after the bottom strip";
  EXPECT_EQ(items[1].bounds, (Rect{0, 435, 688, 452})) << "bottom strip spans the full width";
  EXPECT_EQ(items[2].bounds, (Rect{167, 0, 688, 435}));
}

TEST(DockLayout, TopStackThenFill) {
  std::vector<DockItem> items = {Item(Align::Top, 0, 25), Item(Align::Top, 0, 177), Item(Align::Client, 0, 0)};
  DockLayout({0, 0, 167, 435}, 0, items);
  EXPECT_EQ(items[0].bounds, (Rect{0, 0, 167, 25}));
  EXPECT_EQ(items[1].bounds, (Rect{0, 25, 167, 202}));
  EXPECT_EQ(items[2].bounds, (Rect{0, 202, 167, 435}));
}

TEST(DockLayout, GapSeparatesChildrenAndEdges) {
  std::vector<DockItem> items = {Item(Align::Top, 0, 20), Item(Align::Right, 30, 0), Item(Align::Client, 0, 0)};
  DockLayout({0, 0, 100, 100}, 5, items);
  EXPECT_EQ(items[0].bounds, (Rect{5, 5, 95, 25}));
  EXPECT_EQ(items[1].bounds, (Rect{65, 30, 95, 95}));
  EXPECT_EQ(items[2].bounds, (Rect{5, 30, 60, 95}));
}

TEST(DockLayout, UndockedKeepsRectangleAndTinyParentNeverInverts) {
  std::vector<DockItem> items = {{Align::None, {3, 4, 50, 60}}, Item(Align::Top, 0, 80), Item(Align::Left, 40, 0),
                                 Item(Align::Client, 0, 0)};
  DockLayout({0, 0, 30, 50}, 0, items);
  EXPECT_EQ(items[0].bounds, (Rect{3, 4, 50, 60}));
  EXPECT_EQ(items[1].bounds, (Rect{0, 0, 30, 80}));
  const Rect& fill = items[3].bounds;
  EXPECT_GE(fill.Width(), 0);
  EXPECT_GE(fill.Height(), 0);
}

TEST(CenteredOrigin, FloorsHalfTheFreeSpaceAlsoWhenItIsNegative) {
  const struct {
    int space, size, want;
  } cases[] = {{1280, 696, 292}, {1024, 506, 259}, {697, 696, 0}, {696, 696, 0},
               {695, 696, -1}, {693, 696, -2}, {600, 696, -48}, {0, 1, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(CenteredOrigin(c.space, c.size), c.want) << "space " << c.space << ", size " << c.size;
  }
}

}  // namespace
}  // namespace platform
