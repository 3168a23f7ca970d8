#pragma once

// Key combinations such as "alt+right", pressed through the system's input path. Shared by the
// end-to-end helper and the benchmark's helper, which both play the user at the keyboard.
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

inline WORD KeyFromName(std::string name) {
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static const struct {
    const char* name;
    WORD vk;
  } kNamed[] = {{"alt", VK_MENU},   {"ctrl", VK_CONTROL}, {"shift", VK_SHIFT}, {"win", VK_LWIN},
                {"left", VK_LEFT},  {"right", VK_RIGHT},  {"up", VK_UP},       {"down", VK_DOWN},
                {"home", VK_HOME},  {"end", VK_END},      {"space", VK_SPACE}, {"enter", VK_RETURN},
                {"esc", VK_ESCAPE}, {"tab", VK_TAB}};
  for (const auto& k : kNamed) {
    if (name == k.name) return k.vk;
  }
  if (name.size() > 1 && name[0] == 'f') {
    const int n = std::atoi(name.c_str() + 1);
    if (n >= 1 && n <= 24) return static_cast<WORD>(VK_F1 + n - 1);
  }
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    return static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
  }
  return 0;
}

// "ctrl+alt+f11" as the virtual keys in the order written; empty when a name is unknown.
inline std::vector<WORD> ParseCombo(const std::string& combo) {
  std::vector<WORD> keys;
  size_t start = 0;
  for (;;) {
    const size_t plus = combo.find('+', start);
    const WORD vk = KeyFromName(combo.substr(start, plus - start));
    if (!vk) return {};
    keys.push_back(vk);
    if (plus == std::string::npos) return keys;
    start = plus + 1;
  }
}

// Arrows and the navigation block need the extended flag, or they arrive as the keypad's keys.
inline bool IsExtendedKey(WORD vk) {
  return (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE;
}

inline INPUT KeyEvent(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  return in;
}

// The keys go down in the order written and up in reverse, in one SendInput.
inline std::vector<INPUT> PressEvents(const std::vector<WORD>& keys) {
  std::vector<INPUT> events;
  for (WORD vk : keys) events.push_back(KeyEvent(vk, false));
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) events.push_back(KeyEvent(*it, true));
  return events;
}

inline bool SendEvents(std::vector<INPUT> events) {
  const UINT n = static_cast<UINT>(events.size());
  return n != 0 && SendInput(n, events.data(), sizeof(INPUT)) == n;
}
