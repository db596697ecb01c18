#include "platform/panel.h"

namespace platform {

Panel::Panel(Control& parent, Edge edge) : Control(&parent) {
  CreateHandle(nullptr, WS_VISIBLE | WS_CLIPCHILDREN, edge == Edge::Sunken ? WS_EX_CLIENTEDGE : 0,
               {0, 0, 100, 100});
}

}  // namespace platform
