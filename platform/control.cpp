#include "platform/control.h"

#include <cassert>

#include <commctrl.h>

#include "platform/text.h"
#include "platform/window_class.h"

namespace platform {

namespace {

constexpr wchar_t kOwnClassName[] = L"AsgWindow";
constexpr UINT_PTR kSubclassId = 1;
// Names the object of a subclassed system control. Windows exports no named
// function that reads a subclass's reference data back (GetWindowSubclass is
// an ordinal only), so the object is also kept as a window property.
constexpr wchar_t kObjectProperty[] = L"AsgControl";

bool IsOwnClass(HWND hwnd) {
  wchar_t name[32];
  return GetClassNameW(hwnd, name, 32) && lstrcmpW(name, kOwnClassName) == 0;
}

}  // namespace

Control::Control(Control* parent) : parent_(parent) {
  if (parent_) gap_ = parent_->gap_;
}

Control::~Control() { Destroy(); }

void Control::MarkDying() {
  dying_ = true;
  for (auto& child : children_) child->MarkDying();
}

void Control::Destroy() {
  MarkDying();
  if (hwnd_) DestroyWindow(hwnd_);
  while (!owned_.empty()) {
    std::unique_ptr<Owned> last = std::move(owned_.back());
    owned_.pop_back();
  }
  while (!children_.empty()) {
    std::unique_ptr<Control> last = std::move(children_.back());
    children_.pop_back();
  }
  if (brush_) {
    DeleteObject(brush_);
    brush_ = nullptr;
  }
}

void Control::CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle, const Rect& bounds,
                           std::string_view text) {
  assert(!hwnd_);
  HWND parentHwnd = parent_ ? parent_->hwnd_ : nullptr;
  if (parent_) style |= WS_CHILD | WS_CLIPSIBLINGS;
  const std::wstring wideText = Widen(text);
  if (!className) {
    RegisterWindowClassOnce(kOwnClassName, &Control::OwnClassProc, CS_DBLCLKS);
    CreateWindowExW(exStyle, kOwnClassName, wideText.c_str(), style, bounds.left, bounds.top, bounds.Width(),
                    bounds.Height(), parentHwnd, nullptr, GetModuleHandleW(nullptr), this);
  } else {
    HWND hwnd = CreateWindowExW(exStyle, className, wideText.c_str(), style, bounds.left, bounds.top,
                                bounds.Width(), bounds.Height(), parentHwnd, nullptr, GetModuleHandleW(nullptr),
                                nullptr);
    if (hwnd) {
      hwnd_ = hwnd;
      subclassed_ = SetWindowSubclass(hwnd, &Control::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
      if (subclassed_) SetPropW(hwnd, kObjectProperty, this);
    }
  }
  if (hwnd_) ApplyFont();
}

void Control::CreateMessageOnlyHandle() {
  assert(!hwnd_ && !parent_);
  RegisterWindowClassOnce(kOwnClassName, &Control::OwnClassProc, CS_DBLCLKS);
  CreateWindowExW(0, kOwnClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), this);
}

LRESULT CALLBACK Control::OwnClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Control*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  return self->Dispatch(msg, wp, lp);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<Control*>(data);
  if (!self || self->hwnd_ != hwnd) return DefSubclassProc(hwnd, msg, wp, lp);
  return self->Dispatch(msg, wp, lp);
}

Control* Control::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  if (IsOwnClass(hwnd)) return reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return static_cast<Control*>(GetPropW(hwnd, kObjectProperty));
}

void Control::ForgetHandle() {
  if (subclassed_) {
    RemoveWindowSubclass(hwnd_, &Control::SubclassProc, kSubclassId);
    RemovePropW(hwnd_, kObjectProperty);
  } else SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  subclassed_ = false;
  hwnd_ = nullptr;
}

LRESULT Control::DefaultHandling(UINT msg, WPARAM wp, LPARAM lp) {
  if (subclassed_) return DefSubclassProc(hwnd_, msg, wp, lp);
  // A tilt of the wheel that a child leaves goes on to its parent, as a turn
  // does; not every system's default handling passes the tilt on.
  if (msg == WM_MOUSEHWHEEL && parent_ && parent_->hwnd_) return SendMessageW(parent_->hwnd_, msg, wp, lp);
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT Control::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCDESTROY) {
    HWND hwnd = hwnd_;
    const bool wasSubclassed = subclassed_;
    ForgetHandle();
    return wasSubclassed ? DefSubclassProc(hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
  }
  if (dying_) return DefaultHandling(msg, wp, lp);

  switch (msg) {
    case WM_COMMAND:
      if (lp) {
        Control* child = FromHandle(reinterpret_cast<HWND>(lp));
        if (child && child->parent_ == this && !child->dying_ && child->OnCommand(HIWORD(wp))) return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
      Control* child = FromHandle(reinterpret_cast<HWND>(lp));
      if (child && !child->dying_) {
        if (HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wp))) return reinterpret_cast<LRESULT>(brush);
      }
      break;
    }
    case WM_SETCURSOR:
      if (cursor_ && reinterpret_cast<HWND>(wp) == hwnd_ && LOWORD(lp) == HTCLIENT) {
        ::SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_SIZE:
      if (!subclassed_) Resized();
      break;
    case WM_ERASEBKGND:
      if (!subclassed_) {
        RECT rc;
        GetClientRect(hwnd_, &rc);
        FillRect(reinterpret_cast<HDC>(wp), &rc,
                 hasColor_ ? brush_ : GetSysColorBrush(COLOR_BTNFACE));
        return 1;
      }
      break;
    default:
      break;
  }
  return HandleMessage(msg, wp, lp);
}

