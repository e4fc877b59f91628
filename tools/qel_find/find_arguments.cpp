#include "tools/qel_find/find_arguments.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <vector>

namespace qel::find {
namespace {

enum class Option {
  kArea,
  kWindow,
  kThroughWindow,
  kIn,
  kTolerance,
  kSimilarity,
  kBackground,
  kFont,
  kSize,
  kBold,
  kItalic,
  kColor,
  kBits,
  kOutput,
  kAll,
  kJson,
};

using Apply = void (*)(FindRequest&, std::string_view name, std::string_view value);

[[noreturn]] void Reject(std::string_view name, std::string_view value, std::string_view problem) {
  throw ArgumentError(std::string(name) + ": " + Quoted(value) + " " + std::string(problem));
}

// A whole number written in `base` with nothing around it, within [low, high].
std::optional<std::int64_t> Whole(std::string_view text, std::int64_t low, std::int64_t high,
                                  int base = 10) {
  // from_chars takes a minus sign but no plus sign, and no spaces.
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const std::from_chars_result read = std::from_chars(text.data(), end, value, base);
  if (text.empty() || read.ec != std::errc{} || read.ptr != end || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

std::int32_t Bounded(std::string_view name, std::string_view value, std::int32_t low,
                     std::int32_t high) {
  const std::optional<std::int64_t> number = Whole(value, low, high);
  if (!number) {
    Reject(name, value,
           "is not a number from " + std::to_string(low) + " to " + std::to_string(high));
  }
  return static_cast<std::int32_t>(*number);
}

std::int32_t Coordinate(std::string_view name, std::string_view value) {
  const std::optional<std::int64_t> number = Whole(value, std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max());
  if (!number) Reject(name, value, "is not a whole number");
  return static_cast<std::int32_t>(*number);
}

ColorValue Colour(std::string_view name, std::string_view value) {
  const std::optional<ColorValue> color = ParseScriptColor(value);
  if (!color) Reject(name, value, "is not a colour (#RRGGBB, RRGGBB or a decimal value)");
  return *color;
}

// As xdotool and xwininfo print them: decimal, or hex after 0x.
WindowHandle WindowId(std::string_view name, std::string_view value) {
  const bool hex = value.starts_with("0x") || value.starts_with("0X");
  const std::optional<std::int64_t> id = Whole(
      hex ? value.substr(2) : value, 1, std::numeric_limits<WindowHandle>::max(), hex ? 16 : 10);
  if (!id) Reject(name, value, "is not a window ID (decimal, or hex after 0x)");
  return static_cast<WindowHandle>(*id);
}

ScreenArea Area(std::string_view name, std::string_view value) {
  std::array<std::int32_t, 4> parts{};
  std::size_t start = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    const std::size_t comma = value.find(',', start);
    // Left and top may be negative, on screens left of or above the first one.
    const std::optional<std::int64_t> part =
        last == (comma == std::string_view::npos)
            ? Whole(value.substr(start, last ? std::string_view::npos : comma - start),
                    i < 2 ? std::numeric_limits<std::int32_t>::min() : 0,
                    std::numeric_limits<std::int32_t>::max())
            : std::nullopt;
    if (!part) {
      Reject(name, value, "is not L,T,W,H (whole numbers, the width and height 0 or more)");
    }
    parts[i] = static_cast<std::int32_t>(*part);
    start = comma + 1;
  }
  return {parts[0], parts[1], parts[2], parts[3]};
}

std::string FileName(std::string_view name, std::string_view value) {
  if (value.empty()) Reject(name, value, "is not a file name");
  return std::string(value);
}

struct OptionSpec {
  Option option;
  std::string_view name;
  std::string_view shortName;
  std::string_view value;  // what the help calls its value; empty for a flag
  std::string_view help;
  Apply apply;
};

constexpr std::array kOptions{
    OptionSpec{Option::kArea, "--area", "", "L,T,W,H",
               "only this rectangle: screen coordinates, or client coordinates with --window; "
               "a width or height of 0 reaches the edge",
               [](FindRequest& r, std::string_view n, std::string_view v) { r.area = Area(n, v); }},
    OptionSpec{Option::kWindow, "--window", "", "ID",
               "in this window's client area, in client coordinates (ID in decimal or 0x hex, "
               "as xdotool and xwininfo print it)",
               [](FindRequest& r, std::string_view n, std::string_view v) {
                 r.window = WindowId(n, v);
                 r.windowArgument = v;
               }},
    OptionSpec{Option::kThroughWindow, "--through-window", "", "",
               "read the window's own drawing, even where other windows cover it",
               [](FindRequest& r, std::string_view, std::string_view) { r.throughWindow = true; }},
    OptionSpec{
        Option::kIn, "--in", "", "FILE.bmp",
        "in this BMP file instead of the screen, in the picture's coordinates",
        [](FindRequest& r, std::string_view n, std::string_view v) { r.in = FileName(n, v); }},
    OptionSpec{Option::kTolerance, "--tolerance", "", "N",
               "steps of the 256-colour table a pixel may differ by (0 to 255, default 0)",
               [](FindRequest& r, std::string_view n, std::string_view v) {
                 r.tolerance = Bounded(n, v, 0, 255);
               }},
    OptionSpec{Option::kSimilarity, "--similarity", "", "P",
               "per cent of the pixels that must match (0 to 100; 0, the default, means all)",
               [](FindRequest& r, std::string_view n, std::string_view v) {
                 r.similarity = Bounded(n, v, 0, 100);
               }},
    OptionSpec{Option::kBackground, "--background", "", "COLOR",
               "the pattern picture's background, left out of the pattern (default: none)",
               [](FindRequest& r, std::string_view n, std::string_view v) {
                 r.background = Colour(n, v);
               }},
    OptionSpec{Option::kFont, "--font", "", "FACE", "the font's face name",
               [](FindRequest& r, std::string_view, std::string_view v) { r.font = v; }},
    OptionSpec{Option::kSize, "--size", "", "N", "the font's size in points (1 to 200)",
               [](FindRequest& r, std::string_view n, std::string_view v) {
                 r.size = Bounded(n, v, 1, 200);
               }},
    OptionSpec{Option::kBold, "--bold", "", "", "the bold font",
               [](FindRequest& r, std::string_view, std::string_view) { r.bold = true; }},
    OptionSpec{Option::kItalic, "--italic", "", "", "the italic font",
               [](FindRequest& r, std::string_view, std::string_view) { r.italic = true; }},
    OptionSpec{
        Option::kColor, "--color", "", "COLOR", "the colour the text is drawn in",
        [](FindRequest& r, std::string_view n, std::string_view v) { r.color = Colour(n, v); }},
    OptionSpec{Option::kBits, "--bits", "", "N",
               "bits per pixel of the file: 1, 4, 8, 16, 24 (the default) or 32",
               [](FindRequest& r, std::string_view n, std::string_view v) {
                 const std::optional<std::int64_t> bits = Whole(v, 1, 32);
                 constexpr std::array kDepths{1, 4, 8, 16, 24, 32};
                 if (!bits || std::find(kDepths.begin(), kDepths.end(), *bits) == kDepths.end()) {
                   Reject(n, v, "is not one of 1, 4, 8, 16, 24, 32");
                 }
                 r.bits = static_cast<int>(*bits);
               }},
    OptionSpec{
        Option::kOutput, "--output", "-o", "FILE.bmp", "the BMP file to write",
        [](FindRequest& r, std::string_view n, std::string_view v) { r.output = FileName(n, v); }},
    OptionSpec{Option::kAll, "--all", "", "", "every place, not only the first",
               [](FindRequest& r, std::string_view, std::string_view) { r.all = true; }},
    OptionSpec{Option::kJson, "--json", "", "", "print a JSON array instead of lines",
               [](FindRequest& r, std::string_view, std::string_view) { r.json = true; }},
};

struct OperandSpec {
  std::string_view name;
  Apply apply;
};

constexpr OperandSpec kXOperand{
    "X", [](FindRequest& r, std::string_view n, std::string_view v) { r.x = Coordinate(n, v); }};
constexpr OperandSpec kYOperand{
    "Y", [](FindRequest& r, std::string_view n, std::string_view v) { r.y = Coordinate(n, v); }};
constexpr OperandSpec kColorOperand{"COLOR", [](FindRequest& r, std::string_view n,
                                                std::string_view v) { r.color = Colour(n, v); }};
constexpr Apply kTargetFile = [](FindRequest& r, std::string_view n, std::string_view v) {
  r.target = FileName(n, v);
};
constexpr Apply kTargetText = [](FindRequest& r, std::string_view, std::string_view v) {
  r.target = v;
};

struct CommandSpec {
  Command command;
  std::string_view name;
  std::span<const OperandSpec> operands;
  std::span<const Option> options;
  std::span<const Option> required;
  std::string_view summary;
  std::string_view answer;  // what it prints, a line for each place
  std::string_view notes;
};

constexpr std::array kPixelOperands{kXOperand, kYOperand};
constexpr std::array kColorOperands{kColorOperand};
constexpr std::array kImageOperands{OperandSpec{"SMALL.bmp", kTargetFile}};
constexpr std::array kPatternOperands{OperandSpec{"PATTERN.bmp", kTargetFile}};
constexpr std::array kTextOperands{OperandSpec{"TEXT", kTargetText}};

using enum Option;
constexpr std::array kPixelOptions{kWindow, kThroughWindow, kJson};
constexpr std::array kGrabOptions{kArea, kWindow, kThroughWindow, kBits, kOutput};
constexpr std::array kColorOptions{kArea, kWindow, kThroughWindow, kIn, kTolerance, kAll, kJson};
constexpr std::array kImageOptions{kArea, kWindow, kThroughWindow, kIn, kAll, kJson};
constexpr std::array kPatternOptions{kBackground,    kTolerance, kSimilarity, kArea, kWindow,
                                     kThroughWindow, kIn,        kAll,        kJson};
constexpr std::array kTextOptions{kFont,      kSize,       kBold, kItalic, kColor,
                                  kTolerance, kSimilarity, kArea, kWindow, kThroughWindow,
                                  kIn,        kAll,        kJson};
constexpr std::array kNumberOptions{kFont,       kSize, kBold,   kItalic,        kColor, kTolerance,
                                    kSimilarity, kArea, kWindow, kThroughWindow, kIn,    kJson};
constexpr std::array kGrabRequired{kOutput};
constexpr std::array kTextRequired{kFont, kSize, kColor};

constexpr std::string_view kTextNotes =
    "TEXT and FACE are UTF-8 on Linux and in the console's code page on Windows. Text is drawn in "
    "the system's fonts, so these searches need the desktop even with --in.";

constexpr std::array kCommands{
    CommandSpec{Command::kPixel,
                "pixel",
                kPixelOperands,
                kPixelOptions,
                {},
                "Reads the colour of the pixel at (X, Y) of the screen or of a window",
                "#RRGGBB DECIMAL, the decimal value being Qel's",
                ""},
    CommandSpec{Command::kGrab,
                "grab",
                {},
                kGrabOptions,
                kGrabRequired,
                "Saves the screen, a rectangle of it or a window as a BMP file",
                "nothing",
                ""},
    CommandSpec{Command::kColor,
                "color",
                kColorOperands,
                kColorOptions,
                {},
                "Finds pixels of a colour",
                "x y of a pixel",
                ""},
    CommandSpec{Command::kImage,
                "image",
                kImageOperands,
                kImageOptions,
                {},
                "Finds a smaller picture, pixel for pixel",
                "x y of a place's centre: width / 2 columns right of its left edge, height / 2 "
                "rows above its bottom row",
                ""},
    CommandSpec{Command::kPattern,
                "pattern",
                kPatternOperands,
                kPatternOptions,
                {},
                "Finds the pixels of a picture that are not its background",
                "x y of a place's anchor, the pattern's first pixel in the search order",
                ""},
    CommandSpec{Command::kText, "text", kTextOperands, kTextOptions, kTextRequired,
                "Finds a text drawn in a font and colour",
                "x y of a place's anchor, the first pixel the text covers in the search order",
                kTextNotes},
    CommandSpec{Command::kNumber,
                "number",
                {},
                kNumberOptions,
                kTextRequired,
                "Reads the number whose digits are drawn in a font and colour",
                "the number, its digits read from left to right",
                kTextNotes},
};

const OptionSpec* FindOption(std::string_view name) {
  for (const OptionSpec& spec : kOptions) {
    if (spec.name == name || (!spec.shortName.empty() && spec.shortName == name)) return &spec;
  }
  return nullptr;
}

const OptionSpec& SpecOf(Option option) {
  return *std::find_if(kOptions.begin(), kOptions.end(),
                       [option](const OptionSpec& spec) { return spec.option == option; });
}

const CommandSpec* FindCommand(std::string_view name) {
  for (const CommandSpec& spec : kCommands) {
    if (spec.name == name) return &spec;
  }
  return nullptr;
}

const CommandSpec& SpecOf(Command command) {
  return *std::find_if(kCommands.begin(), kCommands.end(),
                       [command](const CommandSpec& spec) { return spec.command == command; });
}

bool Takes(std::span<const Option> options, Option option) {
  return std::find(options.begin(), options.end(), option) != options.end();
}

bool IsHelp(std::string_view argument) { return argument == "--help" || argument == "-h"; }

// "-5" is a number, "-" alone a name; anything else after a dash is an option.
bool LooksLikeOption(std::string_view argument) {
  return argument.size() > 1 && argument[0] == '-' && !(argument[1] >= '0' && argument[1] <= '9');
}

// Options that cannot go together, and options that need another.
struct OptionRule {
  Option option;
  Option other;
  bool together;  // whether `option` needs `other` (true) or excludes it (false)
};
constexpr std::array kOptionRules{
    OptionRule{kIn, kArea, false},
    OptionRule{kIn, kWindow, false},
    OptionRule{kThroughWindow, kWindow, true},
};

void CheckOptionRules(const std::vector<Option>& given) {
  for (const OptionRule& rule : kOptionRules) {
    if (!Takes(given, rule.option) || Takes(given, rule.other) == rule.together) continue;
    throw ArgumentError(std::string(SpecOf(rule.option).name) +
                        (rule.together ? ": needs " : ": cannot be given with ") +
                        std::string(SpecOf(rule.other).name));
  }
}

std::string CommandNames() {
  std::string names;
  for (const CommandSpec& spec : kCommands) {
    names += names.empty() ? "" : ", ";
    names += spec.name;
  }
  return names;
}

std::string Usage(const CommandSpec& command) {
  std::string usage = "qel-find " + std::string(command.name);
  for (const OperandSpec& operand : command.operands) usage += " " + std::string(operand.name);
  for (const Option option : command.options) {
    const OptionSpec& spec = SpecOf(option);
    std::string text = std::string(spec.shortName.empty() ? spec.name : spec.shortName);
    if (!spec.value.empty()) text += " " + std::string(spec.value);
    usage += Takes(command.required, option) ? " " + text : " [" + text + "]";
  }
  return usage;
}

constexpr std::string_view kGeneralNotes =
    "Places are screen coordinates on the screen, client coordinates with --window and the "
    "picture's own with --in; several come bottom row first, left to right within a row. Colours "
    "are #RRGGBB, RRGGBB, or Qel's decimal value (R + 256 G + 65536 B); six digits alone are hex, "
    "so a decimal value of six digits is written with a leading 0. Exit status: 0 found, 1 not "
    "found, 2 a bad argument or an input that cannot be read.";

// The text in lines of at most 79 columns (longer words stand alone), each indented.
std::string Wrapped(std::string_view text, std::size_t indent) {
  constexpr std::size_t kWidth = 79;
  std::string lines;
  std::size_t lineLength = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t space = text.find(' ', start);
    const std::string_view word =
        text.substr(start, space == text.npos ? text.npos : space - start);
    start = space == text.npos ? text.size() : space + 1;
    if (word.empty()) continue;
    if (lineLength > 0 && lineLength + 1 + word.size() > kWidth) {
      lines += "\n";
      lineLength = 0;
    }
    if (lineLength == 0) {
      lines += std::string(indent, ' ');
      lineLength = indent;
    } else {
      lines += ' ';
      ++lineLength;
    }
    lines += word;
    lineLength += word.size();
  }
  return lines + "\n";
}

}  // namespace

std::string Quoted(std::string_view value) {
  std::string quoted = "\"";
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      constexpr char kHex[] = "0123456789abcdef";
      quoted += "\\x";
      quoted += kHex[byte >> 4];
      quoted += kHex[byte & 0xF];
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

FindRequest ParseArguments(std::span<const std::string_view> arguments) {
  FindRequest request;
  if (arguments.empty()) throw ArgumentError("no command given (qel-find --help lists them)");
  if (IsHelp(arguments[0])) {
    request.help = true;
    return request;
  }
  const CommandSpec* command = FindCommand(arguments[0]);
  if (command == nullptr) {
    throw ArgumentError(Quoted(arguments[0]) + " is not a command (" + CommandNames() + ")");
  }
  request.command = command->command;
  const auto rest = arguments.subspan(1);
  const auto end = std::find(rest.begin(), rest.end(), "--");
  if (std::any_of(rest.begin(), end, IsHelp)) {
    request.help = true;
    return request;
  }

  std::vector<Option> given;
  std::size_t operands = 0;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const std::string_view argument = rest[i];
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || !LooksLikeOption(argument)) {
      if (operands == command->operands.size()) {
        throw ArgumentError(Quoted(argument) + ": " + std::string(command->name) +
                            " takes no more operands");
      }
      const OperandSpec& operand = command->operands[operands++];
      operand.apply(request, operand.name, argument);
      continue;
    }
    const std::size_t equals = argument.starts_with("--") ? argument.find('=') : argument.npos;
    const std::string_view name = argument.substr(0, equals);
    const OptionSpec* option = FindOption(name);
    if (option == nullptr || !Takes(command->options, option->option)) {
      throw ArgumentError(Quoted(name) + " is not an option of " + std::string(command->name) +
                          " (qel-find " + std::string(command->name) + " --help)");
    }
    std::string_view value;
    if (option->value.empty()) {
      if (equals != argument.npos) throw ArgumentError(std::string(name) + ": takes no value");
    } else if (equals != argument.npos) {
      value = argument.substr(equals + 1);
    } else if (i + 1 < rest.size()) {
      value = rest[++i];
    } else {
      throw ArgumentError(std::string(name) + ": needs a value (" + std::string(option->value) +
                          ")");
    }
    option->apply(request, name, value);
    given.push_back(option->option);
  }
  if (operands < command->operands.size()) {
    throw ArgumentError(std::string(command->name) + ": " +
                        std::string(command->operands[operands].name) + " is missing");
  }
  for (const Option required : command->required) {
    if (!Takes(given, required)) {
      const OptionSpec& spec = SpecOf(required);
      throw ArgumentError(std::string(command->name) + ": " +
                          std::string(spec.shortName.empty() ? spec.name : spec.shortName) +
                          " is missing");
    }
  }
  CheckOptionRules(given);
  return request;
}

