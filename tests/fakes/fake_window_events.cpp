#include "fakes/fake_window_events.h"

FakeWindowEvents::FakeWindowEvents(FakeWindowSystem& ws, FakeWindowHost& host) : host_(host) {
  ws.Observe([this](WindowId w, bool created) {
    if (creation_ && (created || (changesToo_ && following_)))
      host_.DeliverToHidden(msg::kWindowEvent, created ? kCreated : kChanged, w);
  });
}

void FakeWindowEvents::Advance(unsigned ms) {
  for (; ms > 0; --ms, ++now_) {
    if (following_ && ++sinceTick_ >= kFollowMilliseconds) {
      sinceTick_ = 0;
      host_.DeliverToHidden(msg::kTimer, kFollowTimerId, 0);
    }
  }
}
