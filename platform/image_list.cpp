#include "platform/image_list.h"

namespace platform {

ImageList::ImageList(const wchar_t* name, int size, COLORREF transparent) {
  list_ = ImageList_Create(size, size, ILC_COLORDDB | ILC_MASK, 6, 0);
  if (HBITMAP strip = LoadBitmapW(GetModuleHandleW(nullptr), name)) {
    ImageList_AddMasked(list_, strip, transparent);
    DeleteObject(strip);
  }
}

ImageList::~ImageList() {
  if (list_) ImageList_Destroy(list_);
}

int ImageList::Count() const {
  return list_ ? ImageList_GetImageCount(list_) : 0;
}

}  // namespace platform
