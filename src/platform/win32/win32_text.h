#pragma once

#include <string>
#include <vector>

using WideText = std::vector<wchar_t>;

// The process's 8-bit text (CP_ACP) as UTF-8, UTF-16 (window titles) as UTF-8, and UTF-8 as
// UTF-16 for the console and the menu. Each text is converted whole, so that a double-byte
// character is never split. Utf8ToWide adds no terminating zero.
std::string AnsiToUtf8(const std::string& text);
std::string WideToUtf8(const wchar_t* text, int chars);
WideText Utf8ToWide(const std::string& text);
// UTF-8 as the process's 8-bit text, a character the code page lacks as '?'.
std::string Utf8ToAnsi(const std::string& text);
