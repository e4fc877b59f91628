// Test programs that need a display start a private Xvfb first and run the toolkit on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "tests/support/xvfb.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::unique_ptr<qel::test::Xvfb> server;
  try {
    server = std::make_unique<qel::test::Xvfb>();
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "cannot run the display tests: %s\n", error.what());
    return 1;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
