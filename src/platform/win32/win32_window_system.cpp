#include "platform/win32/win32_window_system.h"

#include <vector>

WindowId Win32WindowSystem::FirstWindow(WindowId from) {
  return ToWindowId(GetWindow(ToHwnd(from), GW_HWNDFIRST));
}

WindowId Win32WindowSystem::NextWindow(WindowId w) {
  return ToWindowId(GetWindow(ToHwnd(w), GW_HWNDNEXT));
}

std::string Win32WindowSystem::ReadTitle(WindowId w, int bufferChars) {
  if (bufferChars <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(bufferChars), '\0');
  int copied = GetWindowTextA(ToHwnd(w), buffer.data(), bufferChars);
  if (copied <= 0) return std::string();
  if (copied >= bufferChars) copied = bufferChars - 1;
  return std::string(buffer.data(), static_cast<size_t>(copied));
}

int Win32WindowSystem::TitleLength(WindowId w) {
  return GetWindowTextLengthA(ToHwnd(w));
}

bool Win32WindowSystem::IsVisible(WindowId w) {
  return IsWindowVisible(ToHwnd(w)) != FALSE;
}

bool Win32WindowSystem::Exists(WindowId w) {
  return IsWindow(ToHwnd(w)) != FALSE;
}

void Win32WindowSystem::Show(WindowId w) {
  ShowWindow(ToHwnd(w), SW_SHOW);
}

void Win32WindowSystem::Hide(WindowId w) {
  ShowWindow(ToHwnd(w), SW_HIDE);
}

void Win32WindowSystem::Activate(WindowId w) {
  SetActiveWindow(ToHwnd(w));
}

void Win32WindowSystem::ShowAsync(WindowId w) {
  ShowWindowAsync(ToHwnd(w), SW_SHOW);
}

std::uint32_t Win32WindowSystem::ProcessOf(WindowId w) {
  DWORD process = 0;
  GetWindowThreadProcessId(ToHwnd(w), &process);
  return process;
}

std::string Win32WindowSystem::ClassOf(WindowId w) {
  char name[257] = {};  // a class name has at most 256 characters
  int copied = GetClassNameA(ToHwnd(w), name, sizeof(name));
  return copied > 0 ? std::string(name, static_cast<size_t>(copied)) : std::string();
}

void Win32WindowSystem::BringToFront(WindowId w) {
  SetForegroundWindow(ToHwnd(w));
}
