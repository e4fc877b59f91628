#include "bitmap/row_split.h"

#include <system_error>
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
  // Joined when it goes, however this half ends.
  std::jthread lowerHalf;
  try {
    lowerHalf = std::jthread(convert, middle, last);
  } catch (const std::system_error&) {  // no thread to be had: all of it here, as on one core
    convert(first, last);
    return;
  }
  convert(first, middle);
}

}  // namespace qel
