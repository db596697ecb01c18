#pragma once
// The base of every window of the program: a C++ object bound to one HWND.
//
// Ownership follows the window tree. A control owns its child controls and
// the non-window objects registered with it (`Own`); destroying a control
// destroys its window and the windows of its children first, then releases
// the registered objects and then the child objects, each once, in reverse
// order of registration. While that happens no event reaches any of them.
//
// Our own window classes bind their object at WM_NCCREATE; system controls
// (list box, combo box, list view, static, button) are subclassed with the
// object as reference data. Notifications that a parent receives for a child
// (WM_COMMAND, WM_CTLCOLOR*) are handed back to the child object.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <windows.h>

#include "platform/font.h"
#include "platform/layout.h"

namespace platform {

// A non-window object that lives as long as the window it is registered with.
class Owned {
 public:
  virtual ~Owned() = default;
};

class Control {
 public:
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  HWND Handle() const { return hwnd_; }
  Control* Parent() const { return parent_; }

  // Creates a child control of type T, owned by this control:
  // T's constructor takes (Control& parent, args...).
  template <class T, class... Args>
  T& Add(Args&&... args) {
    static_assert(std::is_base_of_v<Control, T>);
    auto child = std::make_unique<T>(*this, std::forward<Args>(args)...);
    T& ref = *child;
    children_.push_back(std::move(child));
    return ref;
  }

  // Registers an object for release together with this control.
  template <class T>
  T& Own(std::unique_ptr<T> object) {
    static_assert(std::is_base_of_v<Owned, T>);
    T& ref = *object;
    owned_.push_back(std::move(object));
    return ref;
  }

  // Destroys the window tree and releases everything owned; the object itself
  // stays, without a window. Called by the destructor; safe to call twice.
  void Destroy();

  // Geometry, in the parent's client coordinates (screen coordinates for a
  // top-level window). A rectangle equal to the current one costs nothing.
  Rect Bounds() const;
  void SetBounds(const Rect& bounds);
  void SetPosition(int left, int top);
  void SetSize(int width, int height);
  void SetWidth(int width);
  void SetHeight(int height);
  int Left() const { return Bounds().left; }
  int Top() const { return Bounds().top; }
  int Width() const { return Bounds().Width(); }
  int Height() const { return Bounds().Height(); }
  Rect ClientRect() const;

  // Docking inside the parent; a docked child is placed by the parent's layout.
  void SetAlign(Align align);
  // Space left between docked children and around them; a new child takes its parent's gap.
  int Gap() const { return gap_; }
  void SetGap(int gap);
  void Relayout();

  std::string Text() const;  // Windows-1251
  void SetText(std::string_view cp1251);

  const FontSpec& GetFont() const;
  void SetFont(const FontSpec& spec);

  // Background colour (see color.h); unset until the first SetColor.
  bool HasColor() const { return hasColor_; }
  uint32_t Color() const { return color_; }
  void SetColor(uint32_t color);

  void SetCursor(HCURSOR cursor) { cursor_ = cursor; }

  bool Visible() const;  // the control's own visibility flag, whatever its parents show
  bool Enabled() const;
  void SetEnabled(bool enabled);

  const std::vector<std::unique_ptr<Control>>& Children() const { return children_; }

  LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;

  // The object bound to a window of ours, or null.
  static Control* FromHandle(HWND hwnd);

 protected:
  explicit Control(Control* parent);

  // Creates the window. With a null class name the window is of our own class.
  void CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle, const Rect& bounds,
                    std::string_view text = {});
  // Creates a hidden message-only window of our own class, for a control without a parent.
  void CreateMessageOnlyHandle();

  // Handles one message; the default forwards to the window's original procedure.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultHandling(UINT msg, WPARAM wp, LPARAM lp);

  // A notification code from WM_COMMAND that the parent received for this control.
  virtual bool OnCommand(WORD /*code*/) { return false; }
  // The brush for WM_CTLCOLOR*, or null for the system's default.
  virtual HBRUSH CtlColor(HDC dc);
  // A child changed its rectangle through SetBounds.
  virtual void ChildBoundsChanged(Control& child);
  // The client area was resized.
  virtual void Resized() { Relayout(); }

  bool Dying() const { return dying_; }

 private:
  static LRESULT CALLBACK OwnClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  void MarkDying();
  void ForgetHandle();
  void ApplyFont();

  HWND hwnd_ = nullptr;
  Control* parent_;
  bool subclassed_ = false;
  bool dying_ = false;
  bool inLayout_ = false;
  Align align_ = Align::None;
  int gap_ = 0;
  bool hasColor_ = false;
  uint32_t color_ = 0;
  HBRUSH brush_ = nullptr;
  std::unique_ptr<Font> font_;
  HCURSOR cursor_ = nullptr;
  std::vector<std::unique_ptr<Control>> children_;
  std::vector<std::unique_ptr<Owned>> owned_;
};

}  // namespace platform
