#include "platform/fake/fake_files.h"

#include <algorithm>

namespace qel {

void FakeFileSystem::Note(std::string_view what, std::string_view path) {
  if (journal != nullptr) journal->push_back(std::string(what) + " " + std::string(path));
}

bool FakeFileSystem::EntryExists(std::string_view path) {
  Note("exists", path);
  return entries.contains(path);
}

bool FakeFileSystem::WriteNewFile(std::string_view path, std::span<const std::uint8_t> bytes) {
  Note("write", path);
  std::string temporary(path);
  temporary += ".tmp" + std::to_string(++temporaries_);
  if (!entries.try_emplace(temporary).second) return false;
  mostEntries = std::max(mostEntries, entries.size());
  const std::size_t written = std::min(bytes.size(), failWriteAfter.value_or(bytes.size()));
  entries[temporary].bytes.assign(bytes.begin(),
                                  bytes.begin() + static_cast<std::ptrdiff_t>(written));
  auto finished = entries.extract(temporary);
  if (written < bytes.size() || entries.contains(path)) return false;
  finished.key() = path;
  entries.insert(std::move(finished));
  return true;
}

bool FakeFileSystem::SetHiddenAttribute(std::string_view path) {
  Note("hidden", path);
  const auto entry = entries.find(path);
  if (entry == entries.end()) return false;
  entry->second.hidden = true;
  return true;
}

}  // namespace qel
