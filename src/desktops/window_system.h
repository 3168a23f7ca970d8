#pragma once

#include <cstdint>
#include <string>

#include "core_types.h"

// The window-system operations that capture and switching need. The Win32 side maps each one
// onto the USER32 function named beside it; results that the logic ignores are not returned.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual WindowId FirstWindow(WindowId from) = 0;  // GetWindow(from, GW_HWNDFIRST)
  virtual WindowId NextWindow(WindowId w) = 0;      // GetWindow(w, GW_HWNDNEXT); 0 ends a walk
  // GetWindowTextA(w, buffer, bufferChars): at most bufferChars - 1 characters.
  virtual std::string ReadTitle(WindowId w, int bufferChars) = 0;
  virtual int TitleLength(WindowId w) = 0;    // GetWindowTextLengthA
  virtual bool IsVisible(WindowId w) = 0;     // IsWindowVisible
  virtual bool Exists(WindowId w) = 0;        // IsWindow
  virtual void Show(WindowId w) = 0;          // ShowWindow(w, SW_SHOW)
  virtual void Hide(WindowId w) = 0;          // ShowWindow(w, SW_HIDE)
  virtual void Activate(WindowId w) = 0;      // SetActiveWindow
  virtual void BringToFront(WindowId w) = 0;  // SetForegroundWindow
  // ShowWindowAsync(w, SW_SHOW): returns at once even when the window's program has stopped
  // taking messages.
  virtual void ShowAsync(WindowId w) = 0;
  // What recognises a window again after this process has gone and its handle may name another.
  virtual std::uint32_t ProcessOf(WindowId w) = 0;  // GetWindowThreadProcessId; 0 when none
  virtual std::string ClassOf(WindowId w) = 0;      // GetClassNameA, up to 256 characters
};
