#include "app/fatal_error.h"

#include <cstdlib>

#include "convert/ui_texts.h"

namespace qel {
namespace {
constexpr std::string_view kCrLf = "\r\n";
}

std::string FatalErrorText(std::string_view message, std::optional<std::int64_t> code) {
  std::string text{kTextRuntimeError.gbk};
  text += kCrLf;
  text += kCrLf;
  if (code) {
    text += kTextErrorCode.gbk;
    text += std::to_string(*code);
    text += kCrLf;
    text += kCrLf;
  }
  text += kTextErrorMessage.gbk;
  text += message;
  text += kCrLf;
  return text;
}

std::string AllocationFailureMessage(std::size_t bytes) {
  std::string message{kTextAllocationFailedBefore.gbk};
  message += std::to_string(bytes);
  message += kTextAllocationFailedAfter.gbk;
  return message;
}

void FatalErrorReporter::Report(std::string_view message, std::optional<std::int64_t> code) {
  dispatcher_.Halt();
  platform_.dialogs.MessageBox(0, FatalErrorText(message, code), kTextErrorTitle.gbk,
                               kMbOk | kMbIconError);
  platform_.process.Exit(kFatalExitCode);
  std::_Exit(kFatalExitCode);  // Exit does not return; this keeps the promise if one ever did
}

}  // namespace qel
