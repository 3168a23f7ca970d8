#pragma once

#include <cstdint>

// Global hotkeys of the calling thread, registered with no window.
class HotkeyRegistrar {
 public:
  virtual ~HotkeyRegistrar() = default;
  // RegisterHotKey(NULL, id, modifiers, key); false when the combination is taken.
  virtual bool Register(int id, std::uint32_t modifiers, std::uint32_t key) = 0;
  virtual void Unregister(int id) = 0;  // UnregisterHotKey(NULL, id); unknown ids are harmless
};

// Registration ids: 1 next desktop, 2 previous desktop, desktop number + 2 for each desktop.
constexpr int kNextHotkeyId = 1;
constexpr int kPrevHotkeyId = 2;
constexpr int DesktopHotkeyId(int desktopNumber) {
  return desktopNumber + 2;
}
// Taken for a moment to learn whether a combination is free; above every desktop's id.
constexpr int kProbeHotkeyId = 0xBFFF;

// The extras' ids lie between the desktops' (a desktop number is at most 32767, so its id at most
// 0x8001) and the probe's.
constexpr int kSendNextHotkeyId = 0xBFF0;
constexpr int kSendPrevHotkeyId = 0xBFF1;
constexpr int kPinHotkeyId = 0xBFF2;
constexpr int kLastDeskHotkeyId = 0xBFF3;
// A desktop's hotkey with Shift added sends to it; desktops past this number get none, so that
// the ids stay below the fixed ones above.
constexpr int kMaxShiftSendDesktop = 0x3000;
constexpr int ShiftSendHotkeyId(int desktopNumber) {
  return 0x8100 + desktopNumber;
}
