#pragma once
// A list of equally sized images with masks, cut from a bitmap strip.

#include <windows.h>

#include <commctrl.h>

#include "platform/control.h"

namespace platform {

class ImageList : public Owned {
 public:
  // Device-dependent colour images of `size` x `size` pixels with a mask,
  // cut from the bitmap resource `name`; pixels of `transparent` colour
  // become transparent. The list is empty when the resource is missing.
  ImageList(const wchar_t* name, int size, COLORREF transparent);
  ~ImageList() override;
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;

  HIMAGELIST Handle() const { return list_; }
  int Count() const;

 private:
  HIMAGELIST list_ = nullptr;
};

}  // namespace platform