std::string HelpText(std::optional<Command> command) {
  if (!command) {
    std::string text =
        "usage: qel-find COMMAND [ARGUMENTS]   (qel-find COMMAND --help for each)\n"
        "Finds colours, pictures and texts on the screen, in a window or in a BMP file.\n\n";
    for (const CommandSpec& spec : kCommands) {
      text += "  " + std::string(spec.name) + std::string(9 - spec.name.size(), ' ') +
              std::string(spec.summary) + "\n";
    }
    return text + "\n" + Wrapped(kGeneralNotes, 0);
  }
  const CommandSpec& spec = SpecOf(*command);
  std::string text = "usage:" + Wrapped(Usage(spec), 6).substr(5) +
                     Wrapped(std::string(spec.summary) + ".", 0) +
                     Wrapped("Prints " + std::string(spec.answer) + ".", 0) + "\n";
  for (const Option option : spec.options) {
    const OptionSpec& described = SpecOf(option);
    std::string head = std::string(described.name);
    if (!described.shortName.empty()) head = std::string(described.shortName) + ", " + head;
    if (!described.value.empty()) head += " " + std::string(described.value);
    text += "  " + head + "\n" + Wrapped(described.help, 6);
  }
  if (!spec.notes.empty()) text += "\n" + Wrapped(spec.notes, 0);
  return text + "\n" + Wrapped(kGeneralNotes, 0);
}

std::string_view TargetName(Command command) {
  const CommandSpec& spec = SpecOf(command);
  return spec.operands.empty() ? spec.name : spec.operands.front().name;
}

}  // namespace qel::find
