#include "platform/win32/win32_images.h"

#include <objbase.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_gbk.h"
#include "platform/win32/win32_packed_dib.h"
#include "platform/win32/win32_text.h"

namespace qel {
namespace {

using Microsoft::WRL::ComPtr;

// Moveable global memory, as the clipboard takes it; freed unless the clipboard took it.
class GlobalBytes {
 public:
  explicit GlobalBytes(const std::vector<std::uint8_t>& bytes)
      : memory_(GlobalAlloc(GMEM_MOVEABLE, bytes.size())) {
    if (memory_ == nullptr) return;
    void* target = GlobalLock(memory_);
    if (target == nullptr) {
      GlobalFree(memory_);
      memory_ = nullptr;
      return;
    }
    std::memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(memory_);
  }
  ~GlobalBytes() {
    if (memory_ != nullptr) GlobalFree(memory_);
  }
  GlobalBytes(const GlobalBytes&) = delete;
  GlobalBytes& operator=(const GlobalBytes&) = delete;

  // The clipboard owns the memory once it accepts it.
  bool PutOnClipboard(UINT format) {
    if (memory_ == nullptr || SetClipboardData(format, memory_) == nullptr) return false;
    memory_ = nullptr;
    return true;
  }

 private:
  HGLOBAL memory_;
};

std::optional<std::vector<std::uint8_t>> ClipboardBytes(UINT format) {
  if (IsClipboardFormatAvailable(format) == 0) return std::nullopt;
  const HANDLE data = GetClipboardData(format);
  if (data == nullptr) return std::nullopt;
  const SIZE_T size = GlobalSize(data);
  const void* bytes = GlobalLock(data);
  if (bytes == nullptr) return std::nullopt;
  std::vector<std::uint8_t> copy(size);
  std::memcpy(copy.data(), bytes, size);
  GlobalUnlock(data);
  return copy;
}

// The text's UTF-16 code units with their terminator, as CF_UNICODETEXT holds them.
std::vector<std::uint8_t> UnicodeTextBytes(const std::wstring& text) {
  const auto* first = reinterpret_cast<const std::uint8_t*>(text.c_str());
  return {first, first + (text.size() + 1) * sizeof(wchar_t)};
}

// The text in the system's ANSI code page with its terminator, as CF_TEXT holds it.
std::vector<std::uint8_t> AnsiTextBytes(const std::wstring& text) {
  const int length = static_cast<int>(text.size()) + 1;
  const int size =
      WideCharToMultiByte(CP_ACP, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size > 0 ? size : 0));
  if (size > 0) {
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), length, reinterpret_cast<char*>(bytes.data()),
                        size, nullptr, nullptr);
  }
  return bytes;
}

// COM for the calling thread for as long as it lives, unless the thread had it already. A single-
// threaded apartment, as a thread with windows wants; WIC's factory works in either kind.
class ComScope {
 public:
  ComScope()
      : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

  // A thread already in the other kind of apartment can use WIC all the same.
  bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

}  // namespace

Win32ImageServices::Win32ImageServices() : owner_(std::make_unique<ClipboardOwner>()) {}

Win32ImageServices::~Win32ImageServices() = default;

bool Win32ImageServices::SetClipboardImage(const ArgbImage& image) {
  const std::vector<std::uint8_t> withAlpha = PackDibV5(image);
  const std::vector<std::uint8_t> plain = PackDib24(image);
  if (withAlpha.empty() || plain.empty() || owner_->Get() == nullptr) return false;
  GlobalBytes withAlphaMemory(withAlpha);
  GlobalBytes plainMemory(plain);
  const OpenedClipboard clipboard(owner_->Get());
  if (!clipboard.IsOpen() || EmptyClipboard() == 0) return false;
  // Both or neither, so that no program pastes a half-offered image.
  if (withAlphaMemory.PutOnClipboard(CF_DIBV5) && plainMemory.PutOnClipboard(CF_DIB)) return true;
  EmptyClipboard();
  return false;
}

bool Win32ImageServices::SetClipboardText(std::string_view text) {
  const std::wstring unicode = GbkToUtf16(text);
  const std::vector<std::uint8_t> ansi = AnsiTextBytes(unicode);
  if (ansi.empty() || owner_->Get() == nullptr) return false;
  GlobalBytes unicodeMemory(UnicodeTextBytes(unicode));
  GlobalBytes ansiMemory(ansi);
  const OpenedClipboard clipboard(owner_->Get());
  if (!clipboard.IsOpen() || EmptyClipboard() == 0) return false;
  if (unicodeMemory.PutOnClipboard(CF_UNICODETEXT) && ansiMemory.PutOnClipboard(CF_TEXT)) {
    return true;
  }
  EmptyClipboard();
  return false;
}

std::optional<ArgbImage> Win32ImageServices::ClipboardImage() {
  std::optional<std::vector<std::uint8_t>> bytes;
  {
    const OpenedClipboard clipboard(owner_->Get());
    if (!clipboard.IsOpen()) return std::nullopt;
    bytes = ClipboardBytes(CF_DIBV5);
    if (!bytes) bytes = ClipboardBytes(CF_DIB);
  }
  if (!bytes) return std::nullopt;
  return UnpackDib(*bytes);
}

std::optional<ArgbImage> Win32ImageServices::DecodePng(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > MAXDWORD) return std::nullopt;
  const ComScope com;
  if (!com.Usable()) return std::nullopt;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&factory)))) {
    return std::nullopt;
  }
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  // The PNG decoder alone, so that bytes of another format are refused rather than decoded.
  if (FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, &decoder)) ||
      FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return std::nullopt;
  }
  UINT width = 0;
  UINT height = 0;
  if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 ||
      width > static_cast<UINT>(INT_MAX / 4) || height > INT_MAX / width / 4) {
    return std::nullopt;
  }
  ArgbImage image{static_cast<int>(width), static_cast<int>(height), {}};
  image.pixels.resize(static_cast<std::size_t>(width) * height);
  // 32bppBGRA is 0xAARRGGBB in memory, not premultiplied.
  if (FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                   reinterpret_cast<BYTE*>(image.pixels.data())))) {
    return std::nullopt;
  }
  return image;
}

std::optional<TextCoverage> Win32ImageServices::RenderText(const FontRequest& font,
                                                           std::string_view text) {
  return RenderTextWithGdi(font, text);
}

}  // namespace qel
