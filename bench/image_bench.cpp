// FindImage over a 1920 x 1080 8-bit picture, each way it can look, beside OpenCV's matchTemplate
// and the direct search on the same images:
//   desktop/*       a piece of text cut from a picture of a desktop: goal 1 ms or less;
//   the others      inputs built against the filter and the direct search: goal 10 ms or less.
// Each reports the allocations an iteration makes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <new>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <random>
#include <string>
#include <vector>

#include "bench/desktop_picture.h"
#include "finder/byte_range_scan.h"
#include "finder/image_search.h"
#include "platform/platform.h"
#include "tests/finder/plain_image_search.h"

namespace {

std::int64_t allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

constexpr std::int32_t kWidth = 1920;
constexpr std::int32_t kHeight = 1080;

struct Image {
  std::vector<std::uint8_t> bytes;
  std::int32_t width = 0;
  std::int32_t height = 0;

  qel::PaletteRows Rows() const { return {bytes, width, height}; }
  std::uint8_t& At(std::int32_t x, std::int32_t row) {
    return bytes[static_cast<std::size_t>(row * qel::PaletteStride(width) + x)];
  }
};

Image Flat(std::int32_t width, std::int32_t height) {
  return {std::vector<std::uint8_t>(static_cast<std::size_t>(qel::PaletteStride(width) * height)),
          width, height};
}

// The size x size piece whose bottom-left pixel is (x, row).
Image Cut(const Image& large, std::int32_t x, std::int32_t row, std::int32_t size) {
  Image piece = Flat(size, size);
  for (std::int32_t j = 0; j < size; ++j) {
    const auto from = large.bytes.begin() + (row + j) * qel::PaletteStride(large.width) + x;
    std::copy(from, from + size, piece.bytes.begin() + j * qel::PaletteStride(size));
  }
  return piece;
}

struct Input {
  Image large;
  Image small;
  bool there = false;
};

// Text in the editor window of the desktop picture, 200 pixels from the top.
Input DesktopText(std::int32_t size) {
  const qel::bench::PalettePicture& picture = qel::bench::DesktopPicture8();
  Image large{picture.rows, picture.width, picture.height};
  Image small = Cut(large, 400, picture.height - 200 - size, size);
  return {std::move(large), std::move(small), true};
}

// A flat picture, and a flat image but for its last pixel in memory, the top-right one.
Input FlatOddLast(std::int32_t size) {
  Input input{Flat(kWidth, kHeight), Flat(size, size)};
  input.small.At(size - 1, size - 1) = 1;
  return input;
}

// The same, with the odd pixel in every 64th column of the picture: many places agree in it.
Input OddEvery64(std::int32_t size) {
  Input input = FlatOddLast(size);
  for (std::int32_t row = 0; row < kHeight; ++row) {
    for (std::int32_t x = 63; x < kWidth; x += 64) input.large.At(x, row) = 1;
  }
  return input;
}

// Cut from that picture across a column of odd pixels, then one pixel of its top row changed:
// every row but the top one agrees at every candidate of the filter.
Input TopPixelOfStripes(std::int32_t size) {
  Input input = OddEvery64(size);
  input.small = Cut(input.large, 32, 0, size);
  input.small.At(0, size - 1) = 1;
  return input;
}

// Every row of the picture the same row of two values; the image cut from it with one pixel of its
// top row changed: the filter's pixel is everywhere, the direct search's bottom row often.
Input TopPixelOfEqualRows(std::int32_t size) {
  Input input{Flat(kWidth, kHeight), {}};
  std::minstd_rand random(7);
  std::vector<std::uint8_t> row(kWidth);
  for (auto& pixel : row) pixel = static_cast<std::uint8_t>(random() % 2);
  for (std::int32_t y = 0; y < kHeight; ++y) {
    std::copy(row.begin(), row.end(), input.large.bytes.begin() + y * kWidth);
  }
  input.small = Cut(input.large, 500, 0, size);
  input.small.At(size / 2, size - 1) ^= 1;
  return input;
}

void ReportAllocations(benchmark::State& state, std::int64_t before) {
  state.counters["allocs"] = benchmark::Counter(static_cast<double>(allocations - before),
                                                benchmark::Counter::kAvgIterations);
}

void Find(benchmark::State& state, const Input& input, const qel::ImageSearchMethod* method) {
  qel::NoEventPump pump;
  qel::EventHandOff handOff(pump);
  qel::ImagePlace place;
  if (qel::FindImage(input.large.Rows(), input.small.Rows(), place, handOff) != input.there) {
    state.SkipWithError("the search did not answer as it should");
    return;
  }
  const std::int64_t before = allocations;
  for (auto _ : state) {
    const bool found =
        method == nullptr
            ? qel::FindImage(input.large.Rows(), input.small.Rows(), place, handOff)
            : qel::FindImage(input.large.Rows(), input.small.Rows(), place, handOff, *method);
    benchmark::DoNotOptimize(found);
    benchmark::DoNotOptimize(place);
  }
  ReportAllocations(state, before);
}

void Direct(benchmark::State& state, const Input& input) {
  const std::int64_t before = allocations;
  for (auto _ : state) {
    benchmark::DoNotOptimize(qel::plain::FindAllImages(input.large.Rows(), input.small.Rows(), 1));
  }
  ReportAllocations(state, before);
}

void Peer_OpenCV(benchmark::State& state, const Input& input) {
  // Both images as they lie in memory, rows bottom-up, read in place.
  const cv::Mat large(input.large.height, input.large.width, CV_8UC1,
                      const_cast<std::uint8_t*>(input.large.bytes.data()),
                      static_cast<std::size_t>(qel::PaletteStride(input.large.width)));
  const cv::Mat small(input.small.height, input.small.width, CV_8UC1,
                      const_cast<std::uint8_t*>(input.small.bytes.data()),
                      static_cast<std::size_t>(qel::PaletteStride(input.small.width)));
  cv::Mat scores;
  const std::int64_t before = allocations;
  for (auto _ : state) {
    cv::matchTemplate(large, small, scores, cv::TM_SQDIFF);
    double least = 0;
    cv::Point where;
    cv::minMaxLoc(scores, &least, nullptr, &where);
    benchmark::DoNotOptimize(least);
    benchmark::DoNotOptimize(where);
  }
  ReportAllocations(state, before);
}

void RegisterInput(const std::string& name, Input (*make)(std::int32_t)) {
  for (const std::int32_t size : {32, 64}) {
    // Made once and kept for the whole run, as the benchmarks refer to them.
    static std::deque<Input> inputs;
    const Input* input = &inputs.emplace_back(make(size));
    const std::string prefix = name + "/" + std::to_string(size) + "/";
    const auto add = [&prefix](const std::string& what, auto function) {
      benchmark::RegisterBenchmark((prefix + what).c_str(), function)
          ->Unit(benchmark::kMillisecond)
          ->MinTime(0.2);
    };
    add("FindImage", [input](benchmark::State& state) { Find(state, *input, nullptr); });
    for (const qel::NamedByteRangeKernel& kernel : qel::RunnableByteRangeKernels()) {
      const qel::ImageSearchMethod filterOnly{kernel.scan, INT64_MAX};
      add(std::string("FilterOnly_") + kernel.name,
          [input, filterOnly](benchmark::State& state) { Find(state, *input, &filterOnly); });
    }
    const qel::ImageSearchMethod sweep{qel::FastestByteRangeKernel(), -1};
    add("SweepOnly", [input, sweep](benchmark::State& state) { Find(state, *input, &sweep); });
    add("Peer_OpenCV", [input](benchmark::State& state) { Peer_OpenCV(state, *input); });
    add("Direct", [input](benchmark::State& state) { Direct(state, *input); });
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RegisterInput("desktop", DesktopText);
  RegisterInput("flat_odd_last", FlatOddLast);
  RegisterInput("odd_every_64", OddEvery64);
  RegisterInput("top_pixel_of_stripes", TopPixelOfStripes);
  RegisterInput("top_pixel_of_equal_rows", TopPixelOfEqualRows);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
