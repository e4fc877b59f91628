// Start-up time: from starting the process to the X server mapping its first window, for Qel (its
// skin attached, as users start it) and for two plain Qt windows in the same run, on the same
// private X server and session bus (as in any desktop session; without one, every Qt program first
// tries to launch a bus). Goal: Qel within 1.1 times the Qt window showing one line of Chinese
// text, which pays for its fonts as any window with such text does. The empty Qt window, which
// never loads a font, shows what the toolkit alone costs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>

#include "bench/bench_main.h"
#include "tests/support/child_process.h"
#include "tests/support/session_bus.h"
#include "tests/support/x11_client.h"

namespace {

using namespace std::chrono_literals;

void TimeFirstShown(benchmark::State& state, const char* program, const char* title) {
  qel::test::X11Client x11;
  x11.WatchMaps();
  for (auto _ : state) {
    std::optional<std::uint32_t> shown;
    std::chrono::steady_clock::duration startUp{};
    {
      const auto start = std::chrono::steady_clock::now();
      qel::test::ChildProcess child{program};
      shown = x11.WaitForMap(title, 30s);
      startUp = std::chrono::steady_clock::now() - start;
    }
    if (!shown) {
      state.SkipWithError("the window never appeared");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(startUp).count());
    // The server tears the killed program's windows down after it is gone; the next start is
    // measured on an idle server, as a user's start would be.
    std::this_thread::sleep_for(300ms);
  }
}

// Start-up times vary by a few milliseconds from one start to the next, so each program is started
// in several rounds, the rounds of all programs shuffled together so that all see the same machine
// load, and the medians are compared.
void RegisterFirstShown(const char* name, const char* program, const char* title) {
  benchmark::RegisterBenchmark(
      name, [program, title](benchmark::State& state) { TimeFirstShown(state, program, title); })
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(4)
      ->Repetitions(12)
      ->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
  qel::bench::InitializeInterleaved(argc, argv);
  const std::unique_ptr<qel::test::Xvfb> server = qel::bench::StartXvfb("start-up");
  if (!server) return 1;
  std::unique_ptr<qel::test::SessionBus> bus;
  try {
    bus = std::make_unique<qel::test::SessionBus>();
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "cannot run the start-up benchmark: %s\n", error.what());
    return 1;
  }
  RegisterFirstShown("EmptyQtWindowFirstShown", EMPTY_QT_WINDOW_BINARY, "Empty");
  RegisterFirstShown("TextQtWindowFirstShown", TEXT_QT_WINDOW_BINARY, "Text");
  RegisterFirstShown("QelFirstShown", QEL_BINARY, "Qel");
  return qel::bench::RunRegistered();
}
