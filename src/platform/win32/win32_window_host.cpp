#include "platform/win32/win32_window_host.h"

#include "platform/win32/win32_same_user.h"
#include "platform/win32/win32_window_system.h"

namespace {
constexpr UINT kSendDataMilliseconds = 1000;
constexpr UINT kNotifyMilliseconds = 100;
}  // namespace

WindowMessageHandler* Win32WindowHost::handler_ = nullptr;

LRESULT CALLBACK Win32WindowHost::HiddenWndProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  if (message == WM_COPYDATA)
    return ForwardCopyData(reinterpret_cast<HWND>(wParam),
                           reinterpret_cast<COPYDATASTRUCT*>(lParam));
  std::intptr_t result = 0;
  if (handler_ != nullptr && handler_->OnWindowMessage(message, wParam, lParam, &result))
    return result;
  return DefWindowProcA(window, message, wParam, lParam);
}

// Data from another user's program is not even looked at.
LRESULT Win32WindowHost::ForwardCopyData(HWND sender, const COPYDATASTRUCT* copy) {
  if (handler_ == nullptr || copy == nullptr || !WindowOfOwnUser(sender)) return 0;
  CopyData data;
  data.tag = copy->dwData;
  data.data = static_cast<const std::uint8_t*>(copy->lpData);
  data.size = copy->lpData == nullptr ? 0 : copy->cbData;
  std::intptr_t result = 0;
  handler_->OnWindowMessage(WM_COPYDATA, reinterpret_cast<WPARAM>(sender),
                            reinterpret_cast<LPARAM>(&data), &result);
  return result;
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
  hidden_ = window;
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

// SMTO_BLOCK: no other request is taken in the middle of answering this one.
bool Win32WindowHost::SendWithin(WindowId to, std::uintptr_t tag, const std::string& bytes,
                                 UINT milliseconds) {
  COPYDATASTRUCT copy = {};
  copy.dwData = tag;
  copy.cbData = static_cast<DWORD>(bytes.size());
  copy.lpData = const_cast<char*>(bytes.data());
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(ToHwnd(to), WM_COPYDATA, reinterpret_cast<WPARAM>(hidden_),
                             reinterpret_cast<LPARAM>(&copy), SMTO_BLOCK | SMTO_ABORTIFHUNG,
                             milliseconds, &result) != 0 &&
         result != 0;
}

bool Win32WindowHost::SendData(WindowId to, std::uintptr_t tag, const std::string& bytes) {
  return SendWithin(to, tag, bytes, kSendDataMilliseconds);
}

bool Win32WindowHost::Notify(WindowId to, std::uintptr_t tag, const std::string& bytes) {
  return SendWithin(to, tag, bytes, kNotifyMilliseconds);
}

void Win32WindowHost::ReleaseSender(std::intptr_t result) {
  ReplyMessage(result);
}

bool Win32WindowHost::TakeQueuedHotkey(std::uint32_t* lParam) {
  MSG m = {};
  if (!PeekMessageA(&m, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) return false;
  *lParam = static_cast<std::uint32_t>(m.lParam);
  return true;
}
