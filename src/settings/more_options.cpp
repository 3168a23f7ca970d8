#include "settings/more_options.h"

#include <string>

#include "settings/hotkey_text.h"

namespace {

constexpr std::uint32_t kHotkeyBuffer = 275;
constexpr std::uint32_t kDwordBytes = 4;
constexpr std::uint32_t kModifierBits = kModAlt | kModControl | kModShift | 0x8;  // MOD_WIN too

void ReadHotkey(SettingsStore& store, SettingsStore::Key key, const char* name, HotkeyCode* out) {
  std::string data;
  HotkeyCode code = 0;
  if (store.QueryValue(key, name, kHotkeyBuffer, &data) && ParseStoredHotkey(data, &code))
    *out = code;
}

void ReadSwitch(SettingsStore& store, SettingsStore::Key key, const char* name, bool* out) {
  std::string data;
  if (store.QueryValue(key, name, kDwordBytes, &data)) ParseStoredSwitch(data, out);
}

}  // namespace

void ParseStoredSwitch(const std::string& data, bool* on) {
  if (data == std::string(4, '\0')) *on = false;
  if (data == std::string("\x01\0\0\0", 4)) *on = true;
}

std::string StoredSwitch(bool on) {
  return std::string(1, on ? '\x01' : '\0') + std::string(3, '\0');
}

bool ParseStoredHotkey(const std::string& data, HotkeyCode* code) {
  std::string text = data.substr(0, data.find('\0'));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  if (text == "0 0") {
    *code = 0;
    return true;
  }
  const HotkeyCode parsed = ParseHotkeyText(text);
  // The whole text must be the two numbers: the same code formats back to it.
  if (parsed == 0 || FormatHotkeyText(parsed, false) != text) return false;
  if ((HotkeyModifiers(parsed) & ~kModifierBits) != 0 || HotkeyKey(parsed) == 0 ||
      HotkeyKey(parsed) > 0xFE)
    return false;
  *code = parsed;
  return true;
}

MoreOptions LoadMoreOptions(SettingsStore& store) {
  MoreOptions more;
  SettingsStore::Key key = 0;
  if (!store.OpenKey(reg::kMoreKey, &key)) return more;
  ReadHotkey(store, key, reg::kSendNextDesk, &more.sendNext);
  ReadHotkey(store, key, reg::kSendPrevDesk, &more.sendPrev);
  ReadHotkey(store, key, reg::kPinWindow, &more.pinWindow);
  ReadHotkey(store, key, reg::kLastDesk, &more.lastDesk);
  ReadSwitch(store, key, reg::kShiftSends, &more.shiftSends);
  ReadSwitch(store, key, reg::kSendFollows, &more.sendFollows);
  ReadSwitch(store, key, reg::kWrapAround, &more.wrapAround);
  ReadSwitch(store, key, reg::kTrayNumber, &more.trayNumber);
  store.CloseKey(key);
  return more;
}

bool SaveMoreOptions(SettingsStore& store, const MoreOptions& more) {
  SettingsStore::Key key = 0;
  bool created = false;
  if (!store.CreateKey(reg::kMoreKey, &key, &created)) return false;
  const std::pair<const char*, HotkeyCode> hotkeys[] = {{reg::kSendNextDesk, more.sendNext},
                                                        {reg::kSendPrevDesk, more.sendPrev},
                                                        {reg::kPinWindow, more.pinWindow},
                                                        {reg::kLastDesk, more.lastDesk}};
  for (const auto& [name, code] : hotkeys)
    store.SetValue(key, name, SettingsStore::kString, FormatHotkeyText(code, false));
  const std::pair<const char*, bool> switches[] = {{reg::kShiftSends, more.shiftSends},
                                                   {reg::kSendFollows, more.sendFollows},
                                                   {reg::kWrapAround, more.wrapAround},
                                                   {reg::kTrayNumber, more.trayNumber}};
  for (const auto& [name, on] : switches)
    store.SetValue(key, name, SettingsStore::kDword, StoredSwitch(on));
  store.CloseKey(key);
  return true;
}
