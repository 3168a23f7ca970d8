#include "platform/win32/win32_window_host.h"

#include "platform/win32/win32_window_system.h"

WindowMessageHandler* Win32WindowHost::handler_ = nullptr;

LRESULT CALLBACK Win32WindowHost::HiddenWndProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  std::intptr_t result = 0;
  if (handler_ != nullptr && handler_->OnWindowMessage(message, wParam, lParam, &result))
    return result;
  return DefWindowProcA(window, message, wParam, lParam);
}

bool Win32WindowHost::RegisterHiddenClass(WindowMessageHandler* handler) {
  handler_ = handler;
  WNDCLASSA wc = {};
  wc.style = 0;
  wc.lpfnWndProc = HiddenWndProc;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kClassName;
  return RegisterClassA(&wc) != 0;
}

WindowId Win32WindowHost::CreateHiddenWindow() {
  HWND window = CreateWindowExA(0, kClassName, kWindowName, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  return ToWindowId(window);
}

bool Win32WindowHost::NextMessage(std::uint32_t* message, std::uint32_t* lParam) {
  // -1 (an error) is no WM_QUIT, so it counts as a message like any other non-zero result.
  if (GetMessageA(&current_, nullptr, 0, 0) == 0) return false;
  *message = current_.message;
  *lParam = static_cast<std::uint32_t>(current_.lParam);
  return true;
}

void Win32WindowHost::DispatchCurrent() {
  TranslateMessage(&current_);
  DispatchMessageA(&current_);
}

void Win32WindowHost::PostQuit() {
  PostQuitMessage(0);
}
