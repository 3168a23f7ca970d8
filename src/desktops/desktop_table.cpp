#include "desktops/desktop_table.h"

#include <iterator>
#include <utility>

const DesktopInfo* DesktopTable::Find(DesktopNumber n) const {
  auto it = desks_.find(n);
  return it == desks_.end() ? nullptr : &it->second;
}

const char* DesktopTable::GetDesktopName(DesktopNumber n) const {
  const DesktopInfo* desk = Find(n);
  return desk ? desk->name.c_str() : nullptr;
}

HotkeyCode DesktopTable::GetDesktopHotkey(DesktopNumber n) const {
  const DesktopInfo* desk = Find(n);
  return desk ? desk->hotkey : 0;
}

bool DesktopTable::NameTakenByOther(DesktopNumber n, const std::string& name,
                                    const SameName& same) const {
  for (const auto& [number, desk] : desks_) {
    if (number != n && same(desk.name, name)) return true;
  }
  return false;
}

bool DesktopTable::HotkeyTaken(HotkeyCode code) const {
  for (const auto& entry : desks_) {
    if (entry.second.hotkey == code) return true;
  }
  return false;
}

void DesktopTable::ClearWindowList(DesktopNumber n) {
  auto it = desks_.find(n);
  if (it != desks_.end()) it->second.windows.clear();
}

void DesktopTable::RemoveAndRenumber(DesktopNumber n) {
  auto it = desks_.find(n);
  if (it == desks_.end()) return;
  for (auto next = std::next(it); next != desks_.end(); it = next++) {
    it->second = std::move(next->second);
  }
  desks_.erase(it);
}
