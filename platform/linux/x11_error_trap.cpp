#include "platform/linux/x11_error_trap.h"

namespace qel {
namespace {

// The traps set and not yet gone, innermost first. Only the thread that talks to the server sets
// them.
ErrorTrap* innermostTrap = nullptr;

}  // namespace

ErrorTrap::ErrorTrap(Display* display)
    : display_(display),
      firstRequest_(NextRequest(display)),
      outer_(innermostTrap),
      previous_(XSetErrorHandler(&ErrorTrap::Record)) {
  innermostTrap = this;
}

ErrorTrap::~ErrorTrap() {
  // No error of ours may reach the previous handler.
  CatchUp();
  innermostTrap = outer_;
  XSetErrorHandler(previous_);
}

bool ErrorTrap::Failed() {
  CatchUp();
  return failed_;
}

void ErrorTrap::CatchUp() {
  if (LastKnownRequestProcessed(display_) + 1 < NextRequest(display_)) XSync(display_, False);
}

// Serials only grow on a connection, so an error at or after a trap's first request is its own.
int ErrorTrap::Record(Display* display, XErrorEvent* error) {
  for (ErrorTrap* trap = innermostTrap; trap != nullptr; trap = trap->outer_) {
    if (trap->display_ == display && error->serial >= trap->firstRequest_) trap->failed_ = true;
  }
  return 0;
}

}  // namespace qel
