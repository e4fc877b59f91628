// The routines the end of the program runs, in the order they were registered; each at most once.
#pragma once

#include <vector>

#include "app/program_globals.h"

namespace qel {

class ExitRoutines {
 public:
  using Routine = void (*)(ProgramGlobals& globals);

  // Registering a routine that is already registered adds nothing.
  void Register(Routine routine);
  void RunAll(ProgramGlobals& globals);
  std::size_t Count() const { return routines_.size(); }

 private:
  std::vector<Routine> routines_;
};

}  // namespace qel
