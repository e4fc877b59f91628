// qel-find's command line: the commands and options it takes, read into one request, and the help
// made from the same tables.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "qel/searches.h"

namespace qel::find {

using Command = Request;

// What the command line asks for, values as parsed; texts and file names as given.
struct FindRequest {
  std::optional<Command> command;  // none with the tool's own --help
  bool help = false;
  bool json = false;
  bool all = false;
  // Operands.
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::string target;  // SMALL.bmp, PATTERN.bmp or TEXT
  // The colour looked for: the operand of `color`, --color of `text` and `number`.
  ColorValue color = 0;
  // Where to look; none of them is the whole screen.
  std::optional<ScreenArea> area;
  std::optional<WindowHandle> window;
  std::string windowArgument;
  bool throughWindow = false;
  std::optional<std::string> in;
  // How to look.
  std::int32_t tolerance = 0;
  std::int32_t similarity = 0;
  std::optional<ColorValue> background;
  std::string font;
  std::int32_t size = 0;
  bool bold = false;
  bool italic = false;
  int bits = 24;
  std::string output;
};

// A command line that cannot be followed, or an input it names that cannot be read; the message,
// one line, names the argument at fault.
class ArgumentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An argument's value in double quotes for a message, with quotes, backslashes and control
// characters escaped so that the message stays on one line.
std::string Quoted(std::string_view value);

// Throws ArgumentError. `arguments` leaves out the program's name.
FindRequest ParseArguments(std::span<const std::string_view> arguments);

// The tool's help without a command, else the command's.
std::string HelpText(std::optional<Command> command);

// The name an operand has in the help, for messages about its value: "SMALL.bmp".
std::string_view TargetName(Command command);

}  // namespace qel::find
