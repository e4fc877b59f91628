#include "platform/fake/fake_system.h"

namespace qel {

bool FakeProcess::SetCurrentDirectory(std::string_view path) {
  directoriesSet.emplace_back(path);
  return true;
}

int FakeDialogs::MessageBox(WindowHandle owner, std::string_view text, std::string_view title,
                            std::uint32_t style) {
  shown.push_back({owner, std::string(text), std::string(title), style});
  if (whileOpen) whileOpen();
  return 1;
}

Form* FakeWindowSystem::LoadMainWindow(const Layout& layout, EventSink& events) {
  if (failToLoad) return nullptr;
  form_ = std::make_unique<FakeForm>(layout, clock_, events);
  return form_.get();
}

void FakeWindowSystem::RunMessageLoop() {
  if (session) session(*form_);
}

}  // namespace qel
