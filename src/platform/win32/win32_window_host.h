#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/platform.h"

// The hidden window's class and the thread's message loop.
class Win32WindowHost : public WindowHost {
 public:
  static constexpr const char* kClassName = "veilswitcherApp";
  static constexpr const char* kWindowName = "veilswitcherAppWin";

  bool RegisterHiddenClass(WindowMessageHandler* handler) override;
  WindowId CreateHiddenWindow() override;
  bool NextMessage(std::uint32_t* message, std::uint32_t* lParam) override;
  void DispatchCurrent() override;
  void PostQuit() override;
  bool SendData(WindowId to, std::uintptr_t tag, const std::string& bytes) override;
  bool Notify(WindowId to, std::uintptr_t tag, const std::string& bytes) override;
  void ReleaseSender(std::intptr_t result) override;
  bool TakeQueuedHotkey(std::uint32_t* lParam) override;
  HWND HiddenWindow() const { return hidden_; }

 private:
  bool SendWithin(WindowId to, std::uintptr_t tag, const std::string& bytes, UINT milliseconds);
  static LRESULT CALLBACK HiddenWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT ForwardCopyData(HWND sender, const COPYDATASTRUCT* copy);

  // The window is created without creation data, so the procedure finds its handler here; the
  // program has one hidden window, and its first messages arrive inside CreateWindowExA.
  static WindowMessageHandler* handler_;
  MSG current_ = {};
  HWND hidden_ = nullptr;
};