LRESULT Control::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return DefaultHandling(msg, wp, lp); }

HBRUSH Control::CtlColor(HDC dc) {
  const bool customText = font_ && font_->Spec().color != FontSpec{}.color;
  if (!hasColor_ && !customText) return nullptr;
  if (customText) SetTextColor(dc, ResolveColor(font_->Spec().color));
  if (hasColor_) {
    SetBkColor(dc, ResolveColor(color_));
    return brush_;
  }
  // Text colour alone: keep the parent's background.
  const Control* owner = parent_;
  while (owner && !owner->hasColor_) owner = owner->parent_;
  const COLORREF back = owner ? ResolveColor(owner->color_) : GetSysColor(COLOR_BTNFACE);
  SetBkColor(dc, back);
  return owner ? owner->brush_ : GetSysColorBrush(COLOR_BTNFACE);
}

Rect Control::Bounds() const {
  if (!hwnd_) return {};
  RECT rc;
  GetWindowRect(hwnd_, &rc);
  if (parent_ && parent_->hwnd_) MapWindowPoints(HWND_DESKTOP, parent_->hwnd_, reinterpret_cast<POINT*>(&rc), 2);
  return {rc.left, rc.top, rc.right, rc.bottom};
}

Rect Control::ClientRect() const {
  if (!hwnd_) return {};
  RECT rc;
  GetClientRect(hwnd_, &rc);
  return {rc.left, rc.top, rc.right, rc.bottom};
}

void Control::SetBounds(const Rect& bounds) {
  if (!hwnd_ || bounds == Bounds()) return;
  SetWindowPos(hwnd_, nullptr, bounds.left, bounds.top, bounds.Width(), bounds.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (parent_ && !dying_) parent_->ChildBoundsChanged(*this);
}

void Control::SetPosition(int left, int top) {
  const Rect b = Bounds();
  SetBounds({left, top, left + b.Width(), top + b.Height()});
}

void Control::SetSize(int width, int height) {
  const Rect b = Bounds();
  SetBounds({b.left, b.top, b.left + width, b.top + height});
}

void Control::SetWidth(int width) { SetSize(width, Height()); }
void Control::SetHeight(int height) { SetSize(Width(), height); }

void Control::SetAlign(Align align) {
  align_ = align;
  if (parent_) parent_->Relayout();
}

void Control::SetGap(int gap) {
  gap_ = gap;
  Relayout();
}

void Control::ChildBoundsChanged(Control& child) {
  if (child.align_ != Align::None) Relayout();
}

void Control::Relayout() {
  if (!hwnd_ || inLayout_ || dying_) return;
  std::vector<Control*> docked;
  std::vector<DockItem> items;
  for (auto& child : children_) {
    if (child->align_ == Align::None || !child->hwnd_ || !child->Visible()) continue;
    docked.push_back(child.get());
    items.push_back({child->align_, child->Bounds()});
  }
  if (items.empty()) return;
  DockLayout(ClientRect(), gap_, items);
  inLayout_ = true;
  for (size_t i = 0; i < items.size(); ++i) docked[i]->SetBounds(items[i].bounds);
  inLayout_ = false;
}

std::string Control::Text() const {
  if (!hwnd_) return {};
  const int n = GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(hwnd_, text.data(), n + 1);
  text.resize(static_cast<size_t>(got));
  return Narrow(text);
}

void Control::SetText(std::string_view cp1251) {
  if (hwnd_) SetWindowTextW(hwnd_, Widen(cp1251).c_str());
}

const FontSpec& Control::GetFont() const {
  static const FontSpec defaults;
  return font_ ? font_->Spec() : defaults;
}

void Control::SetFont(const FontSpec& spec) {
  if (font_ && font_->Spec() == spec) return;
  font_ = std::make_unique<Font>(spec);
  ApplyFont();
}

void Control::ApplyFont() {
  if (!font_) font_ = std::make_unique<Font>(FontSpec{});
  if (hwnd_) Send(WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), TRUE);
}

void Control::SetColor(uint32_t color) {
  if (hasColor_ && color_ == color) return;
  hasColor_ = true;
  color_ = color;
  if (brush_) DeleteObject(brush_);
  brush_ = CreateSolidBrush(ResolveColor(color));
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Control::Visible() const { return hwnd_ && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE); }

bool Control::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

void Control::SetEnabled(bool enabled) {
  if (hwnd_) EnableWindow(hwnd_, enabled);
}

LRESULT Control::Send(UINT msg, WPARAM wp, LPARAM lp) const {
  assert(IsWindow(hwnd_));
  return SendMessageW(hwnd_, msg, wp, lp);
}

}  // namespace platform
