#pragma once

#include <string>

// The process's 8-bit text (CP_ACP) as UTF-8, and UTF-8 as UTF-16 for the console. Each text is
// converted whole, so that a double-byte character is never split.
std::string AnsiToUtf8(const std::string& text);
std::wstring Utf8ToWide(const std::string& text);
