#include "fakes/fake_hotkey_registrar.h"

#include <string>

std::vector<int> FakeHotkeyRegistrar::RegisteredIds() const {
  std::vector<int> ids;
  for (const LogEntry& e : log_) {
    if (e.registering && e.ok) ids.push_back(e.id);
  }
  return ids;
}

std::vector<int> FakeHotkeyRegistrar::UnregisteredIds() const {
  std::vector<int> ids;
  for (const LogEntry& e : log_) {
    if (!e.registering) ids.push_back(e.id);
  }
  return ids;
}

bool FakeHotkeyRegistrar::Press(std::uint32_t modifiers, std::uint32_t key,
                                std::uint32_t* lParam) const {
  for (const auto& r : registered_) {
    if (r.second == Combo{modifiers, key}) {
      *lParam = PressLParam(modifiers, key);
      return true;
    }
  }
  return false;
}

bool FakeHotkeyRegistrar::Register(int id, std::uint32_t modifiers, std::uint32_t key) {
  const Combo combo{modifiers, key};
  bool ok = registered_.count(id) == 0 && elsewhere_.count(combo) == 0;
  for (const auto& r : registered_) ok = ok && r.second != combo;
  if (ok) registered_[id] = combo;
  log_.push_back(LogEntry{true, id, combo, ok});
  Note("hk.Register " + std::to_string(id) + (ok ? "" : " refused"));
  return ok;
}

void FakeHotkeyRegistrar::Unregister(int id) {
  registered_.erase(id);
  log_.push_back(LogEntry{false, id, Combo{0, 0}, true});
  Note("hk.Unregister " + std::to_string(id));
}
