// qel-find for scripts: from starting the process to its exit with the answer, on a private
// 1920x1080 Xvfb. Goal: `qel-find color` over the whole screen (a colour that is not there, so
// every pixel is looked at) within 30 ms, process start included. In the same run, the tools
// scripts use today for one pixel or one query: ImageMagick's `import` cropping the root window
// to the pixel, and `xdotool` asking for the pointer's place (it cannot read colours; it shows
// what starting a small X client costs). And the floor: a program of a few lines that reads the
// whole screen through shared memory and looks at every pixel, which no search can undercut.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_main.h"

extern char** environ;

namespace {

// Runs the program to its end with its output thrown away; its exit status, or -1.
int RunToEnd(const std::vector<std::string>& command) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

void TimeToAnswer(benchmark::State& state, const std::vector<std::string>& command,
                  int expectedStatus) {
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const int status = RunToEnd(command);
    const auto took = std::chrono::steady_clock::now() - start;
    if (status != expectedStatus) {
      state.SkipWithError(
          ("exit status " + std::to_string(status) + " from " + command[0]).c_str());
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(took).count());
  }
}

void Register(const char* name, std::vector<std::string> command, int expectedStatus) {
  benchmark::RegisterBenchmark(name,
                               [command, expectedStatus](benchmark::State& state) {
                                 TimeToAnswer(state, command, expectedStatus);
                               })
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(10)
      ->Repetitions(10)
      ->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
  qel::bench::InitializeInterleaved(argc, argv);
  const std::unique_ptr<qel::test::Xvfb> server = qel::bench::StartXvfb("qel-find");
  if (!server) return 1;
  // Not found: 1, after the whole screen.
  Register("QelFindColorWholeScreen", {QEL_FIND_BINARY, "color", "123456"}, 1);
  Register("Floor_ShmReadAndScanWholeScreen", {SCREEN_SCAN_FLOOR_BINARY, "123456"}, 1);
  Register("QelFindPixel", {QEL_FIND_BINARY, "pixel", "960", "540"}, 0);
  Register("ImageMagickImportOnePixel",
           {"/usr/bin/import", "-window", "root", "-crop", "1x1+960+540", "txt:-"}, 0);
  Register("XdotoolGetMouseLocation", {"/usr/bin/xdotool", "getmouselocation"}, 0);
  return qel::bench::RunRegistered();
}
