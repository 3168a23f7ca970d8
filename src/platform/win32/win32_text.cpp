#include "platform/win32/win32_text.h"

#include <windows.h>

namespace {

// A vector rather than std::wstring, whose instantiation alone would add some 35 KB to the file.
WideText ToWide(UINT codePage, const std::string& text) {
  if (text.empty()) return WideText();
  const int size = static_cast<int>(text.size());
  const int chars = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (chars <= 0) return WideText();
  WideText wide(static_cast<std::size_t>(chars), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), chars);
  return wide;
}

}  // namespace

std::string AnsiToUtf8(const std::string& text) {
  const WideText wide = ToWide(CP_ACP, text);
  return WideToUtf8(wide.data(), static_cast<int>(wide.size()));
}

std::string WideToUtf8(const wchar_t* text, int chars) {
  if (chars <= 0) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, chars, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, chars, &utf8[0], bytes, nullptr, nullptr);
  return utf8;
}

WideText Utf8ToWide(const std::string& text) {
  return ToWide(CP_UTF8, text);
}

// No best fit: a look-alike letter would make a pattern that no longer means the character.
std::string Utf8ToAnsi(const std::string& text) {
  const WideText wide = ToWide(CP_UTF8, text);
  const int chars = static_cast<int>(wide.size());
  if (chars == 0) return std::string();
  const DWORD flags = WC_NO_BEST_FIT_CHARS;
  const int bytes =
      WideCharToMultiByte(CP_ACP, flags, wide.data(), chars, nullptr, 0, "?", nullptr);
  if (bytes <= 0) return std::string();
  std::string ansi(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), chars, &ansi[0], bytes, "?", nullptr);
  return ansi;
}
