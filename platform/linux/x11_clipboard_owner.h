// Offering data on the X clipboard (the CLIPBOARD selection) from a program that runs no event
// loop of its own: a thread with its own connection answers the other clients' requests, handing
// data too large for one request over in pieces (INCR).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qel {

// One format of the offer: the target's name (a MIME type) and what makes its bytes, run on the
// serving thread at the first request for it.
struct ClipboardFormat {
  std::string target;
  std::function<std::vector<std::uint8_t>()> bytes;
};

class X11ClipboardOwner {
 public:
  X11ClipboardOwner();
  ~X11ClipboardOwner();  // gives the clipboard up
  X11ClipboardOwner(const X11ClipboardOwner&) = delete;
  X11ClipboardOwner& operator=(const X11ClipboardOwner&) = delete;

  // Takes the clipboard and serves the formats until another client takes it or the next offer
  // replaces them. False when DISPLAY cannot be reached or the clipboard not taken.
  bool Offer(std::vector<ClipboardFormat> formats);

 private:
  struct Server;
  std::unique_ptr<Server> server_;
};

}  // namespace qel
