#include "settings/hotkey_text.h"

#include <cctype>
#include <cstdint>
#include <limits>

#include "shell/hotkey_code.h"

namespace {

// One "%d": white space skipped, an optional sign, at least one digit. A number outside the
// range of int is refused rather than left to the C library's undefined overflow.
bool ScanInt(const std::string& s, std::size_t* pos, long long* out) {
  std::size_t i = *pos;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::size_t digitsFrom = i;
  long long value = 0;
  for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
    value = value * 10 + (s[i] - '0');
    if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (i == digitsFrom) return false;
  value = negative ? -value : value;
  if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
    return false;
  *out = value;
  *pos = i;
  return true;
}

}  // namespace

std::string FormatHotkeyText(HotkeyCode code, bool withLineFeed) {
  // The text of "%d %d\n" without the C library's formatter, which would add some 27 KB to the
  // Windows program for two small numbers.
  std::string text = std::to_string(static_cast<int>(HotkeyModifiers(code))) + ' ' +
                     std::to_string(static_cast<int>(HotkeyKey(code)));
  if (withLineFeed) text += '\n';
  return text;
}

HotkeyCode ParseHotkeyText(const std::string& data) {
  // The stored text has no terminator of its own: it ends at the returned length, or at a zero
  // byte that the store may have appended.
  std::string text = data.substr(0, data.find('\0'));
  std::size_t pos = 0;
  long long modifiers = 0;
  long long key = 0;
  if (!ScanInt(text, &pos, &modifiers) || !ScanInt(text, &pos, &key)) return 0;
  return MakeHotkeyCode(static_cast<std::uint32_t>(modifiers), static_cast<std::uint32_t>(key));
}
