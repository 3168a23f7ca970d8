#pragma once

#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <cstddef>

#include "shell/notice_tip.h"

// The notice as a tracking tooltip of the common controls. The tool record is prepared once and
// reused; only its text changes between notices.
class Win32NoticeTip : public NoticeTip {
 public:
  // The record's first (V2) layout: the size the tooltip control is handed, whatever the
  // headers' own structure has grown to.
  static constexpr UINT kToolRecordSize = offsetof(TTTOOLINFOA, lParam) + sizeof(LPARAM);

  Win32NoticeTip();
  ~Win32NoticeTip() override;
  Win32NoticeTip(const Win32NoticeTip&) = delete;
  Win32NoticeTip& operator=(const Win32NoticeTip&) = delete;

  void Open(const char* text, int x, int y) override;
  void Close() override;

  HWND Window() const { return tip_; }

 private:
  TOOLINFOA record_;
  HWND tip_ = nullptr;
};
