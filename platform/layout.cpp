#include "platform/layout.h"

#include <algorithm>
#include <cstdlib>

namespace qel {

const ControlSpec& Layout::Find(ControlId id) const {
  const auto row = std::ranges::find(controls, id, &ControlSpec::id);
  if (row == controls.end()) std::abort();  // a control missing from the table is a build fault
  return *row;
}

}  // namespace qel
