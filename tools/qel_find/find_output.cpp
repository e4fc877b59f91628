#include "tools/qel_find/find_output.h"

#include <charconv>

namespace qel::find {
namespace {

// Each answer's text, joined as lines or as the items of an array.
std::string Joined(const std::vector<std::string>& items, bool json) {
  if (!json) {
    std::string lines;
    for (const std::string& item : items) lines += item + "\n";
    return lines;
  }
  std::string array = "[";
  for (const std::string& item : items) array += (array.size() > 1 ? ", " : "") + item;
  return array + "]\n";
}

}  // namespace

std::string FormatPlaces(const std::vector<FoundPoint>& places, bool json) {
  std::vector<std::string> items;
  items.reserve(places.size());
  for (const FoundPoint place : places) {
    const std::string x = std::to_string(place.x);
    const std::string y = std::to_string(place.y);
    items.push_back(json ? "{\"x\": " + x + ", \"y\": " + y + "}" : x + " " + y);
  }
  return Joined(items, json);
}

std::string FormatPixel(std::optional<ColorValue> color, bool json) {
  if (!color) return Joined({}, json);
  const std::string hex = FormatScriptColor(*color);
  const std::string decimal = std::to_string(*color);
  return Joined(
      {json ? "{\"hex\": \"" + hex + "\", \"decimal\": " + decimal + "}" : hex + " " + decimal},
      json);
}

std::string FormatNumber(std::optional<double> number, bool json) {
  if (!number) return Joined({}, json);
  // Read from digits, so a whole number; fixed notation keeps every digit a double holds.
  char text[400];
  const std::to_chars_result written =
      std::to_chars(text, text + sizeof text, *number, std::chars_format::fixed, 0);
  return Joined({std::string(text, written.ptr)}, json);
}

}  // namespace qel::find
