// Memory the program cannot get is a fatal error reported with the number of bytes asked for. The
// program's operator new (operator_new.cpp, linked into the executable only) calls in here.
#pragma once

#include <cstddef>

namespace qel {

using AllocationFailureHandler = void (*)(std::size_t bytes, void* context);

void SetAllocationFailureHandler(AllocationFailureHandler handler, void* context);

// Runs the handler, which does not return; without one, throws std::bad_alloc.
void OnAllocationFailure(std::size_t bytes);

}  // namespace qel
