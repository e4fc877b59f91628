// What every user of the Windows clipboard in this process needs: an owner window and the
// clipboard held open for a moment.
#pragma once

#include "platform/win32/win32_handles.h"

namespace qel {

// A message-only window to own what this process puts on the clipboard: a clipboard emptied
// without an owner refuses every format put on it.
class ClipboardOwner {
 public:
  ClipboardOwner();
  ~ClipboardOwner();
  ClipboardOwner(const ClipboardOwner&) = delete;
  ClipboardOwner& operator=(const ClipboardOwner&) = delete;

  HWND Get() const { return window_; }

 private:
  HWND window_;
};

// The clipboard open for this thread, closed when it goes. Another program may hold it open for
// a moment, as programs do while they copy, so opening is tried a few times.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner);
  ~OpenedClipboard();
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;

  bool IsOpen() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace qel
