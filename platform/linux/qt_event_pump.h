// Handing a Qt program's waiting events to its event loop in the middle of a long computation.
#pragma once

#include "platform/platform.h"

namespace qel {

// Processes the events waiting on the calling thread when that thread runs a Qt application's
// event loop; anywhere else (no Qt application, another thread) there is nothing to hand to, and
// it returns at once.
class QtEventPump final : public EventPump {
 public:
  void ProcessPendingEvents() override;
};

}  // namespace qel
