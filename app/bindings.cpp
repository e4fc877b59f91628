#include "app/bindings.h"

#include <array>

#include "app/skin_deployment.h"
#include "convert/convert_command.h"
#include "convert/preview.h"
#include "sampler/find_command.h"
#include "sampler/sampling_control.h"
#include "sampler/sampling_tick.h"

namespace qel {
namespace {

using enum ControlId;

// The handlers of the lower layers take only what they use; these adapt them to the table.
template <void (*OnForm)(Form&)>
void FormHandler(HandlerContext& context, std::int32_t, std::int32_t) {
  OnForm(context.form);
}

void WindowCreatedHandler(HandlerContext& context, std::int32_t, std::int32_t) {
  OnMainWindowCreated(context);
}

void StartStopHandler(HandlerContext& context, std::int32_t, std::int32_t) {
  OnStartStopClick(context.form, context.platform.dialogs, context.globals.DisplayScale);
}

void HotkeyNotifyHandler(HandlerContext& context, std::int32_t identifier, std::int32_t extra) {
  OnHotkeyNotify(context.form, context.platform.dialogs, context.globals.DisplayScale,
                 context.globals.HotkeyId, identifier, extra);
}

void SampleTickHandler(HandlerContext& context, std::int32_t, std::int32_t) {
  const ColorFinder& finder = *context.globals.GlobalColorFinder;
  const BitmapContext& bitmaps = context.bitmaps;
  OnSampleTick(
      context.form, context.platform.desktop,
      [&](std::int32_t x, std::int32_t y) { return finder.GetPixelColor(bitmaps, 0, x, y); },
      context.globals.DisplayScale, context.globals.LastColorBytes);
}

void CopyFindCommandHandler(HandlerContext& context, std::int32_t, std::int32_t) {
  OnCopyFindCommand(context.form, context.platform.images);
}

constexpr std::array kBindings{
    Binding{MainWindow, Event::Created, "OnMainWindowCreated", &WindowCreatedHandler},
    Binding{Button1, Event::Click, "OnStartStopClick", &StartStopHandler},
    Binding{Label13, Event::Notify, "OnHotkeyNotify", &HotkeyNotifyHandler},
    Binding{Timer1, Event::Tick, "OnSampleTick", &SampleTickHandler},
    Binding{TabBox1, Event::Copy, "OnCopyFindCommand", &CopyFindCommandHandler},
    Binding{Button2, Event::Click, "OnConvertClick", &FormHandler<OnConvertClick>},
    Binding{Timer2, Event::Tick, "OnPreviewTick", &FormHandler<OnPreviewTick>},
    Binding{EditBox9, Event::GotFocus, "OnHexInputFocus", &FormHandler<OnHexInputFocus>},
    Binding{EditBox10, Event::GotFocus, "OnRedInputFocus", &FormHandler<OnRedInputFocus>},
    Binding{EditBox11, Event::GotFocus, "OnGreenInputFocus", &FormHandler<OnGreenInputFocus>},
    Binding{EditBox12, Event::GotFocus, "OnBlueInputFocus", &FormHandler<OnBlueInputFocus>},
    Binding{EditBox13, Event::GotFocus, "OnDecimalInputFocus", &FormHandler<OnDecimalInputFocus>},
};

}  // namespace

std::span<const Binding> EventBindings() { return kBindings; }

void OnMainWindowCreated(HandlerContext& context) {
  context.skin.AttachSkin(kStartupSkin);
  context.skin.EnableAero();
  const WindowHandle window = context.form.NativeHandle(MainWindow);
  const WindowHandle receiver = context.form.NativeHandle(Label13);
  context.globals.HotkeyId =
      context.hotkeyRegistration.RegisterAppHotkey(window, receiver, 0, kF2VirtualKey);
}

}  // namespace qel
