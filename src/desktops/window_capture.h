#pragma once

#include <cstdint>
#include <list>
#include <map>

#include "desktops/desktop_table.h"
#include "desktops/window_system.h"

// The filter sees a title through a 275-character buffer, as the window system hands it out.
constexpr int kTitleFilterBuffer = 275;

// Whether a window whose title reads `filterTitle` may be captured (visibility is checked apart).
bool TitleQualifies(const std::string& filterTitle);

// Walks the top-level windows from the top of the z-order and appends every qualifying one to
// `desk`. A cloaked window counts as invisible: the user cannot see it on any desktop.
void WalkTopLevelWindows(WindowSystem& ws, WindowId hiddenWindow, DesktopInfo& desk);

// Whether windows' threads take messages, asked once per thread for the length of one operation,
// so that a program that does not answer costs one short probe and never a wait.
class ThreadProbe {
 public:
  explicit ThreadProbe(WindowSystem& ws) : ws_(ws) {}
  bool Answers(WindowId w);
  // Waits, when it answers, until w's thread has taken the calls queued for it; one that stops
  // answering meanwhile counts as not answering from then on.
  void Settle(WindowId w);

 private:
  WindowSystem& ws_;
  std::map<std::uint32_t, bool> answers_;
};

using EntryIter = std::list<WindowEntry>::const_iterator;

// Hides the windows of [first, last), recorded top-down, from the bottom up: only the last
// hide, of the window on top, hands activation on. Every window is hidden when it returns,
// except those whose thread does not answer: they follow when it takes messages again.
void HideBottomUp(WindowSystem& ws, EntryIter first, EntryIter last);

// Shows a list kept bottom to top in one pass that restores its stacking, each window below
// the one above it and none activated on the way; then activates the topmost. A window that
// does not answer is shown without waiting; the topmost one then activates itself when its
// thread takes messages again.
void ShowStacked(WindowSystem& ws, const std::list<WindowEntry>& bottomToTop);

// ShowWindow(SW_SHOW), queued instead when the window's thread does not answer.
void ShowWithoutWaiting(WindowSystem& ws, ThreadProbe& probe, WindowId w);
// SetForegroundWindow; a window that does not answer is raised to the top without waiting.
void BringForwardWithoutWaiting(WindowSystem& ws, WindowId w);

// Window item k of the tray menu: the k-th entry (from 1) of all window lists laid end to end in
// desktop order. False when k is 0 or past the last entry.
struct WindowItemRef {
  DesktopNumber owner = 0;
  std::list<WindowEntry>::iterator entry;
};
bool LocateWindowItem(DesktopTable& table, std::uint32_t k, WindowItemRef* found);
