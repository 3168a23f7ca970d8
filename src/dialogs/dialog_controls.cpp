#include "dialogs/dialog_controls.h"

#include <algorithm>
#include <cstring>

LRESULT DialogControl::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  if (window_ == nullptr) return 0;
  return SendMessageA(window_, message, wParam, lParam);
}

int ScreenPixels(int at96) {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return MulDiv(at96, dpi, 96);
}

void DialogControl::Attach(HWND window) {
  window_ = window;
  OnAttach();
}

// The length asked for is capped before it becomes the buffer's capacity: text set from outside
// ignores the control's limit, and a longer line would overrun the buffer.
std::string ReadShortLine(HWND edit, int maxChars) {
  char buffer[16] = {};
  maxChars = std::min<int>(maxChars, sizeof(buffer) - 1);
  if (edit == nullptr) return std::string();
  LRESULT length = SendMessageA(edit, EM_LINELENGTH, static_cast<WPARAM>(-1), 0);
  WORD capacity = static_cast<WORD>(std::clamp<LRESULT>(length, 0, maxChars));
  std::memcpy(buffer, &capacity, sizeof(capacity));
  LRESULT copied =
      capacity == 0 ? 0 : SendMessageA(edit, EM_GETLINE, 0, reinterpret_cast<LPARAM>(buffer));
  buffer[std::clamp<LRESULT>(copied, 0, capacity)] = '\0';
  return std::string(buffer);
}
