#pragma once

#include <cstdint>

#include "shell/hotkey_registrar.h"

// Hotkeys of the calling thread: presses arrive as WM_HOTKEY with no window.
class Win32HotkeyRegistrar : public HotkeyRegistrar {
 public:
  bool Register(int id, std::uint32_t modifiers, std::uint32_t key) override;
  void Unregister(int id) override;
};
