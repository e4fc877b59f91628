// The program's own allocation functions: memory comes from malloc, and when there is none the
// program reports a fatal error naming the size instead of throwing into the toolkit.
#include <cstdlib>
#include <new>

#include "app/allocation_failure.h"

namespace {

void* Allocate(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  void* memory = std::malloc(bytes);
  if (memory == nullptr) qel::OnAllocationFailure(bytes);
  return memory;
}

}  // namespace

void* operator new(std::size_t bytes) { return Allocate(bytes); }
void* operator new[](std::size_t bytes) { return Allocate(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
  return std::malloc(bytes == 0 ? 1 : bytes);
}
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
  return std::malloc(bytes == 0 ? 1 : bytes);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
