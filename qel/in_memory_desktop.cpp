#include "qel/desktop.h"

namespace qel {

InMemoryDesktop::InMemoryDesktop(int width, int height, int bitsPerPixel)
    : screen_(width, height, bitsPerPixel) {}

}  // namespace qel
