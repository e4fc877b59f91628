#include "bitmap/row_split.h"

#include <thread>

namespace qel {
namespace {

// Below this a second thread costs more to start than it saves (about a quarter of a screen).
constexpr long long kSplitFromPixels = 1 << 19;

}  // namespace

void ForRowRanges(long long first, long long last, long long pixelsPerRow,
                  const std::function<void(long long, long long)>& convert) {
  static const bool severalCores = std::thread::hardware_concurrency() > 1;
  if (!severalCores || last - first < 2 || (last - first) * pixelsPerRow < kSplitFromPixels) {
    convert(first, last);
    return;
  }
  const long long middle = first + (last - first) / 2;
  std::thread lowerHalf(convert, middle, last);
  convert(first, middle);
  lowerHalf.join();
}

}  // namespace qel
