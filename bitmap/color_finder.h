// The colour reader's object: one per program (the sampler's GlobalColorFinder). It carries the
// style that its text searches draw in; a copy is a clone with texts of its own.
#pragma once

#include <cstdint>
#include <string>

namespace qel {

class ColorFinder {
 public:
  // Everything zero or empty until a text style is set.
  struct TextStyle {
    std::string text;
    std::int32_t color = 0;
    std::int32_t size = 0;
    std::int32_t weight = 0;
    std::int32_t italic = 0;
    std::int32_t underline = 0;
    std::int32_t strikeOut = 0;
    std::string face;
  };

  const TextStyle& Style() const { return style_; }

 private:
  TextStyle style_;
};

}  // namespace qel
