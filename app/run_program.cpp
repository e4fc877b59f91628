#include "app/run_program.h"

#include "app/allocation_failure.h"
#include "app/program.h"

namespace qel {

int RunProgram(Platform& platform, Gdi& gdi) {
  Program program(platform, gdi);
  SetAllocationFailureHandler(
      [](std::size_t bytes, void* context) {
        static_cast<Program*>(context)->ReportFatalError(AllocationFailureMessage(bytes));
      },
      &program);
  const int result = program.ProgramStart();
  program.EndOfProgram();
  return result;
}

}  // namespace qel
