// qel-find's command line, read into requests or refused with a message naming the argument, and
// its answers printed as lines or JSON.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/qel_find/find_arguments.h"
#include "tools/qel_find/find_output.h"

namespace qel::find {
namespace {

using Arguments = std::vector<std::string_view>;

// The fields that differ from a request's defaults, in a fixed order.
std::string Described(const FindRequest& r) {
  std::string text = r.command ? std::to_string(static_cast<int>(*r.command)) : "-";
  const auto add = [&text](bool present, const std::string& field) {
    if (present) text += " " + field;
  };
  add(r.help, "help");
  add(r.json, "json");
  add(r.all, "all");
  add(r.x != 0 || r.y != 0, "at=" + std::to_string(r.x) + "," + std::to_string(r.y));
  add(!r.target.empty(), "target=" + r.target);
  add(r.color != 0, "color=" + std::to_string(r.color));
  if (r.area) {
    text += " area=" + std::to_string(r.area->left) + "," + std::to_string(r.area->top) + "," +
            std::to_string(r.area->width) + "," + std::to_string(r.area->height);
  }
  add(r.window.has_value(), "window=" + std::to_string(r.window.value_or(0)));
  add(r.throughWindow, "through");
  add(r.in.has_value(), "in=" + r.in.value_or(""));
  add(r.tolerance != 0, "tolerance=" + std::to_string(r.tolerance));
  add(r.similarity != 0, "similarity=" + std::to_string(r.similarity));
  add(r.background.has_value(), "background=" + std::to_string(r.background.value_or(0)));
  add(!r.font.empty(), "font=" + r.font);
  add(r.size != 0, "size=" + std::to_string(r.size));
  add(r.bold, "bold");
  add(r.italic, "italic");
  add(r.bits != 24, "bits=" + std::to_string(r.bits));
  add(!r.output.empty(), "output=" + r.output);
  return text;
}

TEST(QelFindArgumentsTest, CommandLinesAreReadIntoRequests) {
  const struct {
    Arguments arguments;
    const char* request;
  } cases[] = {
      {{"pixel", "-3", "4"}, "0 at=-3,4"},
      {{"pixel", "1", "2", "--window", "0x2003dd", "--through-window", "--json"},
       "0 json at=1,2 window=2098141 through"},
      {{"pixel", "0", "0", "--window", "4294967295"}, "0 window=4294967295"},
      {{"grab", "-o", "g.bmp", "--bits", "1"}, "1 bits=1 output=g.bmp"},
      {{"grab", "--output=g.bmp", "--area", "-10,-20,0,5"}, "1 area=-10,-20,0,5 output=g.bmp"},
      {{"color", "#FF0000", "--all", "--tolerance=7"}, "2 all color=255 tolerance=7"},
      {{"color", "0255255", "--in", "a.bmp"}, "2 color=255255 in=a.bmp"},
      {{"image", "s.bmp", "--window", "123", "--area", "1,2,3,4"},
       "3 target=s.bmp area=1,2,3,4 window=123"},
      {{"pattern", "p.bmp", "--background", "000000", "--similarity", "100"},
       "4 target=p.bmp similarity=100 background=0"},
      {{"text", "-5", "--font", "F", "--size", "12", "--color", "1", "--bold", "--italic"},
       "5 target=-5 color=1 font=F size=12 bold italic"},
      {{"text", "--font=A B", "--size=200", "--color=1", "--", "--all"},
       "5 target=--all color=1 font=A B size=200"},
      {{"number", "--font", "F", "--size", "9", "--color", "#000001", "--in", "n.bmp"},
       "6 color=65536 in=n.bmp font=F size=9"},
      {{"color", "--tolerance", "x", "--help"}, "2 help"},
      {{"--help"}, "- help"},
      {{"-h", "color"}, "- help"},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(Described(ParseArguments(test.arguments)), test.request) << test.request;
  }
}

TEST(QelFindArgumentsTest, RefusalsNameTheArgumentAtFault) {
  const char* const kNotWindow = "is not a window ID (decimal, or hex after 0x)";
  const char* const kNotArea = "is not L,T,W,H (whole numbers, the width and height 0 or more)";
  const struct {
    Arguments arguments;
    std::string message;
  } cases[] = {
      {{}, "no command given (qel-find --help lists them)"},
      {{"find\n"},
       R"("find\x0a" is not a command (pixel, grab, color, image, pattern, text, number))"},
      {{"color"}, "color: COLOR is missing"},
      {{"color", "1", "2"}, R"("2": color takes no more operands)"},
      {{"color", "red"}, R"(COLOR: "red" is not a colour (#RRGGBB, RRGGBB or a decimal value))"},
      {{"color", "1", "--tolerance", "256"}, R"(--tolerance: "256" is not a number from 0 to 255)"},
      {{"color", "1", "--tolerance", "+1"}, R"(--tolerance: "+1" is not a number from 0 to 255)"},
      {{"color", "1", "--tolerance=-1"}, R"(--tolerance: "-1" is not a number from 0 to 255)"},
      {{"color", "1", "--tolerance"}, "--tolerance: needs a value (N)"},
      {{"color", "1", "--all=1"}, "--all: takes no value"},
      {{"color", "1", "--font", "x"},
       R"("--font" is not an option of color (qel-find color --help))"},
      {{"color", "1", "--in", "a.bmp", "--area", "0,0,1,1"}, "--in: cannot be given with --area"},
      {{"color", "1", "--window", "5", "--in", "a.bmp"}, "--in: cannot be given with --window"},
      {{"color", "1", "--through-window"}, "--through-window: needs --window"},
      {{"color", "1", "--window", "0"}, std::string(R"(--window: "0" )") + kNotWindow},
      {{"color", "1", "--window", "0x"}, std::string(R"(--window: "0x" )") + kNotWindow},
      {{"color", "1", "--window", "0x100000000"},
       std::string(R"(--window: "0x100000000" )") + kNotWindow},
      {{"color", "1", "--window", "0x-1"}, std::string(R"(--window: "0x-1" )") + kNotWindow},
      {{"color", "1", "--window", "12a"}, std::string(R"(--window: "12a" )") + kNotWindow},
      {{"color", "1", "--area", "1,2,3"}, std::string(R"(--area: "1,2,3" )") + kNotArea},
      {{"color", "1", "--area", "1,2,3,4,5"}, std::string(R"(--area: "1,2,3,4,5" )") + kNotArea},
      {{"color", "1", "--area", "1,2,-3,4"}, std::string(R"(--area: "1,2,-3,4" )") + kNotArea},
      {{"color", "1", "--area", "1,,3,4"}, std::string(R"(--area: "1,,3,4" )") + kNotArea},
      {{"color", "1", "--area", "1,2,3,4,"}, std::string(R"(--area: "1,2,3,4," )") + kNotArea},
      {{"grab"}, "grab: -o is missing"},
      {{"grab", "-o", "g.bmp", "--bits", "7"}, R"(--bits: "7" is not one of 1, 4, 8, 16, 24, 32)"},
      {{"text", "T", "--font", "F", "--size", "12"}, "text: --color is missing"},
      {{"text", "T", "--font", "F", "--size", "0", "--color", "0"},
       R"(--size: "0" is not a number from 1 to 200)"},
      {{"pixel", "1", "2147483648"}, R"(Y: "2147483648" is not a whole number)"},
      {{"image", ""}, R"(SMALL.bmp: "" is not a file name)"},
  };
  for (const auto& test : cases) {
    try {
      const FindRequest request = ParseArguments(test.arguments);
      ADD_FAILURE() << test.message << ": taken as " << Described(request);
    } catch (const ArgumentError& error) {
      EXPECT_EQ(error.what(), test.message);
    }
  }
}

TEST(QelFindArgumentsTest, AnswersPrintAsLinesOrOneJsonArray) {
  const std::vector<FoundPoint> two{{10, 20}, {-1, 3}};
  EXPECT_EQ(FormatPlaces(two, false), "10 20\n-1 3\n");
  EXPECT_EQ(FormatPlaces(two, true), "[{\"x\": 10, \"y\": 20}, {\"x\": -1, \"y\": 3}]\n");
  EXPECT_EQ(FormatPlaces({}, false), "");
  EXPECT_EQ(FormatPlaces({}, true), "[]\n");
  EXPECT_EQ(FormatPixel(0x0000FF, false), "#FF0000 255\n");
  EXPECT_EQ(FormatPixel(0x0000FF, true), "[{\"hex\": \"#FF0000\", \"decimal\": 255}]\n");
  EXPECT_EQ(FormatPixel(std::nullopt, true), "[]\n");
  EXPECT_EQ(FormatNumber(4071, false), "4071\n");
  EXPECT_EQ(FormatNumber(4071, true), "[4071]\n");
  EXPECT_EQ(FormatNumber(1e20, false), "100000000000000000000\n");
  EXPECT_EQ(FormatNumber(std::nullopt, false), "");
}

TEST(QelFindArgumentsTest, EveryCommandHasHelpNamingItsOptions) {
  for (const char* command : {"pixel", "grab", "color", "image", "pattern", "text", "number"}) {
    const FindRequest request = ParseArguments(Arguments{command, "--help"});
    const std::string help = HelpText(request.command);
    EXPECT_TRUE(help.starts_with(std::string("usage: qel-find ") + command + " ")) << help;
    EXPECT_NE(HelpText(std::nullopt).find(std::string("  ") + command + " "), std::string::npos);
  }
}

}  // namespace
}  // namespace qel::find
