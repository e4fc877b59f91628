// A long search in a Qt program leaves its event loop running: timers tick during it, and the
// answer is the one a search without hand-offs gives.
#include <gtest/gtest.h>

#include <QTimer>
#include <cstdint>
#include <vector>

#include "finder/color_finder.h"
#include "platform/linux/qt_event_pump.h"

namespace qel {
namespace {

TEST(QtEventPumpTest, ATimerTicksDuringALongSearchAndTheAnswerStaysTheSame) {
  // Every pixel has the anchor's colour, and so do the first 60 of the pattern's 64 points: every
  // candidate is tested in full, the slowest kind of search, on 32 million pixels. The last four
  // points are found only where a run of them was planted.
  constexpr std::int32_t kWidth = 8000;
  constexpr std::int32_t kHeight = 4000;
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(kWidth) * kHeight, 7);
  std::vector<PatternPoint> points;
  for (std::int32_t i = 1; i <= 64; ++i) points.push_back({i, 0, i <= 60 ? 7 : 9});
  for (const std::int64_t place :
       {std::int64_t{5} * kWidth + 17, std::int64_t{3900} * kWidth + 5}) {
    for (std::int64_t i = 61; i <= 64; ++i) rows[static_cast<std::size_t>(place + i)] = 9;
  }

  QtEventPump pump;
  int ticks = 0;
  QTimer timer;
  timer.setInterval(1);
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
  timer.start();
  std::vector<FoundPoint> withEvents;
  ColorFinder(pump).FindAllPointPatterns(withEvents, rows, kWidth, kHeight, points, 7, 0, 100);
  timer.stop();

  std::vector<FoundPoint> withoutEvents;
  ColorFinder().FindAllPointPatterns(withoutEvents, rows, kWidth, kHeight, points, 7, 0, 100);
  EXPECT_GT(ticks, 0);
  EXPECT_EQ(withEvents, withoutEvents);
  EXPECT_EQ(withoutEvents,
            (std::vector<FoundPoint>{{17, kHeight - 1 - 5}, {5, kHeight - 1 - 3900}}));
}

}  // namespace
}  // namespace qel
