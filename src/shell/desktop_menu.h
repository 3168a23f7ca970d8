#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "desktops/desktop_table.h"

// Command numbers of the tray menu.
constexpr std::uint32_t kCmdExit = 900;   // IDM_EXIT
constexpr std::uint32_t kCmdAbout = 901;  // IDM_ABOUT
constexpr std::uint32_t kCmdMore = 902;   // IDM_MORE, "More options..."
constexpr std::uint32_t kFirstDesktopItem = 904;
// Window items are numbered from 1 and must stay below Exit, About and the desktop items.
constexpr std::uint32_t kMaxWindowItems = 899;

struct MenuEntry {
  std::uint32_t id = 0;  // the command it sends; 0 for notes that send nothing
  std::string text;      // a window's title in UTF-8, else the program's 8-bit text
  bool enabled = true;
  bool title = false;  // a window item
};

struct DesktopSubmenu {
  std::uint32_t itemId = 0;  // 904 + number - 1, used only while the menu is built
  std::string name;
  bool current = false;
  std::vector<MenuEntry> entries;
};

// What the tray menu shows, top to bottom; the separator, "About" and "Exit" follow the desktops.
struct DesktopMenuModel {
  std::vector<DesktopSubmenu> desktops;
};

// Numbers window items 1, 2, 3, ... across the desktops in number order, each list in list
// order, the same way LocateWindowItem counts them. Past kMaxWindowItems no window is listed and
// the desktop says so in its last, disabled entry.
DesktopMenuModel BuildDesktopMenu(const DesktopTable& table, DesktopNumber current);

constexpr const char* kEmptyDesktopText = "empty ;|";

// A title as a menu item's text: a menu takes `&` for the mark of a keyboard shortcut, `&&` for
// the character itself.
std::string MenuItemText(const std::string& title);
