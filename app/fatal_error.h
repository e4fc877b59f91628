// The one way the program reports a fatal error: an ownerless error box, then the process ends with
// exit code -1 without running the exit routines. Events stop being delivered first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/dispatcher.h"

namespace qel {

inline constexpr int kFatalExitCode = -1;

std::string FatalErrorText(std::string_view message, std::optional<std::int64_t> code = {});
std::string AllocationFailureMessage(std::size_t bytes);

class FatalErrorReporter {
 public:
  FatalErrorReporter(Dispatcher& dispatcher, Platform& platform)
      : dispatcher_(dispatcher), platform_(platform) {}

  [[noreturn]] void Report(std::string_view message, std::optional<std::int64_t> code = {});

 private:
  Dispatcher& dispatcher_;
  Platform& platform_;
};

}  // namespace qel
