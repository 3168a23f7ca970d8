#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "desktops/window_system.h"

// Window handles travel through the core as 32-bit ids; on the 32-bit target a handle fits.
inline HWND ToHwnd(WindowId w) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(w));
}
inline WindowId ToWindowId(HWND w) {
  return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(w));
}

class Win32WindowSystem : public WindowSystem {
 public:
  WindowId FirstWindow(WindowId from) override;
  WindowId NextWindow(WindowId w) override;
  std::string ReadTitle(WindowId w, int bufferChars) override;
  int TitleLength(WindowId w) override;
  bool IsVisible(WindowId w) override;
  bool Exists(WindowId w) override;
  void Show(WindowId w) override;
  void Hide(WindowId w) override;
  bool IsCloaked(WindowId w) override;
  void Activate(WindowId w) override;
  void BringToFront(WindowId w) override;
  std::uint32_t ThreadOf(WindowId w) override;
  bool Answers(WindowId w) override;
  bool Settle(WindowId w) override;
  void ShowAsync(WindowId w) override;
  void ShowNoActivate(WindowId w) override;
  void ShowNoActivateAsync(WindowId w) override;
  bool HideAsync(WindowId w) override;
  std::uint32_t ProcessOf(WindowId w) override;
  std::string ClassOf(WindowId w) override;
  std::string ProgramOf(WindowId w) override;
  WindowId Foreground() override;
  WindowId RootOwner(WindowId w) override;
};
