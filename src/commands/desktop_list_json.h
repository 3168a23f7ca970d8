#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core_types.h"

// One window as /list describes it; every text UTF-8.
struct ListedWindow {
  WindowId handle = 0;
  std::string title;
  std::string program;  // the file name of its program
  std::uint32_t pid = 0;
  std::string windowClass;
};

// What /list prints: every desktop in number order with its windows, top to bottom, and the
// windows pinned to every desktop.
struct ListedDesktop {
  int number = 0;
  std::string name;  // the program's 8-bit text
  HotkeyCode hotkey = 0;
  std::vector<ListedWindow> windows;
};

struct DesktopListing {
  int current = 0;
  std::vector<ListedDesktop> desktops;
  std::vector<ListedWindow> pinned;
};

// The system's conversion of the program's 8-bit text (the desktop names) to UTF-8; the titles
// are printed as they are. Each text is converted whole, before any escaping: in a double-byte
// code page the second byte of a character may be a backslash.
using TextToUtf8 = std::function<std::string(const std::string&)>;

// {"version": 1, "current": 2, "desktops": [{"number": 1, "name": "...", "hotkey": "Alt+F1",
// "current": false, "windows": [{"handle": 1234, "title": "...", "process": "notepad.exe",
// "pid": 4321, "class": "Notepad"}, ...]}, ...], "pinned": [...]} and a line feed, in UTF-8
// without a byte-order mark. The version names this shape.
std::string FormatListJson(const DesktopListing& listing, const TextToUtf8& toUtf8);

// A JSON string of UTF-8 text: quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& utf8);

// The combination as the hot-key control spells it, without its spaces: "Ctrl+Shift+Alt+F1";
// empty for no hotkey.
std::string HotkeyName(HotkeyCode code);

// One line of /watch, UTF-8: {"event": "switch", "current": 2, "name": "VirtDesk2"} and a line
// feed; `more` (further members, each after ", ") goes before the closing brace.
std::string WatchLine(const char* event, int current, const std::string& nameUtf8,
                      const std::string& more = std::string());
// ", \"desktops\": [\"One\", ...]": every desktop's name, in number order.
std::string DesktopNamesMember(const std::vector<std::string>& namesUtf8);
