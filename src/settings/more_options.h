#pragma once

#include <cstdint>
#include <string>

#include "core_types.h"
#include "settings/settings_store.h"
#include "shell/hotkey_code.h"

namespace reg {
// The extras live in a key of their own, so that the options and desktops keys stay byte for
// byte what they were for a user who never touches an extra.
constexpr const char* kMoreKey = "Software\\veilswitcher\\more";
constexpr const char* kSendNextDesk = "SendNextDesk";
constexpr const char* kSendPrevDesk = "SendPrevDesk";
constexpr const char* kPinWindow = "PinWindow";
constexpr const char* kLastDesk = "LastDesk";
constexpr const char* kShiftSends = "ShiftSends";
constexpr const char* kSendFollows = "SendFollows";
constexpr const char* kWrapAround = "WrapAround";
constexpr const char* kTrayNumber = "TrayNumber";
}  // namespace reg

// The extras' settings, with the defaults a missing or malformed value falls back to.
struct MoreOptions {
  HotkeyCode sendNext = MakeHotkeyCode(kModAlt | kModShift, kVkRight);
  HotkeyCode sendPrev = MakeHotkeyCode(kModAlt | kModShift, kVkLeft);
  HotkeyCode pinWindow = 0;
  HotkeyCode lastDesk = 0;
  bool shiftSends = true;
  bool sendFollows = true;
  bool wrapAround = false;
  bool trayNumber = false;
  bool operator==(const MoreOptions& o) const {
    return sendNext == o.sendNext && sendPrev == o.sendPrev && pinWindow == o.pinWindow &&
           lastDesk == o.lastDesk && shiftSends == o.shiftSends && sendFollows == o.sendFollows &&
           wrapAround == o.wrapAround && trayNumber == o.trayNumber;
  }
  bool operator!=(const MoreOptions& o) const { return !(*this == o); }
};

// Never fails and never reports: a missing key or value, or data that is not what the value
// holds, gives that value's default.
MoreOptions LoadMoreOptions(SettingsStore& store);
// Hotkeys as REG_SZ text in the form of the options key's, switches as REG_DWORD 0 or 1. False
// when the key could not be created.
bool SaveMoreOptions(SettingsStore& store, const MoreOptions& more);

// A hotkey's text as the extras store it: the form ParseHotkeyText reads, but anything that is
// not two numbers naming a key (or "0 0", no hotkey) is refused instead of read as no hotkey.
bool ParseStoredHotkey(const std::string& data, HotkeyCode* code);

// A switch as REG_DWORD data: 0 or 1, little-endian; anything else leaves `on` as it was.
void ParseStoredSwitch(const std::string& data, bool* on);
std::string StoredSwitch(bool on);
