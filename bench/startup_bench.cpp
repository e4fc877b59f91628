// Start-up time: from starting the process to the X server mapping its first window, for Qel and
// for an empty Qt window in the same run on the same private X server. Goal: Qel within 1.3 times
// the empty window.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "tests/support/child_process.h"
#include "tests/support/x11_client.h"
#include "tests/support/xvfb.h"

namespace {

using namespace std::chrono_literals;

void TimeFirstShown(benchmark::State& state, const char* program, const char* title) {
  qel::test::X11Client x11;
  x11.WatchMaps();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    qel::test::ChildProcess child{program};
    const auto shown = x11.WaitForMap(title, 30s);
    const auto end = std::chrono::steady_clock::now();
    if (!shown) {
      state.SkipWithError("the window never appeared");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
}

void BM_QelFirstShown(benchmark::State& state) { TimeFirstShown(state, QEL_BINARY, "Qel"); }
void BM_EmptyQtWindowFirstShown(benchmark::State& state) {
  TimeFirstShown(state, EMPTY_QT_WINDOW_BINARY, "Empty");
}

// Interleaved, so that both see the same machine load.
BENCHMARK(BM_EmptyQtWindowFirstShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_QelFirstShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_EmptyQtWindowFirstShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_QelFirstShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::unique_ptr<qel::test::Xvfb> server;
  try {
    server = std::make_unique<qel::test::Xvfb>();
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "cannot run the start-up benchmark: %s\n", error.what());
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
