#pragma once
// A list view in report view with one column of rows; each row has a text,
// an image of the small-image list and an indent in image widths. Its texts
// are names of drives and folders, in UTF-8 (see text.h).

#include <functional>
#include <string>
#include <string_view>

#include "platform/control.h"
#include "platform/image_list.h"
#include "platform/mouse_event.h"

namespace platform {

class ListView : public Control {
 public:
  // `style` adds LVS_* bits to a visible child window; `exStyle` is the
  // list view's extended style (LVS_EX_*).
  ListView(Control& parent, DWORD style, DWORD exStyle);

  // Raised after the list view has handled a double click of any mouse button.
  std::function<void(const MouseEvent&)> OnDoubleClick;

  void SetSmallImages(const ImageList& images);
  void AddColumn(std::string_view caption, int width);
  void SetColumnWidth(int column, int width);  // also LVSCW_AUTOSIZE_USEHEADER
  int ColumnWidth(int column) const;

  int Count() const;
  void Clear();
  int AddRow(std::string_view utf8, int image);  // returns the row's index
  void SetIndent(int row, int indent);
  std::string RowText(int row) const;
  int RowImage(int row) const;
  int RowIndent(int row) const;
  // LVM_GETNEXTITEM with LVNI_SELECTED after `start` (-1: from the top); -1 if none.
  int NextSelected(int start = -1) const;
  void SetSelected(int row, bool selected);

  void SetBkColor(uint32_t color);  // colours as in color.h
  void SetTextBkColor(uint32_t color);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int columns_ = 0;
};

}  // namespace platform
