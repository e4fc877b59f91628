#include "app/exit_routines.h"

#include <algorithm>

namespace qel {

void ExitRoutines::Register(Routine routine) {
  if (std::ranges::find(routines_, routine) == routines_.end()) routines_.push_back(routine);
}

void ExitRoutines::RunAll(ProgramGlobals& globals) {
  for (const Routine routine : routines_) routine(globals);
  routines_.clear();
}

}  // namespace qel
