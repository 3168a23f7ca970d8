#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core_types.h"

// What /list prints: every desktop in number order with the titles of its windows, top to bottom.
struct ListedDesktop {
  int number = 0;
  std::string name;  // the program's 8-bit text
  HotkeyCode hotkey = 0;
  std::vector<std::string> windows;  // titles, already UTF-8
};

struct DesktopListing {
  int current = 0;
  std::vector<ListedDesktop> desktops;
};

// The system's conversion of the program's 8-bit text (the desktop names) to UTF-8; the titles
// are printed as they are. Each text is converted whole, before any escaping: in a double-byte
// code page the second byte of a character may be a backslash.
using TextToUtf8 = std::function<std::string(const std::string&)>;

// {"current": 2, "desktops": [{"number": 1, "name": "...", "hotkey": "Alt+F1", "windows":
// ["...", ...]}, ...]} and a line feed, in UTF-8 without a byte-order mark.
std::string FormatListJson(const DesktopListing& listing, const TextToUtf8& toUtf8);

// A JSON string of UTF-8 text: quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& utf8);

// The combination as the hot-key control spells it, without its spaces: "Ctrl+Shift+Alt+F1";
// empty for no hotkey.
std::string HotkeyName(HotkeyCode code);
