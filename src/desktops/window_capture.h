#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "desktops/desktop_table.h"
#include "desktops/window_system.h"

// The filter sees a title through a 275-character buffer, as the window system hands it out.
constexpr int kTitleFilterBuffer = 275;

// How many UTF-16 units the window system counts in a UTF-8 title.
std::size_t Utf16Units(const std::string& utf8);

// Whether a window whose title reads `filterTitle` may be captured (visibility is checked apart).
bool TitleQualifies(const std::string& filterTitle);

// Walks the top-level windows from the top of the z-order and appends every qualifying one to
// `desk`. A cloaked window counts as invisible: the user cannot see it on any desktop. A window
// with a pending call counts as what that call makes it: a hide already sent it to another
// desktop, a show to this one.
void WalkTopLevelWindows(WindowSystem& ws, WindowId hiddenWindow, DesktopInfo& desk,
                         const PendingCalls& pending);
// The walk's test for one window: appends w to `desk` when the walk would take it.
bool TakeWindow(WindowSystem& ws, WindowId hiddenWindow, WindowId w, DesktopInfo& desk,
                const PendingCalls& pending);

// Whether windows' threads take messages, asked once per thread for the length of one operation,
// so that a program that does not answer costs one short probe and never a wait.
class ThreadProbe {
 public:
  explicit ThreadProbe(WindowSystem& ws) : ws_(ws) {}
  bool Answers(WindowId w);
  // Waits, when it answers, until w's thread has taken the calls queued for it; one that stops
  // answering meanwhile counts as not answering from then on.
  void Settle(WindowId w);
  bool AllAnswered() const { return !silent_; }

 private:
  WindowSystem& ws_;
  std::map<std::uint32_t, bool> answers_;
  bool silent_ = false;  // some thread did not answer
};

using WindowIds = std::vector<WindowId>;

// What became of the calls one pass made.
struct PassOutcome {
  WindowIds refused;  // the system would not let them be made: the window stays as it was
  PendingCalls pending;
};

// Hides `topDown` from the bottom up: only the last hide, of the window on top, hands activation
// on. Every window is hidden when it returns, except those whose thread does not answer (they
// follow when it takes messages again) and those the system refuses to hide.
PassOutcome HideBottomUp(WindowSystem& ws, const WindowIds& topDown);

// Shows `bottomToTop` from the bottom up without activating any, each coming up on top of the
// one before, so that the stacking comes back exactly; then activates the topmost that still
// exists. A window that does not answer is shown without waiting; when it is the topmost, it
// activates itself when its thread takes messages again.
PassOutcome ShowStacked(WindowSystem& ws, const WindowIds& bottomToTop);

// The windows of a list, in its order.
WindowIds IdsOf(const std::list<WindowEntry>& list);

// ShowWindow(SW_SHOW), queued instead when the window's thread does not answer; gives what is
// still pending.
void ShowWithoutWaiting(WindowSystem& ws, ThreadProbe& probe, WindowId w, PendingCalls* pending);
// SetForegroundWindow; a window that does not answer is raised to the top without waiting.
void BringForwardWithoutWaiting(WindowSystem& ws, WindowId w);

// Window item k of the tray menu: the k-th entry (from 1) of all window lists laid end to end in
// desktop order. False when k is 0 or past the last entry.
struct WindowItemRef {
  DesktopNumber owner = 0;
  std::list<WindowEntry>::iterator entry;
};
bool LocateWindowItem(DesktopTable& table, std::uint32_t k, WindowItemRef* found);
