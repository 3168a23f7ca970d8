#pragma once

#include <cstdint>

// The small vocabulary the desktop logic speaks instead of the window system's own types,
// so that it builds and runs off Windows.
using DesktopNumber = std::int16_t;  // desktops are numbered 1..N without gaps
using HotkeyCode =
    std::uint32_t;               // modifiers (MOD_*) in the high word, virtual key in the low word
using WindowId = std::uint32_t;  // a top-level window handle; 32 bits on the target
