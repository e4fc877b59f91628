// What the benchmark programs that start their own X server share around their benchmarks.
#pragma once

#include <memory>
#include <string>

#include "tests/support/xvfb.h"

namespace qel::bench {

// Google Benchmark's set-up with the runs of peers interleaved at random, unless the command line
// turns it off, so that a change in the machine's load falls on every peer alike.
void InitializeInterleaved(int argc, char** argv);

// A private X server with the screen given; nullptr, after saying on standard error that the
// benchmark named cannot run and why, when none starts.
std::unique_ptr<test::Xvfb> StartXvfb(const std::string& benchmark,
                                      const std::string& screen = "1920x1080x24");

// Runs every registered benchmark and shuts the library down: main's status.
int RunRegistered();

}  // namespace qel::bench
