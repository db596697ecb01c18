#pragma once
// A plain container for docked controls, with or without a sunken edge.

#include "platform/control.h"

namespace platform {

enum class Edge { None, Sunken };

class Panel : public Control {
 public:
  Panel(Control& parent, Edge edge);
};

}  // namespace platform
