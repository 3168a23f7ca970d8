#include "shell/desktop_menu.h"

namespace {

std::string NotListedText(std::size_t count) {
  return "(" + std::to_string(count) + (count == 1 ? " more window" : " more windows") +
         " not listed)";
}

// Fills one submenu; `next` is the number the next window item gets.
void AddWindowEntries(const DesktopInfo& desk, std::uint32_t& next, DesktopSubmenu& submenu) {
  if (desk.windows.empty()) {
    // The placeholder carries the next number without using it up; it is disabled, so the
    // number can never be sent.
    std::uint32_t id = next <= kMaxWindowItems ? next : 0;
    submenu.entries.push_back(MenuEntry{id, kEmptyDesktopText, false});
    return;
  }
  std::size_t listed = 0;
  for (const WindowEntry& entry : desk.windows) {
    if (next > kMaxWindowItems) break;
    submenu.entries.push_back(MenuEntry{next++, entry.title, true, true});
    ++listed;
  }
  if (listed < desk.windows.size())
    submenu.entries.push_back(MenuEntry{0, NotListedText(desk.windows.size() - listed), false});
}

}  // namespace

DesktopMenuModel BuildDesktopMenu(const DesktopTable& table, DesktopNumber current) {
  DesktopMenuModel model;
  std::uint32_t next = 1;
  std::uint32_t desktopItem = kFirstDesktopItem;
  for (const auto& [number, desk] : table) {
    DesktopSubmenu submenu;
    submenu.itemId = desktopItem++;
    submenu.name = desk.name;
    submenu.current = number == current;
    AddWindowEntries(desk, next, submenu);
    model.desktops.push_back(std::move(submenu));
  }
  return model;
}

std::string MenuItemText(const std::string& title) {
  std::string text;
  text.reserve(title.size());
  for (char c : title) {
    text += c;
    if (c == '&') text += c;
  }
  return text;
}
