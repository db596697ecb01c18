#pragma once
// Docking layout on plain rectangles, without windows.
//
// Children are placed in three passes, each in creation order:
//   1. Top and Bottom: full remaining width, own height kept; the remaining
//      rectangle shrinks from that edge.
//   2. Left and Right: full remaining height, own width kept.
//   3. Client: the remaining rectangle.
// `gap` pixels are left between docked children and between them and the
// parent's edges. Children with Align::None keep their rectangle.

#include <span>

namespace platform {

enum class Align { None = 0, Left = 1, Top = 2, Right = 3, Bottom = 4, Client = 5 };

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct DockItem {
  Align align = Align::None;
  Rect bounds;  // in: the child's current rectangle; out: its docked rectangle
};

void DockLayout(const Rect& client, int gap, std::span<DockItem> items);

// Origin that centres `size` pixels in `space` pixels, by floor division: a
// space smaller than the size gives a negative origin ((10 - 13) -> -2).
constexpr int CenteredOrigin(int space, int size) {
  const int free = space - size;
  return free >= 0 ? free / 2 : -((-free + 1) / 2);
}

}  // namespace platform
