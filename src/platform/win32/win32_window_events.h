#pragma once

#include <windows.h>

#include "platform/win32/win32_window_host.h"
#include "rules/window_events.h"

// Window events of other programs, posted to the hidden window. The hooks are out of context:
// their callback runs on this thread, inside whichever of its loops is taking messages, so it
// only posts and the message waits its turn like any other.
class Win32WindowEvents : public WindowEvents {
 public:
  explicit Win32WindowEvents(Win32WindowHost& host) : host_(host) {}
  ~Win32WindowEvents() override;
  bool WatchCreation(bool on) override;
  void Follow(bool on) override;
  std::uint32_t Now() override { return GetTickCount(); }

 private:
  Win32WindowHost& host_;
  HWINEVENTHOOK creation_ = nullptr;
  HWINEVENTHOOK show_ = nullptr;
  HWINEVENTHOOK rename_ = nullptr;
};
