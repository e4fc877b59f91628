// The BMP decoder against Windows' own loader: every sample file loaded by LoadImage into a bitmap
// compatible with the screen, as the decoder promises to read it, and read back at 32 bits must
// give the decoder's pixels, pixel for pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "bitmap/bmp_decoder.h"
#include "platform/win32/win32_handles.h"

namespace qel {
namespace {

// Only the file names are wide; the samples' paths are ASCII.
std::string Narrow(const std::wstring& text) { return {text.begin(), text.end()}; }

std::vector<std::wstring> SampleFiles() {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(QEL_BMP_SAMPLES_DIR L"\\*.bmp", &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.emplace_back(found.cFileName);
  } while (FindNextFileW(search, &found) != 0);
  FindClose(search);
  return names;
}

// Files Wine's LoadImage does not load as the format describes them. The decoder's own tests hold
// it to ImageMagick's reading of these.
struct WineGap {
  const wchar_t* name;
  const char* why;
};
constexpr WineGap kWineGaps[] = {
    {L"topdown_24.bmp", "Wine loads a top-down file as a black bitmap"},
    {L"topdown_565.bmp", "Wine loads a top-down file as a black bitmap"},
    {L"v2_565.bmp", "Wine refuses a BITMAPV2INFOHEADER"},
    {L"v3_argb.bmp", "Wine refuses a BITMAPV3INFOHEADER"},
};

// Not as a DIB section (LR_CREATEDIBSECTION): Wine's sections take 5-6-5 files for 5-5-5 ones and
// read an OS/2 file's colour table as four-byte entries, which the screen-compatible load does not.
HBITMAP LoadWithWindows(const std::wstring& path) {
  return static_cast<HBITMAP>(
      LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

// Stops at the first thing that keeps the pixels from being compared.
void CompareWithWindows(const std::wstring& name) {
  const std::wstring path = std::wstring(QEL_BMP_SAMPLES_DIR L"\\") + name;
  std::ifstream in(Narrow(path), std::ios::binary);
  const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
  const HBITMAP loaded = LoadWithWindows(path);
  ASSERT_NE(loaded, nullptr) << "Windows cannot load it";
  BITMAP windowsSize{};
  GetObjectW(loaded, sizeof(windowsSize), &windowsSize);
  const int width = windowsSize.bmWidth;
  const int height = windowsSize.bmHeight;
  std::vector<std::uint32_t> windows(static_cast<std::size_t>(width) * height);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, loaded, 0, static_cast<UINT>(height), windows.data(), &info,
                             DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(loaded);
  ASSERT_EQ(rows, height);

  const std::optional<BmpDimensions> size = ReadBmpDimensions(file);
  ASSERT_TRUE(size) << "the decoder refuses what Windows loads";
  ASSERT_EQ(size->width, width);
  ASSERT_EQ(size->height, height);
  std::vector<std::uint32_t> ours(windows.size());
  ASSERT_TRUE(DecodeBmp(file, ours.data(), width)) << "the decoder fails on what Windows loads";
  int differing = 0;
  for (std::size_t i = 0; i < ours.size(); ++i) {
    const std::uint32_t expected = windows[i] & 0x00FFFFFFu;
    if (ours[i] == expected) continue;
    if (differing++ == 0) {
      ADD_FAILURE() << "first difference at (" << i % width << ", " << i / width << "): decoder "
                    << std::hex << ours[i] << ", Windows " << expected;
    }
  }
  EXPECT_EQ(differing, 0) << "pixels that differ, of " << ours.size();
}

TEST(BmpDecoderAgainstLoadImage, EverySampleFileGivesWindowsPixels) {
  const std::vector<std::wstring> names = SampleFiles();
  ASSERT_FALSE(names.empty()) << "no samples under " << Narrow(QEL_BMP_SAMPLES_DIR);
  for (const std::wstring& name : names) {
    SCOPED_TRACE(Narrow(name));
    const auto gap = std::find_if(std::begin(kWineGaps), std::end(kWineGaps),
                                  [&name](const WineGap& g) { return name == g.name; });
    if (gap != std::end(kWineGaps)) {
      std::cout << "not compared: " << Narrow(name) << ": " << gap->why << "\n";
      continue;
    }
    CompareWithWindows(name);
  }
}

}  // namespace
}  // namespace qel
