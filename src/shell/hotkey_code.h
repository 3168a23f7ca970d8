#pragma once

#include <cstdint>

#include "core_types.h"

// Registration flags, as RegisterHotKey takes them.
constexpr std::uint32_t kModAlt = 1;
constexpr std::uint32_t kModControl = 2;
constexpr std::uint32_t kModShift = 4;
// Virtual keys the first-run defaults use.
constexpr std::uint32_t kVkLeft = 0x25;
constexpr std::uint32_t kVkRight = 0x27;
constexpr std::uint32_t kVkF1 = 0x70;

constexpr HotkeyCode MakeHotkeyCode(std::uint32_t modifiers, std::uint32_t key) {
  return (modifiers << 16) | key;
}
constexpr std::uint32_t HotkeyModifiers(HotkeyCode code) {
  return code >> 16;
}
constexpr std::uint32_t HotkeyKey(HotkeyCode code) {
  return code & 0xFFFF;
}

// The hot-key control keeps Shift and Alt in each other's places; both directions swap bit 0 and
// bit 2, keep bit 1 and drop everything else.
std::uint8_t HotkeyFlagsToModifiers(std::uint8_t controlFlags);
std::uint8_t ModifiersToHotkeyFlags(std::uint32_t modifiers);
// The control's value (flags in the high byte, virtual key in the low one) and back. A control
// shows an extended key by its name only with HOTKEYF_EXT, which HotkeyToControl adds for them;
// what is read back never carries it, whether the control reports it or not.
HotkeyCode HotkeyFromControl(std::uint16_t controlValue);
std::uint16_t HotkeyToControl(HotkeyCode code);
