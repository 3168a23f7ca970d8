#include "platform/win32/win32_text.h"

#include <windows.h>

namespace {

std::wstring ToWide(UINT codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int chars = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (chars <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(chars), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], chars);
  return wide;
}

}  // namespace

std::string AnsiToUtf8(const std::string& text) {
  const std::wstring wide = ToWide(CP_ACP, text);
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &utf8[0], bytes, nullptr, nullptr);
  return utf8;
}

std::wstring Utf8ToWide(const std::string& text) {
  return ToWide(CP_UTF8, text);
}
