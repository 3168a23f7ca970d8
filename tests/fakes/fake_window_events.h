#pragma once

#include "fakes/fake_process.h"
#include "fakes/fake_window_system.h"
#include "rules/window_events.h"

// Events reach the hidden window the moment a window is created, shown or retitled, also in the
// middle of one of the program's waits; as under Wine only creations are told unless
// TellChangesToo. Time passes through Advance alone, and the follow timer ticks then.
class FakeWindowEvents : public WindowEvents {
 public:
  FakeWindowEvents(FakeWindowSystem& ws, FakeWindowHost& host);
  void TellChangesToo(bool on) { changesToo_ = on; }
  void Advance(unsigned ms);
  bool CreationHooked() const { return creation_; }
  bool TimerRunning() const { return following_; }

  bool WatchCreation(bool on) override { return creation_ = on; }
  void Follow(bool on) override { following_ = on; }
  std::uint32_t Now() override { return now_; }

 private:
  FakeWindowHost& host_;
  bool changesToo_ = false, creation_ = false, following_ = false;
  std::uint32_t now_ = 0xFFFFF000;  // near the wrap of GetTickCount
  unsigned sinceTick_ = 0;
};
