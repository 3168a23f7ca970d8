#include <string>
#include <vector>

#include "app/virtual_desk_app.h"
#include "shell/hotkey_code.h"
#include "shell/hotkey_registrar.h"

void CVirtualDeskApp::WriteDefaultSettings() {
  settings_.WriteDefaults(modulePath_);
}

void CVirtualDeskApp::LoadSettings() {
  settings_.Load(options_, table_);
  more_ = LoadMoreOptions(p_.store);
  settingsLoaded_ = true;
}

// A copy that never loaded the settings (a refused second copy, say) must not overwrite them.
void CVirtualDeskApp::SaveSettings() {
  if (!dirty_ || !settingsLoaded_) return;
  settings_.Save(options_, table_, modulePath_);
  SaveMoreOptions(p_.store, more_);
}

void CVirtualDeskApp::ApplyOptions(const OptionsBlock& options) {
  options_ = options;
  UnregisterHotkeys();
  RegisterHotkeys();
  dirty_ = true;
}

// Registration refuses a combination held twice, and a refused registration ends the program and
// every later start; such options are refused before they are stored.
std::string CVirtualDeskApp::OptionsRefusal(const OptionsBlock& options) {
  const HotkeyCode prev = options.prevHotkey;
  const HotkeyCode next = options.nextHotkey;
  if (prev != 0 && prev == next) return "Previous and next desktop hotkeys must differ.";
  std::string clash = DesktopHotkeyClash("Previous", prev);
  if (clash.empty()) clash = DesktopHotkeyClash("Next", next);
  if (!clash.empty()) return clash;
  if (HotkeyHeldElsewhere(prev)) return "Previous desktop hotkey is used by another program.";
  if (HotkeyHeldElsewhere(next)) return "Next desktop hotkey is used by another program.";
  return std::string();
}

std::string CVirtualDeskApp::DesktopHotkeyClash(const char* which, HotkeyCode code) const {
  if (code == 0) return std::string();
  for (const auto& [number, desk] : table_) {
    if (desk.hotkey != code) continue;
    std::string owner =
        desk.name.empty() ? "desktop " + std::to_string(number) : "\"" + desk.name + "\"";
    return std::string(which) + " desktop hotkey is already used by " + owner + ".";
  }
  return std::string();
}

// The program's own next and previous combinations are free once they are withdrawn for the new
// ones, so only a combination the program does not hold is tried.
bool CVirtualDeskApp::HotkeyHeldElsewhere(HotkeyCode code) {
  if (code == 0 || code == options_.nextHotkey || code == options_.prevHotkey) return false;
  if (HeldByExtra(code)) return false;  // an extra gives way to the program's own hotkeys
  if (table_.HotkeyTaken(code)) return false;
  if (!p_.hotkeys.Register(kProbeHotkeyId, HotkeyModifiers(code), HotkeyKey(code))) return true;
  p_.hotkeys.Unregister(kProbeHotkeyId);
  return false;
}

void CVirtualDeskApp::RegisterHotkeys() {
  for (const auto& [number, desk] : table_) {
    if (desk.hotkey != 0 &&
        !p_.hotkeys.Register(DesktopHotkeyId(number), HotkeyModifiers(desk.hotkey),
                             HotkeyKey(desk.hotkey)))
      FatalError("Cant register hotkey.");
  }
  HotkeyCode next = options_.nextHotkey;
  if (next != 0 && !p_.hotkeys.Register(kNextHotkeyId, HotkeyModifiers(next), HotkeyKey(next)))
    FatalError("Cant register next desktop hotkey.");
  HotkeyCode prev = options_.prevHotkey;
  if (prev != 0 && !p_.hotkeys.Register(kPrevHotkeyId, HotkeyModifiers(prev), HotkeyKey(prev)))
    FatalError("Cant register previous desktop hotkey.");
  RegisterExtraHotkeys();
}

void CVirtualDeskApp::UnregisterHotkeys() {
  for (const auto& entry : table_) p_.hotkeys.Unregister(DesktopHotkeyId(entry.first));
  p_.hotkeys.Unregister(kNextHotkeyId);
  p_.hotkeys.Unregister(kPrevHotkeyId);
  UnregisterExtraHotkeys();
}

// A press that arrives while an operation runs (from a nested loop, say) waits for it to end.
void CVirtualDeskApp::MatchHotkey(std::uint32_t lParam) {
  if (InOperation() || !deferred_.empty()) {
    deferred_.push_back(DeferredMessage{msg::kHotkey, 0, static_cast<std::intptr_t>(lParam)});
    return;
  }
  MatchHotkeyNow(lParam);
}

// Every rule whose combination matches acts, in this order; a later rule sees the desktop that
// an earlier switch made current. A code of 0 is no hotkey and matches nothing.
void CVirtualDeskApp::MatchHotkeyNow(std::uint32_t lParam) {
  const std::uint32_t mods = lParam & 0xFFFF;
  const std::uint32_t key = lParam >> 16;
  auto pressed = [&](HotkeyCode code) {
    return code != 0 && HotkeyKey(code) == key && HotkeyModifiers(code) == mods;
  };
  std::vector<std::uint32_t> targets;  // found first: no walk of the table spans a switch
  for (const auto& [number, desk] : table_) {
    if (pressed(desk.hotkey)) targets.push_back(static_cast<std::uint32_t>(number));
  }
  RunOperation([&] {
    for (std::uint32_t number : targets) SwitchToDesktop(static_cast<DesktopNumber>(number));
    if (pressed(options_.nextHotkey)) SwitchToDesktop(NeighbourDesktop(1));
    if (pressed(options_.prevHotkey)) SwitchToDesktop(NeighbourDesktop(-1));
    MatchExtraHotkey(mods, key);
  });
}
