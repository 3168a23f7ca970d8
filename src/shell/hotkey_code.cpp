#include "shell/hotkey_code.h"

namespace {

// Bit 0 and bit 2 trade places, bit 1 stays, every other bit goes.
std::uint8_t SwapShiftAndAlt(std::uint32_t flags) {
  return static_cast<std::uint8_t>(((flags & 1u) << 2) | (flags & 2u) | ((flags & 4u) >> 2));
}

constexpr std::uint32_t kHotkeyExt = 0x08;  // HOTKEYF_EXT

// The keys the keyboard sends as extended ones (Num Lock too, though it has no E0 prefix). The
// control names a key by its scan code, which without the flag is another key's: Left would read
// "Num 4", Delete "Num Del". Print Screen is left out: its virtual key maps to SysRq's scan code,
// not to the keypad's.
bool IsExtendedKey(std::uint32_t key) {
  return (key >= 0x21 && key <= 0x28) ||             // Page Up, Page Down, End, Home, the arrows
         key == 0x2D || key == 0x2E ||               // Insert, Delete
         (key >= 0x5B && key <= 0x5D) ||             // left and right Windows, Application
         key == 0x6F || key == 0x90 || key == 0x03;  // Num /, Num Lock, Break
}

}  // namespace

std::uint8_t HotkeyFlagsToModifiers(std::uint8_t controlFlags) {
  return SwapShiftAndAlt(controlFlags);
}

std::uint8_t ModifiersToHotkeyFlags(std::uint32_t modifiers) {
  return SwapShiftAndAlt(modifiers & 0xFFu);
}

HotkeyCode HotkeyFromControl(std::uint16_t controlValue) {
  if (controlValue == 0) return 0;
  return MakeHotkeyCode(HotkeyFlagsToModifiers(static_cast<std::uint8_t>(controlValue >> 8)),
                        controlValue & 0xFFu);
}

std::uint16_t HotkeyToControl(HotkeyCode code) {
  const std::uint32_t key = HotkeyKey(code) & 0xFFu;
  std::uint32_t flags = ModifiersToHotkeyFlags(HotkeyModifiers(code));
  if (IsExtendedKey(key)) flags |= kHotkeyExt;
  return static_cast<std::uint16_t>((flags << 8) | key);
}
