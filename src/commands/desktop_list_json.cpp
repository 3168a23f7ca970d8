#include "commands/desktop_list_json.h"

#include <cstdint>

#include "shell/hotkey_code.h"

namespace {

constexpr std::uint32_t kModWin = 8;

struct KeyName {
  std::uint32_t key;
  const char* name;
};
// Keys whose names are not their own character; the punctuation keys as on a US layout.
constexpr KeyName kKeyNames[] = {
    {0x08, "Backspace"}, {0x09, "Tab"},       {0x0D, "Enter"},
    {0x13, "Pause"},     {0x1B, "Esc"},       {0x20, "Space"},
    {0x21, "Page Up"},   {0x22, "Page Down"}, {0x23, "End"},
    {0x24, "Home"},      {0x25, "Left"},      {0x26, "Up"},
    {0x27, "Right"},     {0x28, "Down"},      {0x2C, "Print Screen"},
    {0x2D, "Insert"},    {0x2E, "Delete"},    {0x6A, "Num *"},
    {0x6B, "Num +"},     {0x6D, "Num -"},     {0x6E, "Num ."},
    {0x6F, "Num /"},     {0x90, "Num Lock"},  {0x91, "Scroll Lock"},
    {0xBA, ";"},         {0xBB, "="},         {0xBC, ","},
    {0xBD, "-"},         {0xBE, "."},         {0xBF, "/"},
    {0xC0, "`"},         {0xDB, "["},         {0xDC, "\\"},
    {0xDD, "]"},         {0xDE, "'"},
};

// At least `digits` hex digits; the C library's formatting would double the program's size.
std::string Hex(std::uint32_t value, int digits, const char* alphabet) {
  std::string out;
  while (value != 0 || static_cast<int>(out.size()) < digits) {
    out.insert(out.begin(), alphabet[value & 0xF]);
    value >>= 4;
  }
  return out;
}

std::string KeyText(std::uint32_t key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
    return std::string(1, static_cast<char>(key));
  if (key >= 0x60 && key <= 0x69) return "Num " + std::to_string(key - 0x60);
  if (key >= 0x70 && key <= 0x87) return "F" + std::to_string(key - 0x70 + 1);
  for (const KeyName& k : kKeyNames) {
    if (k.key == key) return k.name;
  }
  return "0x" + Hex(key, 2, "0123456789ABCDEF");
}

std::string WindowList(const std::vector<ListedWindow>& windows) {
  std::string out = "[";
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const ListedWindow& w = windows[i];
    if (i > 0) out += ", ";
    out += "{\"handle\": " + std::to_string(w.handle) + ", \"title\": " + JsonString(w.title) +
           ", \"process\": " + JsonString(w.program) + ", \"pid\": " + std::to_string(w.pid) +
           ", \"class\": " + JsonString(w.windowClass) + "}";
  }
  return out + "]";
}

}  // namespace

std::string HotkeyName(HotkeyCode code) {
  if (code == 0) return "";
  const std::uint32_t mods = HotkeyModifiers(code);
  std::string text;
  if (mods & kModWin) text += "Win+";
  if (mods & kModControl) text += "Ctrl+";
  if (mods & kModShift) text += "Shift+";
  if (mods & kModAlt) text += "Alt+";
  return text + KeyText(HotkeyKey(code));
}

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      out += "\\u" + Hex(u, 4, "0123456789abcdef");
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string FormatListJson(const DesktopListing& listing, const TextToUtf8& toUtf8) {
  std::string out =
      "{\"version\": 1, \"current\": " + std::to_string(listing.current) + ", \"desktops\": [";
  for (std::size_t i = 0; i < listing.desktops.size(); ++i) {
    const ListedDesktop& d = listing.desktops[i];
    if (i > 0) out += ", ";
    out += "{\"number\": " + std::to_string(d.number) +
           ", \"name\": " + JsonString(toUtf8(d.name)) +
           ", \"hotkey\": " + JsonString(HotkeyName(d.hotkey)) +
           ", \"current\": " + (d.number == listing.current ? "true" : "false") +
           ", \"windows\": " + WindowList(d.windows) + "}";
  }
  return out + "], \"pinned\": " + WindowList(listing.pinned) + "}\n";
}

std::string WatchLine(const char* event, int current, const std::string& nameUtf8,
                      const std::string& more) {
  return "{\"event\": " + JsonString(event) + ", \"current\": " + std::to_string(current) +
         ", \"name\": " + JsonString(nameUtf8) + more + "}\n";
}

std::string DesktopNamesMember(const std::vector<std::string>& namesUtf8) {
  std::string out = ", \"desktops\": [";
  for (std::size_t i = 0; i < namesUtf8.size(); ++i)
    out += (i > 0 ? ", " : "") + JsonString(namesUtf8[i]);
  return out + "]";
}
