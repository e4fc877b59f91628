#include "tools/qel_find/find_commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "bitmap/bmp_decoder.h"
#include "qel/desktop.h"
#include "qel/searches.h"
#include "tools/qel_find/argument_text.h"
#include "tools/qel_find/find_output.h"

namespace qel::find {
namespace {

using Bytes = std::vector<std::uint8_t>;

[[noreturn]] void Fail(std::string_view name, std::string_view value, std::string_view problem) {
  throw ArgumentError(std::string(name) + ": " + Quoted(value) + " " + std::string(problem));
}

std::string SystemReason() { return std::string("(") + std::strerror(errno) + ")"; }

Bytes ReadFile(std::string_view name, const std::string& path) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) Fail(name, path, "cannot be read " + SystemReason());
  Bytes bytes;
  std::uint8_t block[65536];
  std::size_t count = 0;
  while ((count = std::fread(block, 1, sizeof block, file.get())) > 0) {
    bytes.insert(bytes.end(), block, block + count);
    // No further than the picture's headers say it needs: a large file that is no picture costs
    // its first block only, and a pipe need not be read to its end.
    if (bytes.size() < kBmpHeadBytes) continue;
    const std::optional<std::int64_t> needed = BmpFileBytesNeeded(bytes);
    if (!needed) break;
    if (static_cast<std::int64_t>(bytes.size()) >= *needed) {
      bytes.resize(static_cast<std::size_t>(*needed));
      break;
    }
  }
  if (std::ferror(file.get()) != 0) Fail(name, path, "cannot be read " + SystemReason());
  return bytes;
}

void WriteFile(std::string_view name, const std::string& path, const Bytes& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) Fail(name, path, "cannot be written " + SystemReason());
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) Fail(name, path, "cannot be written " + SystemReason());
}

// One in memory when the request needs no desktop, so that it runs where there is none.
std::unique_ptr<DesktopSession> SessionFor(const FindRequest& request) {
  if (!NeedsDesktop(*request.command, request.in.has_value())) {
    return std::make_unique<InMemoryDesktop>(1, 1);
  }
  try {
    return OpenRunningDesktop();
  } catch (const std::runtime_error& error) {
    // The first sentence says what is wrong; the rest are hints for the program's window.
    const std::string reason = error.what();
    throw ArgumentError("no desktop to search: " + reason.substr(0, reason.find_first_of(".\n")));
  }
}

CaptureSource CaptureSourceOf(const FindRequest& request) {
  const ScreenArea area = request.area.value_or(ScreenArea{});
  if (!request.window) return area;
  return WindowArea{*request.window, area.left,   area.top,
                    area.width,      area.height, request.throughWindow};
}

SearchSource SourceOf(const FindRequest& request) {
  if (request.in) return ImageFile{ReadFile("--in", *request.in)};
  const CaptureSource source = CaptureSourceOf(request);
  if (const auto* window = std::get_if<WindowArea>(&source)) return *window;
  return std::get<ScreenArea>(source);
}

TextLook LookOf(const FindRequest& request) {
  return {.face = LibraryText(request.font),
          .size = request.size,
          .bold = request.bold,
          .italic = request.italic,
          .color = request.color};
}

Matches MatchesOf(const FindRequest& request) {
  return request.all ? Matches::kAll : Matches::kFirst;
}

Outcome Places(const std::vector<FoundPoint>& places, const FindRequest& request) {
  return {FormatPlaces(places, request.json), places.empty() ? kNotFound : kFound};
}

Outcome Run(const BitmapContext& context, const FindRequest& request) {
  switch (*request.command) {
    case Command::kPixel: {
      const std::optional<ColorValue> color =
          PixelAt(context, request.x, request.y, request.window.value_or(0), request.throughWindow);
      return {FormatPixel(color, request.json), color ? kFound : kNotFound};
    }
    case Command::kGrab: {
      const Bytes bmp = Grab(context, CaptureSourceOf(request), request.bits);
      if (bmp.empty()) throw ArgumentError("grab: nothing could be captured there");
      WriteFile("-o", request.output, bmp);
      return {};
    }
    case Command::kColor:
      return Places(FindColors(context, SourceOf(request), request.color, request.tolerance,
                               MatchesOf(request)),
                    request);
    case Command::kImage: {
      const Bytes small = ReadFile(TargetName(Command::kImage), request.target);
      return Places(FindImages(context, SourceOf(request), small, MatchesOf(request)), request);
    }
    case Command::kPattern: {
      const Bytes pattern = ReadFile(TargetName(Command::kPattern), request.target);
      return Places(FindPatterns(context, SourceOf(request), pattern, request.background,
                                 request.tolerance, request.similarity, MatchesOf(request)),
                    request);
    }
    case Command::kText:
      return Places(
          FindTexts(context, SourceOf(request), LibraryText(request.target), LookOf(request),
                    request.tolerance, request.similarity, MatchesOf(request)),
          request);
    case Command::kNumber: {
      const std::optional<double> number = ReadNumber(context, SourceOf(request), LookOf(request),
                                                      request.tolerance, request.similarity);
      return {FormatNumber(number, request.json), number ? kFound : kNotFound};
    }
  }
  return {};
}

}  // namespace

Outcome RunRequest(const FindRequest& request) {
  if (request.help) return {HelpText(request.command), kFound};
  const std::unique_ptr<DesktopSession> session = SessionFor(request);
  try {
    return Run(session->Context(), request);
  } catch (const SearchInputError& error) {
    if (error.Which() == SearchInputError::Input::kTarget) {
      Fail(TargetName(*request.command), request.target, error.Problem());
    }
    if (request.in) Fail("--in", *request.in, error.Problem());
    Fail("--window", request.windowArgument, error.Problem());
  }
}

}  // namespace qel::find
