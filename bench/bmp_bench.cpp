// BMP files of a 1920 x 1080 24-bit picture of noise, beside their peers in the same run:
//   LoadBmpFile   faster than Qt's QImage reader and stb_image's loader, each from the same file;
//   FileBytes     faster than Qt's QImage writer making the same file's bytes in memory.
#include <benchmark/benchmark.h>
#include <stb_image.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// The file the loaders read, in a folder of this run's own.
class NoiseFile {
 public:
  NoiseFile() {
    char folder[] = "/tmp/qel-bmp-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) std::abort();
    folder_ = folder;
    path_ = folder_ + "/noise.bmp";
    bytes_ = MakeBytes();
    std::ofstream(path_, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes_.data()),
               static_cast<std::streamsize>(bytes_.size()));
  }
  ~NoiseFile() {
    std::remove(path_.c_str());
    rmdir(folder_.c_str());
  }
  NoiseFile(const NoiseFile&) = delete;
  NoiseFile& operator=(const NoiseFile&) = delete;

  const std::string& Path() const { return path_; }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  static std::vector<std::uint8_t> MakeBytes() {
    constexpr int kRowBytes = kWidth * 3;  // already a multiple of four
    std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(kRowBytes) * kHeight);
    const auto put = [&file](std::size_t at, std::uint32_t value, int size) {
      for (int i = 0; i < size; ++i) file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    put(0, 0x4D42, 2);
    put(2, static_cast<std::uint32_t>(file.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, kWidth, 4);
    put(22, kHeight, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    std::minstd_rand random(5);
    for (std::size_t i = 54; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(random());
    return file;
  }

  std::string folder_;
  std::string path_;
  std::vector<std::uint8_t> bytes_;
};

// The library on the fake platform: nothing here reads the screen.
struct Library {
  qel::FakeScreen screen{1, 1};
  qel::FakeDesktop desktop;
  qel::FakeImageServices images;
  qel::SoftwareGdi gdi{screen, desktop, images};
  qel::BitmapContext context{gdi, screen, desktop};
};

NoiseFile* noise = nullptr;
Library* library = nullptr;

void BM_LoadBmpFile(benchmark::State& state) {
  qel::ScreenBitmap bitmap(library->context);
  for (auto _ : state) {
    if (!bitmap.LoadBmpFile(noise->Path())) {
      state.SkipWithError("the file did not load");
      break;
    }
  }
}

void BM_Peer_QImageRead(benchmark::State& state) {
  for (auto _ : state) {
    QImage image;
    if (!image.load(QString::fromStdString(noise->Path()), "BMP")) {
      state.SkipWithError("Qt did not read the file");
      break;
    }
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_Peer_StbImageLoad(benchmark::State& state) {
  for (auto _ : state) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load(noise->Path().c_str(), &width, &height, &channels, 0);
    if (pixels == nullptr) {
      state.SkipWithError("stb_image did not read the file");
      break;
    }
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
}

void BM_FileBytes(benchmark::State& state) {
  qel::ScreenBitmap bitmap(library->context);
  if (!bitmap.LoadBmpBytes(noise->Bytes())) {
    state.SkipWithError("the bytes did not load");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(bitmap.FileBytes().data());
}

void BM_Peer_QImageWrite(benchmark::State& state) {
  QImage image;
  image.load(QString::fromStdString(noise->Path()), "BMP");
  for (auto _ : state) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    benchmark::DoNotOptimize(bytes.constData());
  }
}

void Register(const char* name, void (*function)(benchmark::State&)) {
  benchmark::RegisterBenchmark(name, function)
      ->Unit(benchmark::kMillisecond)
      ->Repetitions(5)
      ->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  NoiseFile file;
  Library realLibrary;
  noise = &file;
  library = &realLibrary;
  Register("LoadBmpFile", BM_LoadBmpFile);
  Register("Peer_QImageRead", BM_Peer_QImageRead);
  Register("Peer_StbImageLoad", BM_Peer_StbImageLoad);
  Register("FileBytes", BM_FileBytes);
  Register("Peer_QImageWrite", BM_Peer_QImageWrite);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
