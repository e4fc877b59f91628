#include "platform/fake/fake_clock.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace qel {
namespace {

struct Tick {
  std::string timer;
  std::int64_t at;
  friend bool operator==(const Tick&, const Tick&) = default;
  friend void PrintTo(const Tick& t, std::ostream* os) { *os << t.timer << "@" << t.at; }
};

class FakeClockTest : public testing::Test {
 protected:
  std::unique_ptr<PlatformTimer> Recorder(std::string name) {
    return clock_.MakeTimer([this, name = std::move(name)] {
      ticks_.push_back({name, clock_.Now()});
    });
  }

  FakeClock clock_;
  std::vector<Tick> ticks_;
};

TEST_F(FakeClockTest, TicksOfSeveralTimersComeInTimeOrderAtTheirDueTimes) {
  auto fast = Recorder("fast");
  auto slow = Recorder("slow");
  slow->Start(500);
  fast->Start(300);
  clock_.Advance(1000);
  const std::vector<Tick> expected{
      {"fast", 300}, {"slow", 500}, {"fast", 600}, {"fast", 900}, {"slow", 1000}};
  EXPECT_EQ(ticks_, expected);
  EXPECT_EQ(clock_.Now(), 1000);
}

class AdvanceStepTest : public FakeClockTest, public testing::WithParamInterface<std::int64_t> {};

// A test may advance in any steps: the ticks must not depend on how the time was cut up.
TEST_P(AdvanceStepTest, StepSizeDoesNotChangeTheTicks) {
  auto timer = Recorder("t");
  timer->Start(250);
  while (clock_.Now() < 1000) clock_.Advance(GetParam());
  const std::vector<Tick> expected{{"t", 250}, {"t", 500}, {"t", 750}, {"t", 1000}};
  EXPECT_EQ(ticks_, expected);
}

INSTANTIATE_TEST_SUITE_P(Steps, AdvanceStepTest, testing::Values(1, 7, 249, 250, 1000));

TEST_F(FakeClockTest, NoTicksBeforeStartOrAfterStop) {
  auto timer = Recorder("t");
  clock_.Advance(1000);
  EXPECT_TRUE(ticks_.empty());
  timer->Start(100);
  clock_.Advance(250);
  timer->Stop();
  clock_.Advance(1000);
  const std::vector<Tick> expected{{"t", 1100}, {"t", 1200}};
  EXPECT_EQ(ticks_, expected);
}

TEST_F(FakeClockTest, StartingAgainResetsThePhase) {
  auto timer = Recorder("t");
  timer->Start(100);
  clock_.Advance(150);
  timer->Start(100);
  clock_.Advance(200);
  const std::vector<Tick> expected{{"t", 100}, {"t", 250}, {"t", 350}};
  EXPECT_EQ(ticks_, expected);
}

TEST_F(FakeClockTest, TickMayStopItsOwnTimer) {
  std::unique_ptr<PlatformTimer> timer;
  int ticks = 0;
  timer = clock_.MakeTimer([&] {
    ++ticks;
    timer->Stop();
  });
  timer->Start(10);
  clock_.Advance(100);
  EXPECT_EQ(ticks, 1);
}

TEST_F(FakeClockTest, TickMayDestroyItsOwnTimer) {
  std::unique_ptr<PlatformTimer> timer;
  int ticks = 0;
  timer = clock_.MakeTimer([&] {
    ++ticks;
    timer.reset();
  });
  timer->Start(10);
  clock_.Advance(100);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(clock_.Now(), 100);
}

TEST_F(FakeClockTest, DestroyedTimerNoLongerTicks) {
  auto kept = Recorder("kept");
  auto dropped = Recorder("dropped");
  kept->Start(100);
  dropped->Start(100);
  dropped.reset();
  clock_.Advance(200);
  const std::vector<Tick> expected{{"kept", 100}, {"kept", 200}};
  EXPECT_EQ(ticks_, expected);
}

}  // namespace
}  // namespace qel
