#include "fakes/fake_window_events.h"

FakeWindowEvents::FakeWindowEvents(FakeWindowSystem& ws, FakeWindowHost& host) : host_(host) {
  ws.Observe([this](WindowId w, bool created) { Tell(w, created); });
}

bool FakeWindowEvents::WatchCreation(bool on) {
  creation_ = on && !failHook_;
  return creation_ || !on;
}

void FakeWindowEvents::Tell(WindowId w, bool created) {
  if (!creation_ || (!created && !(changesToo_ && following_))) return;
  host_.DeliverToHidden(msg::kWindowEvent, created ? kCreated : kChanged,
                        static_cast<std::intptr_t>(w));
}

void FakeWindowEvents::Advance(unsigned ms) {
  for (; ms > 0; --ms) {
    ++now_;
    if (!following_ || ++sinceTick_ < kFollowMilliseconds) continue;
    sinceTick_ = 0;
    ++ticks_;
    host_.DeliverToHidden(msg::kTimer, kFollowTimerId, 0);
  }
}
