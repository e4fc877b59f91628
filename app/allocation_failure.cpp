#include "app/allocation_failure.h"

#include <cstdlib>
#include <new>

namespace qel {
namespace {

// operator new is global, so its failure path can only reach the program through global state.
AllocationFailureHandler gHandler = nullptr;
void* gContext = nullptr;
bool gReporting = false;

}  // namespace

void SetAllocationFailureHandler(AllocationFailureHandler handler, void* context) {
  gHandler = handler;
  gContext = context;
  gReporting = false;
}

void OnAllocationFailure(std::size_t bytes) {
  if (gHandler == nullptr) throw std::bad_alloc();
  // Reporting needs a little memory itself; when even that fails, end the way a report would.
  if (gReporting) std::_Exit(-1);
  gReporting = true;
  gHandler(bytes, gContext);
  std::_Exit(-1);
}

}  // namespace qel
