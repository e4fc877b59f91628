#include "platform/win32/win32_gbk.h"

#include "platform/win32/win32_handles.h"

namespace qel {
namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

std::string Utf16ToGbk(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(kGbkCodePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string gbk(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, text.data(), length, gbk.data(), size, nullptr, nullptr);
  return gbk;
}

std::wstring GbkToUtf16(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(kGbkCodePage, 0, text.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, text.data(), length, wide.data(), size);
  return wide;
}

}  // namespace qel
