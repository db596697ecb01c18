#include "platform/panel.h"

namespace platform {

Panel::Panel(Control& parent, Edge edge) : Control(&parent) {
  // A container of controls: Tab goes on through the tab stops inside it.
  CreateHandle(nullptr, WS_VISIBLE | WS_CLIPCHILDREN,
               WS_EX_CONTROLPARENT | (edge == Edge::Sunken ? WS_EX_CLIENTEDGE : 0), {0, 0, 100, 100});
}

}  // namespace platform
