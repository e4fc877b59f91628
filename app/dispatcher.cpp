#include "app/dispatcher.h"

#include <algorithm>

namespace qel {

Dispatcher::Dispatcher(std::span<const Binding> bindings, Platform& platform,
                       const BitmapContext& bitmaps, HotkeyRegistration& hotkeyRegistration,
                       ProgramGlobals& globals, SkinDeployment& skin)
    : bindings_(bindings),
      platform_(platform),
      bitmaps_(bitmaps),
      hotkeyRegistration_(hotkeyRegistration),
      globals_(globals),
      skin_(skin) {}

void Dispatcher::Deliver(ControlId control, Event event, std::int32_t a, std::int32_t b) {
  if (halted_ || form_ == nullptr) return;
  const auto binding = std::ranges::find_if(bindings_, [&](const Binding& candidate) {
    return candidate.control == control && candidate.event == event;
  });
  if (binding == bindings_.end()) return;
  HandlerContext context{*form_, platform_, bitmaps_, hotkeyRegistration_, globals_, skin_};
  binding->handler(context, a, b);
}

}  // namespace qel
