#include "platform/scroll_box.h"

#include <algorithm>

namespace platform {

namespace {

SCROLLINFO Info(UINT mask) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = mask;
  return si;
}

int Position(HWND hwnd, int bar) {
  SCROLLINFO si = Info(SIF_POS);
  return GetScrollInfo(hwnd, bar, &si) ? si.nPos : 0;
}

}  // namespace

ScrollBox::ScrollBox(Control& parent, Edge edge) : Control(&parent) {
  CreateHandle(nullptr, WS_VISIBLE | WS_CLIPCHILDREN,
               WS_EX_CONTROLPARENT | (edge == Edge::Sunken ? WS_EX_CLIENTEDGE : 0), {0, 0, 100, 100});
}

POINT ScrollBox::ScrollPosition() const { return {Position(Handle(), SB_HORZ), Position(Handle(), SB_VERT)}; }

void ScrollBox::ChildBoundsChanged(Control& child) {
  Control::ChildBoundsChanged(child);
  UpdateScrollBars();
}

void ScrollBox::Resized() {
  Control::Resized();
  UpdateScrollBars();
}

// The range of each bar runs from 0 to max(extent, visible) - 1 with the
// visible size as its page; Windows hides a bar whose page covers its range.
// Showing or hiding a bar resizes the client area, which brings us back here
// through Resized, so the loop runs until both bars agree with the client.
void ScrollBox::UpdateScrollBars() {
  if (!Handle() || updating_ || Dying()) return;
  updating_ = true;
  const POINT old = ScrollPosition();
  for (int round = 0; round < 3; ++round) {
    int extentX = 0, extentY = 0;
    for (const auto& child : Children()) {
      if (!child->Handle() || !child->Visible()) continue;
      const Rect b = child->Bounds();
      extentX = std::max(extentX, b.right + static_cast<int>(old.x));
      extentY = std::max(extentY, b.bottom + static_cast<int>(old.y));
    }
    const Rect client = ClientRect();
    SCROLLINFO h = Info(SIF_RANGE | SIF_PAGE);
    h.nMax = std::max(extentX, client.Width()) - 1;
    h.nPage = static_cast<UINT>(client.Width());
    SCROLLINFO v = Info(SIF_RANGE | SIF_PAGE);
    v.nMax = std::max(extentY, client.Height()) - 1;
    v.nPage = static_cast<UINT>(client.Height());
    SetScrollInfo(Handle(), SB_HORZ, &h, TRUE);
    SetScrollInfo(Handle(), SB_VERT, &v, TRUE);
    if (ClientRect() == client) break;
  }
  const POINT now = ScrollPosition();
  MoveChildren(now.x, now.y, old.x, old.y);
  updating_ = false;
}

void ScrollBox::ScrollTo(int x, int y) {
  const POINT old = ScrollPosition();
  SCROLLINFO si = Info(SIF_POS);
  si.nPos = x;
  SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
  si.nPos = y;
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
  const POINT now = ScrollPosition();  // Windows limits the positions to the ranges
  MoveChildren(now.x, now.y, old.x, old.y);
}

void ScrollBox::MoveChildren(int newX, int newY, int oldX, int oldY) {
  if (newX == oldX && newY == oldY) return;
  // Moves the children and the pixels on screen; only the uncovered strip is repainted.
  ScrollWindowEx(Handle(), oldX - newX, oldY - newY, nullptr, nullptr, nullptr, nullptr,
                 SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
}

void ScrollBox::OnScroll(int bar, WORD request) {
  SCROLLINFO si = Info(SIF_ALL);
  GetScrollInfo(Handle(), bar, &si);
  const int maxPos = std::max(si.nMin, si.nMax - static_cast<int>(si.nPage) + 1);
  int pos = si.nPos;
  switch (request) {
    case SB_LINEUP: pos -= kLine; break;
    case SB_LINEDOWN: pos += kLine; break;
    case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = maxPos; break;
    default: return;
  }
  pos = std::clamp(pos, si.nMin, maxPos);
  const POINT old = ScrollPosition();
  if (bar == SB_HORZ) ScrollTo(pos, old.y);
  else ScrollTo(old.x, pos);
}

void ScrollBox::OnWheel(int bar, int delta) {
  constexpr int kUnitsPerLine = WHEEL_DELTA / kWheelLines;
  int& rest = wheelRest_[bar == SB_HORZ ? 0 : 1];
  if ((rest < 0 && delta > 0) || (rest > 0 && delta < 0)) rest = 0;  // turned the other way
  rest += delta;
  const int lines = rest / kUnitsPerLine;
  rest -= lines * kUnitsPerLine;
  if (lines == 0) return;
  const POINT old = ScrollPosition();
  if (bar == SB_HORZ) ScrollTo(old.x + lines * kLine, old.y);
  else ScrollTo(old.x, old.y + lines * kLine);
}

LRESULT ScrollBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEWHEEL:
      // Turning the wheel away from the user (a positive delta) scrolls up, or left with Shift.
      OnWheel((GET_KEYSTATE_WPARAM(wp) & MK_SHIFT) ? SB_HORZ : SB_VERT, -GET_WHEEL_DELTA_WPARAM(wp));
      return 0;
    case WM_MOUSEHWHEEL:
      OnWheel(SB_HORZ, GET_WHEEL_DELTA_WPARAM(wp));  // tilted right: a positive delta
      return 0;
    case WM_HSCROLL:
      OnScroll(SB_HORZ, LOWORD(wp));
      return 0;
    case WM_VSCROLL:
      OnScroll(SB_VERT, LOWORD(wp));
      return 0;
    default:
      return DefaultHandling(msg, wp, lp);
  }
}

}  // namespace platform
