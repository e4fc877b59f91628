// The library on Windows over the software GDI and over the system's, side by side in one run under
// Wine on a private 1920x1080 Xvfb: GetPixelColor, CaptureScreen at 32, 24 and 8 bits, and
// FindColorInArea over the whole screen for a colour that is not there. The calls run in the
// Windows build's win32_gdi_agent.exe, which times each one inside the process and reports it;
// Google Benchmark takes those times as the iterations' (manual time), so the pipe between the two
// programs is not counted. Needs the Windows build and WINEPREFIX (bench/run.sh sets both up).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "bench/bench_main.h"

extern char** environ;

namespace {

// The agent under Wine, spoken to a line at a time.
class Agent {
 public:
  explicit Agent(const char* executable) {
    int toAgent[2];
    int fromAgent[2];
    if (pipe(toAgent) != 0 || pipe(fromAgent) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toAgent[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromAgent[1], 1);
    posix_spawn_file_actions_addclose(&actions, toAgent[1]);
    posix_spawn_file_actions_addclose(&actions, fromAgent[0]);
    char wine[] = "wine";
    std::string path = executable;
    char* argv[] = {wine, path.data(), nullptr};
    const int spawned = posix_spawnp(&pid_, "wine", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toAgent[0]);
    close(fromAgent[1]);
    if (spawned != 0) {
      close(toAgent[1]);
      close(fromAgent[0]);
      pid_ = -1;
      return;
    }
    in_ = fdopen(toAgent[1], "w");
    out_ = fdopen(fromAgent[0], "r");
  }
  ~Agent() {
    if (in_ != nullptr) std::fclose(in_);  // the agent ends at the end of its input
    if (out_ != nullptr) std::fclose(out_);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }
  Agent(const Agent&) = delete;
  Agent& operator=(const Agent&) = delete;

  // Seconds the call took, or nullopt when it failed or the agent is gone.
  std::optional<double> Time(const std::string& call, const std::string& gdi) {
    if (in_ == nullptr || out_ == nullptr) return std::nullopt;
    std::fprintf(in_, "%s %s\n", call.c_str(), gdi.c_str());
    std::fflush(in_);
    char line[64];
    if (std::fgets(line, sizeof line, out_) == nullptr) return std::nullopt;
    char* end = nullptr;
    const double seconds = std::strtod(line, &end);
    if (end == line) return std::nullopt;
    return seconds;
  }

 private:
  pid_t pid_ = -1;
  FILE* in_ = nullptr;
  FILE* out_ = nullptr;
};

Agent* agent = nullptr;

// `call` is the agent's word for what `name` measures.
void Register(const std::string& name, const std::string& call, const std::string& gdi,
              benchmark::TimeUnit unit) {
  const std::string shown = name + "/" + (gdi == "system" ? "SystemGdi" : "SoftwareGdi");
  benchmark::RegisterBenchmark(shown.c_str(),
                               [call, gdi](benchmark::State& state) {
                                 for (auto _ : state) {
                                   const std::optional<double> took = agent->Time(call, gdi);
                                   if (!took) {
                                     state.SkipWithError(("the agent failed at " + call).c_str());
                                     break;
                                   }
                                   state.SetIterationTime(*took);
                                 }
                               })
      ->UseManualTime()
      ->Unit(unit)
      ->Repetitions(5)
      ->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
  qel::bench::InitializeInterleaved(argc, argv);
  if (std::getenv("WINEPREFIX") == nullptr || access(WIN32_GDI_AGENT, R_OK) != 0) {
    std::fprintf(stderr,
                 "cannot run the Windows GDI benchmark: it needs WINEPREFIX and the Windows "
                 "build's %s\n",
                 WIN32_GDI_AGENT);
    return 1;
  }
  const std::unique_ptr<qel::test::Xvfb> server = qel::bench::StartXvfb("Windows GDI");
  if (!server) return 1;
  Agent started(WIN32_GDI_AGENT);
  agent = &started;
  if (!agent->Time("pixel", "system")) {
    std::fprintf(stderr, "cannot run the Windows GDI benchmark: the agent does not answer\n");
    return 1;
  }
  for (const char* gdi : {"software", "system"}) {
    Register("GetPixelColor", "pixel", gdi, benchmark::kMicrosecond);
    Register("CaptureScreen32", "capture32", gdi, benchmark::kMillisecond);
    Register("CaptureScreen24", "capture24", gdi, benchmark::kMillisecond);
    Register("CaptureScreen8", "capture8", gdi, benchmark::kMillisecond);
    Register("FindColorInAreaOnTheWholeScreen", "findcolor", gdi, benchmark::kMillisecond);
  }
  return qel::bench::RunRegistered();
}
