#include "bench/bench_main.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace qel::bench {

void InitializeInterleaved(int argc, char** argv) {
  std::vector<char*> arguments(argv, argv + argc);
  // Given first, so that the command line can still turn it off.
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  arguments.insert(arguments.begin() + 1, interleave);
  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
}

std::unique_ptr<test::Xvfb> StartXvfb(const std::string& benchmark, const std::string& screen) {
  try {
    return std::make_unique<test::Xvfb>(screen);
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "cannot run the %s benchmark: %s\n", benchmark.c_str(), error.what());
    return nullptr;
  }
}

int RunRegistered() {
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace qel::bench
