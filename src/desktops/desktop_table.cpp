#include "desktops/desktop_table.h"

#include <iterator>
#include <utility>

namespace {

// Folds a letter the way the registry folds value names: ASCII and the Windows-1252 letters
// that have an upper and a lower case.
unsigned char FoldCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:
      return 0x8A;  // s with caron
    case 0x9C:
      return 0x8C;  // oe
    case 0x9E:
      return 0x8E;  // z with caron
    case 0xFF:
      return 0x9F;  // y with diaeresis
    default:
      return c;
  }
}

}  // namespace

std::string FoldNameCase(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
  return folded;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  return FoldNameCase(a) == FoldNameCase(b);
}

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

bool DesktopTable::NameTakenByOther(DesktopNumber n, const std::string& name) const {
  for (const auto& [number, desk] : desks_) {
    if (number != n && SameNameIgnoringCase(desk.name, name)) return true;
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
