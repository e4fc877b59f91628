#include "platform/layout.h"

#include <algorithm>
#include <cstdlib>

namespace qel {

const ControlSpec& Layout::Find(ControlId id) const {
  const auto row = std::ranges::find(controls, id, &ControlSpec::id);
  if (row == controls.end()) std::abort();  // a control missing from the table is a build fault
  return *row;
}

Rect Layout::RectInClient(ControlId id) const {
  Rect rect = Find(id).rect;
  for (ControlId parent = Find(id).parent; parent != ControlId::MainWindow;
       parent = Find(parent).parent) {
    rect.left += Find(parent).rect.left;
    rect.top += Find(parent).rect.top;
  }
  return rect;
}

}  // namespace qel
