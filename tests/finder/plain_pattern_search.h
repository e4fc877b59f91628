// The pattern searches written the direct way, one candidate and one pixel at a time: the
// reference the fast searches are held to.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "finder/point_pattern_search.h"
#include "finder/text_pattern_search.h"

namespace qel::plain {

struct Picture {
  std::span<const std::uint8_t> pixels;
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::int64_t Stride() const { return width + (4 - width % 4) % 4; }
  std::int64_t Size() const { return static_cast<std::int64_t>(pixels.size()); }
};

inline bool Within(std::int64_t data, std::int64_t reference, std::int32_t tolerance) {
  return std::llabs(data - reference) <= tolerance;
}

// Every place from candidate `from` on, or the first one only.
inline std::vector<PatternPlace> FindPointPatterns(const Picture& p, const PointPatternQuery& q,
                                                   std::int64_t from, bool firstOnly) {
  const auto n = static_cast<std::int64_t>(q.points.size());
  const auto threshold =
      q.similarity == 0 ? n : static_cast<std::int64_t>(std::floor(n * q.similarity / 100.0));
  std::vector<PatternPlace> places;
  for (std::int64_t r = 0; r < p.height; ++r) {
    for (std::int64_t c = 0; c < p.width; ++c) {
      if (r * p.width + c < from || r * p.Stride() + c >= p.Size()) continue;
      if (!Within(p.pixels[r * p.Stride() + c], q.anchor, q.tolerance)) continue;
      std::int64_t matched = 0;
      for (const PatternPoint& point : q.points) {
        const std::int64_t x = c + point.dx;
        const std::int64_t y = r + point.dy;
        if (x < 0 || x > p.width - 1 || y < 0 || y * p.Stride() + x >= p.Size()) break;
        if (Within(p.pixels[y * p.Stride() + x], point.index, q.tolerance)) {
          ++matched;
          if (matched >= threshold) {
            places.push_back(
                {{static_cast<std::int32_t>(c), static_cast<std::int32_t>(p.height - 1 - r)},
                 r * p.width + c});
            if (firstOnly) return places;
            break;
          }
        }
      }
    }
  }
  return places;
}

inline std::vector<FoundPoint> FindTextPatterns(const Picture& p, const TextPatternQuery& q,
                                                bool firstOnly) {
  const std::int32_t percentage = q.percentage > 100 ? 100 : q.percentage < 0 ? 0 : q.percentage;
  const auto needed = [percentage](std::size_t count) {
    const auto n = static_cast<std::int64_t>(count);
    return percentage == 0 ? n : n * percentage / 100;
  };
  const auto inside = [&p](std::int64_t x, std::int64_t y) {
    return x >= 0 && x <= p.width - 1 && y >= 0 && y <= p.height - 1 &&
           y * p.Stride() + x < p.Size();
  };
  std::vector<FoundPoint> places;
  for (std::int64_t r = 0; r < p.height; ++r) {
    for (std::int64_t c = 0; c < p.width; ++c) {
      if (!inside(c, r)) continue;
      const std::uint8_t own = p.pixels[r * p.Stride() + c];
      if (!Within(own, q.target, q.tolerance)) continue;
      bool wholly = true;
      for (const auto* offsets : {&q.pattern.drawn, &q.pattern.undrawn}) {
        for (const PixelOffset& o : *offsets) wholly = wholly && inside(c + o.dx, r + o.dy);
      }
      if (!wholly) continue;
      std::int64_t drawn = 0;
      for (const PixelOffset& o : q.pattern.drawn) {
        if (Within(p.pixels[(r + o.dy) * p.Stride() + c + o.dx], q.target, q.tolerance)) ++drawn;
      }
      if (drawn < needed(q.pattern.drawn.size())) continue;
      std::int64_t undrawn = 0;
      for (const PixelOffset& o : q.pattern.undrawn) {
        if (p.pixels[(r + o.dy) * p.Stride() + c + o.dx] != own) ++undrawn;
      }
      if (undrawn < needed(q.pattern.undrawn.size())) continue;
      places.push_back({static_cast<std::int32_t>(c), static_cast<std::int32_t>(p.height - 1 - r)});
      if (firstOnly) return places;
    }
  }
  return places;
}

}  // namespace qel::plain
