#include "platform/win32/win32_hotkey_registrar.h"

#include <windows.h>

bool Win32HotkeyRegistrar::Register(int id, std::uint32_t modifiers, std::uint32_t key) {
  return RegisterHotKey(nullptr, id, modifiers, key) != FALSE;
}

void Win32HotkeyRegistrar::Unregister(int id) {
  UnregisterHotKey(nullptr, id);
}
