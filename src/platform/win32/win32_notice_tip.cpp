#include "platform/win32/win32_notice_tip.h"

#include <cstring>

#include "platform/win32/common_controls.h"

#ifndef _WIN64
static_assert(Win32NoticeTip::kToolRecordSize == 44, "the program hands over the 44-byte record");
#endif

static_assert(sizeof(TOOLINFOA) >= Win32NoticeTip::kToolRecordSize, "TOOLINFOA lost fields");

Win32NoticeTip::Win32NoticeTip() {
  std::memset(&record_, 0, sizeof(record_));
  record_.cbSize = kToolRecordSize;
  record_.uFlags = TTF_TRACK;
}

Win32NoticeTip::~Win32NoticeTip() {
  Close();
}

void Win32NoticeTip::Open(const char* text, int x, int y) {
  Close();
  LoadCommonControls();
  tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP | TTS_NOPREFIX,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                         nullptr, nullptr, nullptr);
  // The control copies the text when the tool is added, so the pointer need not outlive this.
  record_.lpszText = const_cast<char*>(text);
  LPARAM tool = reinterpret_cast<LPARAM>(&record_);
  SendMessageA(tip_, TTM_ADDTOOLA, 0, tool);
  SendMessageA(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(x, y));
  SendMessageA(tip_, TTM_TRACKACTIVATE, TRUE, tool);
}

void Win32NoticeTip::Close() {
  if (tip_ == nullptr) return;
  DestroyWindow(tip_);
  tip_ = nullptr;
}
