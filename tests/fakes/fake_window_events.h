#pragma once

#include "fakes/fake_process.h"
#include "fakes/fake_window_system.h"
#include "rules/window_events.h"

// Window events as a system delivers them to the hidden window, the moment a window is created,
// shown or retitled by its program: also in the middle of one of the program's waits. As under
// Wine, only creations are told unless TellChangesToo; only while the creation hook is set, and
// changes only while windows are followed. Time passes only through Advance, and the follow
// timer ticks then.
class FakeWindowEvents : public WindowEvents {
 public:
  FakeWindowEvents(FakeWindowSystem& ws, FakeWindowHost& host);
  void TellChangesToo(bool on) { changesToo_ = on; }
  void FailHook() { failHook_ = true; }
  void Advance(unsigned ms);
  bool CreationHooked() const { return creation_; }
  bool TimerRunning() const { return following_; }
  int Ticks() const { return ticks_; }

  bool WatchCreation(bool on) override;
  void Follow(bool on) override { following_ = on; }
  std::uint32_t Now() override { return now_; }

 private:
  void Tell(WindowId w, bool created);

  FakeWindowHost& host_;
  bool changesToo_ = false;
  bool failHook_ = false;
  bool creation_ = false;
  bool following_ = false;
  std::uint32_t now_ = 0xFFFFF000;  // near the wrap of GetTickCount
  unsigned sinceTick_ = 0;
  int ticks_ = 0;
};
