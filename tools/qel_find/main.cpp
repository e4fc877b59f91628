// qel-find: Qel's searches from the command line, for shell scripts. See qel-find.1.
#include <cstdio>
#include <exception>
#include <new>
#include <string_view>
#include <vector>

#include "tools/qel_find/find_arguments.h"
#include "tools/qel_find/find_commands.h"

namespace {

int Failed(const char* message) {
  std::fprintf(stderr, "qel-find: %s\n", message);
  return qel::find::kFailed;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const qel::find::Outcome outcome = qel::find::RunRequest(qel::find::ParseArguments(arguments));
    std::fputs(outcome.printed.c_str(), stdout);
    if (std::fflush(stdout) != 0) return Failed("the answer could not be printed");
    return outcome.status;
  } catch (const qel::find::ArgumentError& error) {
    return Failed(error.what());
  } catch (const std::bad_alloc&) {
    return Failed("out of memory");
  } catch (const std::exception& error) {
    return Failed(qel::find::Quoted(error.what()).c_str());
  }
}
