#include "platform/win32/win32_message_boxes.h"

#include <windows.h>

int Win32MessageBoxes::ShowBox(const char* text, const char* caption, unsigned style) {
  return MessageBoxA(nullptr, text, caption, style);
}
