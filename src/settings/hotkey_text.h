#pragma once

#include <string>

#include "core_types.h"

// "%d %d\n" of the two halves: modifiers first, then the key.
std::string FormatHotkeyText(HotkeyCode code, bool withLineFeed = true);

// Reads the two leading integers of `data` the way "%d %d\n" scans them, looking at no byte past
// data.size(). Data that does not start with two integers in int range gives 0 (no hotkey).
HotkeyCode ParseHotkeyText(const std::string& data);
