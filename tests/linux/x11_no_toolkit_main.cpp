// A test program without a Qt application, as the command-line tool and the Python module are: it
// starts a private Xvfb and nothing else.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "tests/support/xvfb.h"

TEST(NoToolkit, NoQtApplicationRuns) { EXPECT_EQ(QCoreApplication::instance(), nullptr); }

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::unique_ptr<qel::test::Xvfb> server;
  try {
    server = std::make_unique<qel::test::Xvfb>();
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "cannot run the display tests: %s\n", error.what());
    return 1;
  }
  return RUN_ALL_TESTS();
}
