#include "desktops/window_capture.h"

#include <cstring>
#include <iterator>
#include <utility>

namespace {

constexpr char kProgramManager[] = "Program Manager";
constexpr std::size_t kProgramManagerChars = sizeof(kProgramManager) - 1;

// The shell's desktop window is titled "Program Manager"; hiding it would blank the screen.
// A shorter title is compared whole (its terminator differs), so a mere beginning of it passes.
bool IsProgramManager(const std::string& title) {
  return std::strncmp(title.c_str(), kProgramManager, kProgramManagerChars) == 0;
}

}  // namespace

bool TitleQualifies(const std::string& filterTitle) {
  return !IsProgramManager(filterTitle) && !filterTitle.empty();
}

// Every test is a plain read, so the cheap ones go first and a title is read only for a window
// that can qualify, and read again in full only when the filter's buffer cut it.
void WalkTopLevelWindows(WindowSystem& ws, WindowId hiddenWindow, DesktopInfo& desk) {
  for (WindowId w = ws.FirstWindow(hiddenWindow); w != 0; w = ws.NextWindow(w)) {
    if (w == hiddenWindow || !ws.IsVisible(w) || ws.IsCloaked(w) || !ws.Exists(w)) continue;
    std::string title = ws.ReadTitle(w, kTitleFilterBuffer);
    if (!TitleQualifies(title)) continue;
    if (title.size() + 1 >= static_cast<std::size_t>(kTitleFilterBuffer))
      title = ws.ReadTitle(w, ws.TitleLength(w) + 1);
    desk.windows.push_back(WindowEntry{w, std::move(title)});
  }
}

bool ThreadProbe::Answers(WindowId w) {
  const std::uint32_t thread = ws_.ThreadOf(w);
  auto known = answers_.find(thread);
  if (known != answers_.end()) return known->second;
  const bool answers = ws_.Answers(w);
  // A window that is gone has no thread (0) and says nothing about the windows that remain.
  if (thread != 0) answers_.emplace(thread, answers);
  return answers;
}

void ThreadProbe::Settle(WindowId w) {
  if (w != 0 && Answers(w) && !ws_.Settle(w)) answers_[ws_.ThreadOf(w)] = false;
}

namespace {

// Queues `queue(w)` for each window in order, one thread's run of windows after another, and
// waits once at the end of each run: the thread works through its calls back to back instead of
// answering each one, and the runs still take effect in order. The probe comes before a run's
// calls, so that a thread busy with them is not taken for a hung one.
template <typename It, typename Queue>
void QueueInRuns(WindowSystem& ws, ThreadProbe& probe, It first, It last, Queue queue) {
  std::uint32_t thread = 0;
  WindowId lastOfRun = 0;
  for (It it = first; it != last; ++it) {
    const std::uint32_t owner = ws.ThreadOf(it->window);
    if (owner == 0) continue;  // gone: every call on it would do nothing
    if (owner != thread) {
      probe.Settle(lastOfRun);
      probe.Answers(it->window);
      thread = owner;
    }
    queue(it->window);
    lastOfRun = it->window;
  }
  probe.Settle(lastOfRun);
}

}  // namespace

void HideBottomUp(WindowSystem& ws, EntryIter first, EntryIter last) {
  ThreadProbe probe(ws);
  const auto bottom = std::make_reverse_iterator(last), top = std::make_reverse_iterator(first);
  QueueInRuns(ws, probe, bottom, top, [&ws](WindowId w) { ws.HideAsync(w); });
  // Where a queued call can still be pending after its thread answered, it is made here.
  for (auto it = bottom; it != top; ++it) {
    if (ws.IsVisible(it->window) && probe.Answers(it->window)) ws.Hide(it->window);
  }
}

void ShowStacked(WindowSystem& ws, const std::list<WindowEntry>& bottomToTop) {
  if (bottomToTop.empty()) return;
  ThreadProbe probe(ws);
  const WindowId top = bottomToTop.back().window;
  WindowId above = 0;
  QueueInRuns(ws, probe, bottomToTop.rbegin(), bottomToTop.rend(), [&](WindowId w) {
    // SW_SHOW shows, raises and activates a hidden window once its thread wakes.
    if (w == top && !probe.Answers(top)) {
      ws.ShowAsync(top);
    } else {
      ws.ShowBelow(w, above, true);
    }
    above = w;
  });
  // Where a queued placement can still be pending after its thread answered, it is made here.
  above = 0;
  for (auto it = bottomToTop.rbegin(); it != bottomToTop.rend(); ++it) {
    if (!ws.IsVisible(it->window)) {
      if (ws.ThreadOf(it->window) == 0) continue;  // gone: nothing goes below it
      if (probe.Answers(it->window)) ws.ShowBelow(it->window, above, false);
    }
    above = it->window;
  }
  if (probe.Answers(top)) {
    ws.Activate(top);
    ws.BringToFront(top);
  }
}

void ShowWithoutWaiting(WindowSystem& ws, ThreadProbe& probe, WindowId w) {
  if (probe.Answers(w)) {
    ws.Show(w);
  } else {
    ws.ShowAsync(w);
  }
}

void BringForwardWithoutWaiting(WindowSystem& ws, WindowId w) {
  if (ThreadProbe(ws).Answers(w)) {
    ws.BringToFront(w);
  } else {
    ws.ShowBelow(w, 0, true);
  }
}

bool LocateWindowItem(DesktopTable& table, std::uint32_t k, WindowItemRef* found) {
  if (k == 0) return false;
  std::uint64_t before = 0;
  for (auto& [number, desk] : table) {
    std::uint64_t size = desk.windows.size();
    if (k <= before + size) {
      found->owner = number;
      found->entry = std::next(desk.windows.begin(), static_cast<long>(k - before - 1));
      return true;
    }
    before += size;
  }
  return false;
}
