// Windows vanish between two requests, and an extension may refuse a request: such an error must
// fail the call that caused it, not end the program through Xlib's default error handler.
#pragma once

#include <X11/Xlib.h>

namespace qel {

// Catches the errors of the requests made on `display` while it lives. It waits for the server
// only when it must: after a request that has a reply, every earlier error has arrived already.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  // Whether any request made since the trap was set has failed.
  bool Failed();

 private:
  // Waits for the server unless it has answered the latest request already.
  void CatchUp();
  static int Record(Display* display, XErrorEvent* error);

  Display* display_;
  unsigned long firstRequest_;
  ErrorTrap* outer_;
  XErrorHandler previous_;
  bool failed_ = false;
};

}  // namespace qel
