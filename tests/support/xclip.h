// Another program on the clipboard: xclip, reading what the process under test offers and offering
// files for it to read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qel::test {

// Writes the clipboard's data as `target` to `path`; `idle` runs while xclip waits, for a program
// whose own event loop must answer it. False when xclip fails or takes too long.
bool XclipOut(
    const std::string& target, const std::string& path, const std::function<void()>& idle = [] {});
// Offers the file's bytes as `target` from an xclip in the background, which owns the clipboard
// once this returns and until another client takes it. False when it never does.
bool XclipIn(const std::string& target, const std::string& path);
// The window that owns the clipboard, 0 for none.
std::uint32_t ClipboardOwner();

}  // namespace qel::test
