// The hotkey bookkeeping and the notification path, on fake hotkeys.
#include "sampler/hotkey_registration.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_hotkeys.h"

namespace qel {
namespace {

constexpr WindowHandle kMainWindow = 0x100;
constexpr WindowHandle kLabel = 0x200;

TEST(HotkeyModifierFlags, CodesOneToSixMapAndOthersPassThrough) {
  const std::pair<std::uint32_t, std::uint32_t> cases[] = {
      {0, 0}, {1, 2}, {2, 4}, {3, 6}, {4, 1}, {5, 3}, {6, 5}, {7, 7}, {8, 8}, {0x4000, 0x4000}};
  for (const auto& [code, flags] : cases) EXPECT_EQ(HotkeyModifierFlags(code), flags) << code;
}

TEST(HotkeyRegistration, IdentifiersCountFrom33001AndGrowOnFailureToo) {
  FakeHotkeys hotkeys;
  hotkeys.heldElsewhere.insert({0x4, 0x72});  // Shift+F3 belongs to another program
  HotkeyRegistration registration(hotkeys);
  EXPECT_EQ(registration.RegisterAppHotkey(kMainWindow, kLabel, 0, kF2VirtualKey), 33001);
  EXPECT_EQ(registration.RegisterAppHotkey(kMainWindow, kLabel, 2, 0x72), 0);
  EXPECT_EQ(registration.RegisterAppHotkey(kMainWindow, kLabel, 1, 0x72), 33003);
  EXPECT_EQ(registration.RegisterAppHotkey(kMainWindow, kLabel, 0, kF2VirtualKey), 0)
      << "F2 is taken by the first registration";
  ASSERT_EQ(hotkeys.registrations.size(), 4u);
  EXPECT_EQ(hotkeys.registrations[1].id, 33002);
  EXPECT_EQ(hotkeys.registrations[1].modifiers, 0x4u);
  EXPECT_EQ(hotkeys.hooksInstalled, 1) << "the window is hooked at the first registration only";
}

TEST(HotkeyRegistration, APressedHotkeyIsRelayedToTheLatestReceiver) {
  FakeHotkeys hotkeys;
  HotkeyRegistration registration(hotkeys);
  const std::int32_t f2 = registration.RegisterAppHotkey(kMainWindow, 0x999, 0, kF2VirtualKey);
  const std::int32_t ctrlF3 = registration.RegisterAppHotkey(kMainWindow, kLabel, 1, 0x72);
  hotkeys.Press(0, kF2VirtualKey);
  hotkeys.Press(0x1, 0x72);  // Alt+F3: not registered, nothing arrives
  hotkeys.Press(0x2, 0x72);  // code 1 was registered as the Ctrl flag
  ASSERT_EQ(hotkeys.sent.size(), 2u);
  for (const auto& message : hotkeys.sent) {
    EXPECT_EQ(message.target, kLabel) << "one receiver for all hotkeys: the latest given";
    EXPECT_EQ(message.message, kHotkeyNotifyMessage);
    EXPECT_EQ(message.lParam, 0);
  }
  EXPECT_EQ(hotkeys.sent[0].wParam, static_cast<std::uintptr_t>(f2));
  EXPECT_EQ(hotkeys.sent[1].wParam, static_cast<std::uintptr_t>(ctrlF3));
}

TEST(HotkeyRegistration, AFailedRegistrationRelaysNothing) {
  FakeHotkeys hotkeys;
  hotkeys.heldElsewhere.insert({0, kF2VirtualKey});
  HotkeyRegistration registration(hotkeys);
  EXPECT_EQ(registration.RegisterAppHotkey(kMainWindow, kLabel, 0, kF2VirtualKey), 0);
  hotkeys.Press(0, kF2VirtualKey);
  EXPECT_TRUE(hotkeys.sent.empty());
}

}  // namespace
}  // namespace qel
