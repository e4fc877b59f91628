#include "platform/ruled_timer.h"

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <ostream>

#include "platform/fake/fake_clock.h"

namespace qel {
namespace {

// Records what the rules ask of the platform timer.
class RecordingTimer final : public PlatformTimer {
 public:
  explicit RecordingTimer(std::string& log) : log_(log) {}
  void Start(int periodMs) override { log_ += "start(" + std::to_string(periodMs) + ") "; }
  void Stop() override { log_ += "stop "; }

 private:
  std::string& log_;
};

struct RuleCase {
  const char* name;
  friend void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.name; }
  std::vector<int> intervals;
  std::string calls;
  int finalInterval;
};

class RuledTimerRulesTest : public testing::TestWithParam<RuleCase> {};

TEST_P(RuledTimerRulesTest, DrivesThePlatformTimer) {
  std::string log;
  RuledTimer timer(std::make_unique<RecordingTimer>(log));
  for (const int interval : GetParam().intervals) timer.SetInterval(interval);
  EXPECT_EQ(log, GetParam().calls);
  EXPECT_EQ(timer.Interval(), GetParam().finalInterval);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RuledTimerRulesTest,
    testing::Values(
        RuleCase{"starts_stopped", {}, "", 0},
        RuleCase{"positive_starts", {500}, "start(500) ", 500},
        RuleCase{"same_interval_does_nothing", {500, 500, 500}, "start(500) ", 500},
        RuleCase{"other_interval_restarts", {500, 100}, "start(500) stop start(100) ", 100},
        RuleCase{"zero_stops", {500, 0}, "start(500) stop ", 0},
        RuleCase{"zero_when_stopped_does_nothing", {0}, "", 0},
        RuleCase{"negative_counts_as_zero", {-5}, "", 0},
        RuleCase{"negative_stops", {500, -1}, "start(500) stop ", 0},
        RuleCase{"most_negative", {INT_MIN}, "", 0},
        RuleCase{"negative_after_zero_does_nothing", {500, 0, -7}, "start(500) stop ", 0},
        RuleCase{"starts_again_after_stop", {500, 0, 500}, "start(500) stop start(500) ", 500}),
    [](const testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.name); });

struct Step {
  std::int64_t advanceMs;
  int interval;
};

struct PhaseCase {
  const char* name;
  friend void PrintTo(const PhaseCase& c, std::ostream* os) { *os << c.name; }
  std::vector<Step> steps;
  std::vector<std::int64_t> tickTimes;
};

class RuledTimerPhaseTest : public testing::TestWithParam<PhaseCase> {};

constexpr std::int64_t kHorizonMs = 1600;

// Each step moves the clock, then sets the interval; the clock then runs on to the horizon.
TEST_P(RuledTimerPhaseTest, TicksWhenTheRulesSay) {
  FakeClock clock;
  std::vector<std::int64_t> ticks;
  RuledTimer timer(clock.MakeTimer([&] { ticks.push_back(clock.Now()); }));
  for (const Step& step : GetParam().steps) {
    clock.Advance(step.advanceMs);
    timer.SetInterval(step.interval);
  }
  clock.Advance(kHorizonMs - clock.Now());
  EXPECT_EQ(ticks, GetParam().tickTimes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RuledTimerPhaseTest,
    testing::Values(
        PhaseCase{"first_tick_a_period_later", {{0, 500}}, {500, 1000, 1500}},
        PhaseCase{"same_interval_keeps_phase", {{0, 500}, {300, 500}}, {500, 1000, 1500}},
        PhaseCase{"same_interval_after_ticks", {{0, 500}, {700, 500}}, {500, 1000, 1500}},
        PhaseCase{"other_interval_restarts_from_now", {{0, 500}, {300, 400}}, {700, 1100, 1500}},
        PhaseCase{"zero_stops", {{0, 500}, {300, 0}}, {}},
        PhaseCase{"negative_stops", {{0, 500}, {300, -20}}, {}},
        PhaseCase{"restart_after_stop", {{0, 500}, {300, 0}, {100, 500}}, {900, 1400}},
        PhaseCase{"negative_never_starts", {{0, -500}}, {}}),
    [](const testing::TestParamInfo<PhaseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qel
