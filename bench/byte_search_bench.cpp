// The tolerant byte searches over 256 KiB that stays in the cache and over the 1920 x 1080 8-bit
// desktop picture, for bytes that are not there so that all of it is read, beside memchr and
// std::find on the same data:
//   FindToleratedByte, tolerance 0 and 3     goal 20 GB/s or more on data in the cache;
//   FindToleratedPattern with a wildcard     goal 10 GB/s or more.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/desktop_picture.h"
#include "finder/byte_range_scan.h"
#include "finder/tolerant_bytes.h"

namespace {

constexpr std::int32_t kTolerance = 3;

struct Data {
  std::string name;
  std::vector<std::uint8_t> bytes;
  // A value that no byte is within kTolerance of, the commonest value and the rarest that is there.
  std::uint8_t absent = 0;
  std::uint8_t commonest = 0;
  std::uint8_t rarest = 0;
};

Data Described(std::string name, std::vector<std::uint8_t> bytes) {
  std::array<std::int64_t, 256> counts{};
  for (const std::uint8_t byte : bytes) ++counts[byte];
  Data data{std::move(name), std::move(bytes)};
  data.commonest =
      static_cast<std::uint8_t>(std::max_element(counts.begin(), counts.end()) - counts.begin());
  data.rarest = data.commonest;
  for (std::size_t value = 0; value < counts.size(); ++value) {
    if (counts[value] != 0 && counts[value] < counts[data.rarest]) {
      data.rarest = static_cast<std::uint8_t>(value);
    }
  }
  for (std::int32_t value = kTolerance; value + kTolerance < 256; ++value) {
    if (std::all_of(counts.begin() + value - kTolerance, counts.begin() + value + kTolerance + 1,
                    [](std::int64_t count) { return count == 0; })) {
      data.absent = static_cast<std::uint8_t>(value);
      return data;
    }
  }
  std::abort();
}

Data InCache() {
  std::vector<std::uint8_t> bytes(256 * 1024);
  std::minstd_rand random(3);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random() % 200);
  return Described("cache_256k", std::move(bytes));
}

Data Desktop() { return Described("desktop_1080p", qel::bench::DesktopPicture8().rows); }

void Register(const std::string& name, const Data& data,
              void (*run)(benchmark::State&, const Data&, qel::ByteRangeKernel),
              qel::ByteRangeKernel kernel) {
  benchmark::RegisterBenchmark((data.name + "/" + name).c_str(), [&data, run,
                                                                  kernel](benchmark::State& state) {
    for (auto _ : state) run(state, data, kernel);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.bytes.size()));
  })->MinTime(0.2);
}

void ToleratedByte0(benchmark::State&, const Data& data, qel::ByteRangeKernel kernel) {
  benchmark::DoNotOptimize(qel::FindToleratedByte(data.bytes, data.absent, 0, 1, kernel));
}

void ToleratedByte3(benchmark::State&, const Data& data, qel::ByteRangeKernel kernel) {
  benchmark::DoNotOptimize(qel::FindToleratedByte(data.bytes, data.absent, kTolerance, 1, kernel));
}

// Four bytes, the second a wildcard: the first is the data's commonest value, so that candidates
// come often, and the last is absent, so that none holds.
void ToleratedPattern(benchmark::State&, const Data& data, qel::ByteRangeKernel kernel) {
  constexpr std::int32_t kWildcard = 0xEE;
  const std::array<std::uint8_t, 4> pattern{data.commonest, kWildcard, data.commonest, data.absent};
  benchmark::DoNotOptimize(qel::FindToleratedPattern(data.bytes, pattern, 1, kWildcard, 0, kernel));
}

// The same pattern, but its first byte the rarest value there is.
void ToleratedPatternRareFirst(benchmark::State&, const Data& data, qel::ByteRangeKernel kernel) {
  constexpr std::int32_t kWildcard = 0xEE;
  const std::array<std::uint8_t, 4> pattern{data.rarest, kWildcard, data.commonest, data.absent};
  benchmark::DoNotOptimize(qel::FindToleratedPattern(data.bytes, pattern, 1, kWildcard, 0, kernel));
}

void Peer_Memchr(benchmark::State&, const Data& data, qel::ByteRangeKernel) {
  benchmark::DoNotOptimize(std::memchr(data.bytes.data(), data.absent, data.bytes.size()));
}

void Peer_StdFind(benchmark::State&, const Data& data, qel::ByteRangeKernel) {
  benchmark::DoNotOptimize(std::find(data.bytes.begin(), data.bytes.end(), data.absent));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  static const std::vector<Data> everyData{InCache(), Desktop()};
  for (const Data& data : everyData) {
    for (const qel::NamedByteRangeKernel& kernel : qel::RunnableByteRangeKernels()) {
      const std::string name = kernel.name;
      Register("FindToleratedByte_tolerance0/" + name, data, ToleratedByte0, kernel.scan);
      Register("FindToleratedByte_tolerance3/" + name, data, ToleratedByte3, kernel.scan);
      Register("FindToleratedPattern_wildcard/" + name, data, ToleratedPattern, kernel.scan);
      Register("FindToleratedPattern_wildcard_rare_first/" + name, data, ToleratedPatternRareFirst,
               kernel.scan);
    }
    Register("Peer_memchr", data, Peer_Memchr, nullptr);
    Register("Peer_std_find", data, Peer_StdFind, nullptr);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
