#include "finder/search_cursors.h"

namespace qel {

SearchCursors& ModuleSearchCursors() {
  static SearchCursors cursors;
  return cursors;
}

}  // namespace qel
