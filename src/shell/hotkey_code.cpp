#include "shell/hotkey_code.h"

namespace {

// Bit 0 and bit 2 trade places, bit 1 stays, every other bit goes.
std::uint8_t SwapShiftAndAlt(std::uint32_t flags) {
  return static_cast<std::uint8_t>(((flags & 1u) << 2) | (flags & 2u) | ((flags & 4u) >> 2));
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
  std::uint32_t flags = ModifiersToHotkeyFlags(HotkeyModifiers(code));
  return static_cast<std::uint16_t>((flags << 8) | (HotkeyKey(code) & 0xFFu));
}
