// The point-pattern and text-pattern searches over 1920 x 1080 8-bit rows, each kernel beside the
// others and beside the direct loop the tests hold them to:
//   desktop  a picture of windows and text; the pattern is read off the first black digits from
//            the top, halfway down, so the search walks half the picture before it finds them;
//   flat     every pixel the anchor's colour and a pattern that almost matches everywhere, so
//            every candidate is counted in full.
// Goals: a 10-point pattern at 90 per cent within 1 ms on the desktop and 5 ms when flat.
// `allocs` counts the allocations per search.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <tuple>
#include <vector>

#include "bench/desktop_picture.h"
#include "finder/point_pattern_search.h"
#include "finder/text_pattern_search.h"
#include "tests/finder/plain_pattern_search.h"

namespace {

std::atomic<std::int64_t> allocations{0};

}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

using qel::bench::PalettePicture;

// Per cent of the points, and of the drawn and undrawn pixels, that must match.
constexpr std::int32_t kPercent = 90;
constexpr std::int32_t kFlatIndex = 7;

std::uint8_t PixelAt(const PalettePicture& picture, std::int64_t x, std::int64_t row) {
  return picture.rows[static_cast<std::size_t>(row * qel::PaletteStride(picture.width) + x)];
}

PalettePicture Flat(std::uint8_t index) {
  const PalettePicture& desktop = qel::bench::DesktopPicture8();
  return {std::vector<std::uint8_t>(desktop.rows.size(), index), desktop.width, desktop.height};
}

// Digits of a table's text, the first from the top of the desktop: a black pixel (table index 0)
// with 60 or more black pixels in the 48 x 12 box that rises from it, and 200 or more others.
struct Glyph {
  std::int64_t x = 0;
  std::int64_t row = 0;
  std::uint8_t colour = 0;
  std::vector<qel::PixelOffset> same;
  std::vector<qel::PixelOffset> other;
};

Glyph DesktopGlyph() {
  const PalettePicture& picture = qel::bench::DesktopPicture8();
  for (std::int64_t row = picture.height - 12; row >= 0; --row) {
    for (std::int64_t x = 8; x + 40 <= picture.width; ++x) {
      Glyph glyph{x, row, PixelAt(picture, x, row), {}, {}};
      if (glyph.colour != 0) continue;
      for (std::int32_t dy = 0; dy < 12; ++dy) {
        for (std::int32_t dx = -8; dx < 40; ++dx) {
          if (dy == 0 && dx <= 0) continue;
          const bool same = PixelAt(picture, x + dx, row + dy) == glyph.colour;
          (same ? glyph.same : glyph.other).push_back({dx, dy});
        }
      }
      if (glyph.same.size() >= 60 && glyph.other.size() >= 200) return glyph;
    }
  }
  std::abort();
}

// `count` of the offsets, spread evenly over them.
std::vector<qel::PixelOffset> Spread(const std::vector<qel::PixelOffset>& offsets,
                                     std::size_t count) {
  std::vector<qel::PixelOffset> spread;
  for (std::size_t i = 0; i < count; ++i) spread.push_back(offsets[i * offsets.size() / count]);
  return spread;
}

struct PointScene {
  std::vector<qel::PatternPoint> points;
  std::int32_t anchor = 0;
};

// Ten pixels of the glyph's box, five of its colour and five of others, with their indices.
PointScene DesktopPoints() {
  const PalettePicture& picture = qel::bench::DesktopPicture8();
  const Glyph glyph = DesktopGlyph();
  PointScene scene{{}, glyph.colour};
  for (const auto* offsets : {&glyph.same, &glyph.other}) {
    for (const qel::PixelOffset& offset : Spread(*offsets, 5)) {
      scene.points.push_back(
          {offset.dx, offset.dy, PixelAt(picture, glyph.x + offset.dx, glyph.row + offset.dy)});
    }
  }
  return scene;
}

// The same shape, where two of the ten points differ from the flat colour: 90 per cent is nine.
PointScene FlatPoints() {
  PointScene scene = DesktopPoints();
  scene.anchor = kFlatIndex;
  for (qel::PatternPoint& point : scene.points) point.index = kFlatIndex;
  scene.points[4].index = kFlatIndex + 1;
  scene.points[9].index = kFlatIndex + 1;
  return scene;
}

struct TextScene {
  qel::TextPattern pattern;
  std::uint8_t target = 0;
};

// The glyph's box as a text's drawing: 60 of its pixels drawn, 200 of the others left free.
TextScene DesktopText() {
  const Glyph glyph = DesktopGlyph();
  return {{Spread(glyph.same, 60), Spread(glyph.other, 200), 48, 12, 8}, glyph.colour};
}

void CountPerSearch(benchmark::State& state, std::int64_t allocationsBefore) {
  state.counters["allocs"] =
      benchmark::Counter(static_cast<double>(allocations.load() - allocationsBefore),
                         benchmark::Counter::kAvgIterations);
}

