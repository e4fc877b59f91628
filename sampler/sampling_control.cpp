#include "sampler/sampling_control.h"

#include <array>
#include <utility>

#include "convert/text_helpers.h"
#include "convert/ui_texts.h"

namespace qel {
namespace {

using enum ControlId;

constexpr std::array<std::pair<ControlId, float>, 4> kScales{{
    {RadioBox1, 1.0f},
    {RadioBox2, 1.25f},
    {RadioBox3, 1.5f},
    {RadioBox4, 1.75f},
}};

}  // namespace

std::string ScaleMessageText() {
  constexpr std::string_view kCrLf = "\r\n";
  return ConcatTexts({kTextScaleBoxLine1.gbk, kCrLf, kTextScaleBoxLine2.gbk, kCrLf,
                      kTextScaleBoxLine3.gbk, kCrLf, kTextScaleBoxLine4.gbk, kCrLf,
                      kTextScaleBoxLine5.gbk, kCrLf, kTextScaleBoxLine6.gbk, kCrLf,
                      kTextScaleBoxLine7.gbk, kCrLf, kTextScaleBoxLine8.gbk});
}

bool IsSampling(const Form& form) { return CompareTexts(form.Text(Button1), kTextStart.gbk) != 0; }

void OnStartStopClick(Form& form, Dialogs& dialogs, float& displayScale) {
  if (IsSampling(form)) {
    form.SetText(Button1, kTextStart.gbk);
    form.SetTimerInterval(Timer1, 0);
    return;
  }
  bool anyChecked = false;
  for (const auto& [radio, scale] : kScales) anyChecked = form.IsChecked(radio) || anyChecked;
  if (!anyChecked) {
    dialogs.MessageBox(form.NativeHandle(MainWindow), ScaleMessageText(), kTextScaleBoxTitle.gbk,
                       kMbOk | kMbTaskModal);
    return;
  }
  form.SetText(Button1, kTextStop.gbk);
  form.SetTimerInterval(Timer1, kSamplingIntervalMs);
  // Every checked box is visited, so the last one would count if several were checked.
  for (const auto& [radio, scale] : kScales) {
    if (form.IsChecked(radio)) displayScale = scale;
  }
}

void OnHotkeyNotify(Form& form, Dialogs& dialogs, float& displayScale, std::int32_t hotkeyId,
                    std::int32_t identifier, std::int32_t) {
  if (identifier == hotkeyId) OnStartStopClick(form, dialogs, displayScale);
}

}  // namespace qel
