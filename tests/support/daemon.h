// A server started for the tests that writes one line (its display or address) to a descriptor
// it is given once it accepts connections.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace qel::test {

struct Daemon {
  pid_t pid = -1;
  std::string line;  // what it wrote, without the newline
};

// Runs `arguments` (program first; "{fd}" inside an argument is replaced by the descriptor
// number) and waits up to 20 s for the line. Throws std::runtime_error with `whenMissing` when no
// line comes.
Daemon StartDaemon(std::vector<std::string> arguments, const std::string& whenMissing);

// Stops it and waits for it to go; nothing for a pid of -1.
void StopDaemon(pid_t pid);

}  // namespace qel::test