void RunFindPoint(benchmark::State& state, const PalettePicture& picture, const PointScene& scene,
                  qel::OffsetMatchKernel kernel) {
  qel::NoEventPump pump;
  qel::EventHandOff handOff(pump);
  const qel::PaletteRows rows{picture.rows, picture.width, picture.height};
  const qel::PointPatternQuery query{scene.points, scene.anchor, 0, kPercent};
  const std::int64_t before = allocations.load();
  qel::PatternPlace place;
  for (auto _ : state) {
    if (kernel == nullptr) {
      const auto first = qel::plain::FindPointPatterns(
          {picture.rows, picture.width, picture.height}, query, 0, true);
      place = first.empty() ? qel::PatternPlace{} : first.front();
    } else {
      place = qel::FindPointPatternFrom(rows, query, 0, handOff, kernel);
    }
    benchmark::DoNotOptimize(place);
  }
  CountPerSearch(state, before);
  state.SetLabel("at " + std::to_string(place.point.x) + "," + std::to_string(place.point.y));
}

void RunFindAllPoints(benchmark::State& state, const PalettePicture& picture,
                      const PointScene& scene, qel::OffsetMatchKernel kernel) {
  qel::NoEventPump pump;
  qel::EventHandOff handOff(pump);
  const qel::PaletteRows rows{picture.rows, picture.width, picture.height};
  const qel::PointPatternQuery query{scene.points, scene.anchor, 0, kPercent};
  // Room for the places made before counting, so that only the searches' own allocations count.
  std::vector<qel::FoundPoint> found;
  found.reserve(64);
  std::size_t count = 0;
  const std::int64_t before = allocations.load();
  for (auto _ : state) {
    if (kernel == nullptr) {
      count = qel::plain::FindPointPatterns({picture.rows, picture.width, picture.height}, query, 0,
                                            false)
                  .size();
    } else {
      qel::FindAllPointPatterns(rows, query, found, handOff, kernel);
      count = found.size();
    }
    benchmark::DoNotOptimize(count);
  }
  CountPerSearch(state, before);
  state.SetLabel(std::to_string(count) + " found");
}

void RunFindText(benchmark::State& state, const PalettePicture& picture, const TextScene& scene,
                 qel::OffsetMatchKernel kernel, bool all) {
  qel::NoEventPump pump;
  qel::EventHandOff handOff(pump);
  const qel::PaletteRows rows{picture.rows, picture.width, picture.height};
  const qel::TextPatternQuery query{scene.pattern, scene.target, 0, kPercent};
  // Room for the places made before counting, so that only the searches' own allocations count.
  std::vector<qel::FoundPoint> found;
  found.reserve(64);
  const std::int64_t before = allocations.load();
  for (auto _ : state) {
    if (kernel == nullptr) {
      found =
          qel::plain::FindTextPatterns({picture.rows, picture.width, picture.height}, query, !all);
    } else if (all) {
      qel::FindAllTextPatterns(rows, query, found, handOff, kernel);
    } else {
      found.assign(1, qel::FindTextPattern(rows, query, handOff, kernel));
    }
    benchmark::DoNotOptimize(found.data());
  }
  CountPerSearch(state, before);
  state.SetLabel(all ? std::to_string(found.size()) + " found"
                     : "at " + std::to_string(found.empty() ? -1 : found[0].x) + "," +
                           std::to_string(found.empty() ? -1 : found[0].y));
}

// The direct loop first, then every kernel this processor runs.
template <class Run>
void RegisterEach(const std::string& name, Run run) {
  benchmark::RegisterBenchmark((name + "/reference").c_str(), [run](benchmark::State& state) {
    run(state, nullptr);
  })->Unit(benchmark::kMillisecond);
  for (const qel::NamedOffsetMatchKernel& kernel : qel::RunnableOffsetMatchKernels()) {
    benchmark::RegisterBenchmark((name + "/" + kernel.name).c_str(), [run, scan = kernel.scan](
                                                                         benchmark::State& state) {
      run(state, scan);
    })->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const PalettePicture& desktop = qel::bench::DesktopPicture8();
  const PalettePicture flat = Flat(kFlatIndex);
  const PointScene desktopPoints = DesktopPoints();
  const PointScene flatPoints = FlatPoints();
  const TextScene desktopText = DesktopText();
  const TextScene flatText = [] {
    TextScene scene = DesktopText();
    scene.target = kFlatIndex;
    return scene;
  }();

  for (const auto& [scene, picture, points, text] :
       {std::tuple{"desktop", &desktop, &desktopPoints, &desktopText},
        std::tuple{"flat", &flat, &flatPoints, &flatText}}) {
    const std::string where = scene;
    RegisterEach("FindPointPattern/" + where,
                 [=](auto& state, auto kernel) { RunFindPoint(state, *picture, *points, kernel); });
    RegisterEach("FindAllPointPatterns/" + where, [=](auto& state, auto kernel) {
      RunFindAllPoints(state, *picture, *points, kernel);
    });
    RegisterEach("FindTextPattern/" + where, [=](auto& state, auto kernel) {
      RunFindText(state, *picture, *text, kernel, false);
    });
    RegisterEach("FindAllTextPatterns/" + where, [=](auto& state, auto kernel) {
      RunFindText(state, *picture, *text, kernel, true);
    });
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
