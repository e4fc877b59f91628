// Handing the calling thread's waiting window messages to their windows in the middle of a long
// computation.
#pragma once

#include "platform/platform.h"

namespace qel {

// Dispatches every message waiting for the calling thread's windows, as a message loop would;
// a WM_QUIT met on the way is posted again for the real loop to end on.
class Win32EventPump final : public EventPump {
 public:
  void ProcessPendingEvents() override;
};

}  // namespace qel
