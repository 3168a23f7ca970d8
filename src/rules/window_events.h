#pragma once

#include <cstdint>

#include "core_types.h"

// How the program hears of other programs' top-level windows appearing. What it hears reaches
// the hidden window as msg::kWindowEvent (wParam a WindowEvent, lParam the window) and the
// follow timer's ticks as msg::kTimer with wParam kFollowTimerId, in the thread's own queue.
class WindowEvents {
 public:
  enum WindowEvent : std::uintptr_t { kCreated = 0, kChanged = 1 };
  static constexpr std::uintptr_t kFollowTimerId = 0x7623;
  static constexpr unsigned kFollowMilliseconds = 150;

  virtual ~WindowEvents() = default;
  // SetWinEventHook(EVENT_OBJECT_CREATE) out of context, skipping this process; off unhooks.
  // False when the hook could not be set.
  virtual bool WatchCreation(bool on) = 0;
  // While windows are followed: the hooks for EVENT_OBJECT_SHOW and EVENT_OBJECT_NAMECHANGE
  // (which only some systems deliver for other programs' windows) and a SetTimer on the hidden
  // window every kFollowMilliseconds; off removes them all.
  virtual void Follow(bool on) = 0;
  virtual std::uint32_t Now() = 0;  // GetTickCount: milliseconds, wrapping round
};
