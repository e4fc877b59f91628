// The skin library on Windows carries its own C++ runtime statically, and the runtime's exception
// machinery alone would outgrow the library's fixed file image. The library throws nothing, and
// no exception may cross its C operations anyway, so the containers' few throwing paths (sizes
// beyond any skin's, an allocation that fails) end the program here instead of unwinding.
#include <cstdlib>
#include <new>

namespace std {

[[noreturn]] void __throw_length_error(const char*) { std::abort(); }
[[noreturn]] void __throw_logic_error(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
[[noreturn]] void __throw_bad_alloc() { std::abort(); }
[[noreturn]] void __throw_bad_array_new_length() { std::abort(); }

}  // namespace std

void* operator new(std::size_t size) {
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  std::abort();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
