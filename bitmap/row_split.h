// Whole-screen conversions split by rows over two threads. Rows never share bytes, so each half is
// written without locks; the colour-table index a write needs is built before the split.
#pragma once

#include <functional>

namespace qel {

// Calls convert(first, last) for the rows [first, last): at once when the rows hold few pixels or
// the machine has one core, else in two halves, the second on a thread of its own.
void ForRowRanges(long long first, long long last, long long pixelsPerRow,
                  const std::function<void(long long, long long)>& convert);

}  // namespace qel
