#include "platform/layout.h"

#include <algorithm>

namespace platform {

void DockLayout(const Rect& client, int gap, std::span<DockItem> items) {
  Rect free{client.left + gap, client.top + gap, client.right - gap, client.bottom - gap};
  auto clampFree = [&free] {
    free.right = std::max(free.right, free.left);
    free.bottom = std::max(free.bottom, free.top);
  };
  clampFree();

  for (DockItem& item : items) {
    const int h = item.bounds.Height();
    if (item.align == Align::Top) {
      item.bounds = {free.left, free.top, free.right, free.top + h};
      free.top += h + gap;
    } else if (item.align == Align::Bottom) {
      item.bounds = {free.left, free.bottom - h, free.right, free.bottom};
      free.bottom -= h + gap;
    } else {
      continue;
    }
    clampFree();
  }
  for (DockItem& item : items) {
    const int w = item.bounds.Width();
    if (item.align == Align::Left) {
      item.bounds = {free.left, free.top, free.left + w, free.bottom};
      free.left += w + gap;
    } else if (item.align == Align::Right) {
      item.bounds = {free.right - w, free.top, free.right, free.bottom};
      free.right -= w + gap;
    } else {
      continue;
    }
    clampFree();
  }
  for (DockItem& item : items) {
    if (item.align == Align::Client) item.bounds = free;
  }
}

}  // namespace platform
