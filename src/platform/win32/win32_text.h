#pragma once

#include <string>
#include <vector>

using WideText = std::vector<wchar_t>;

// The process's 8-bit text (CP_ACP) as UTF-8, and UTF-8 as UTF-16 for the console. Each text is
// converted whole, so that a double-byte character is never split.
std::string AnsiToUtf8(const std::string& text);
WideText Utf8ToWide(const std::string& text);
