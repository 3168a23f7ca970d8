#include "desktops/window_capture.h"

#include <algorithm>
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

// Every byte but a continuation byte starts a character; a character of four bytes lies outside
// the basic plane and takes a surrogate pair.
std::size_t Utf16Units(const std::string& utf8) {
  std::size_t units = 0;
  for (char c : utf8) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u & 0xC0) != 0x80) units += u >= 0xF0 ? 2 : 1;
  }
  return units;
}

bool TitleQualifies(const std::string& filterTitle) {
  return !IsProgramManager(filterTitle) && !filterTitle.empty();
}

namespace {

// Whether the walk takes w as a window of the desktop it runs on.
bool OnThisDesktop(WindowSystem& ws, WindowId w, const PendingCalls& pending) {
  if (!pending.empty()) {
    auto it = pending.find(w);
    if (it != pending.end()) return it->second == kShowPending && !ws.IsCloaked(w);
  }
  return ws.IsVisible(w) && !ws.IsCloaked(w);
}

}  // namespace

namespace {

// A program that is still restacking its windows (shows it was sent before, carried out late)
// can move a window the walk has passed back ahead of it, and the walk meets it again: the later
// meeting is dropped, so that no window is listed twice.
void DropRepeats(std::list<WindowEntry>& windows, std::size_t walked) {
  if (walked < 2) return;
  auto first = std::prev(windows.end(), static_cast<long>(walked));
  std::vector<WindowId> ids;
  ids.reserve(walked);
  for (auto it = first; it != windows.end(); ++it) ids.push_back(it->window);
  std::sort(ids.begin(), ids.end());
  if (std::adjacent_find(ids.begin(), ids.end()) == ids.end()) return;
  ids.clear();
  for (auto it = first; it != windows.end();) {
    const bool seen = std::find(ids.begin(), ids.end(), it->window) != ids.end();
    ids.push_back(it->window);
    it = seen ? windows.erase(it) : std::next(it);
  }
}

}  // namespace

// Every test is a plain read, so the cheap ones go first and a title is read only for a window
// that can qualify, and read again in full only when the filter's buffer may have cut it.
bool TakeWindow(WindowSystem& ws, WindowId hiddenWindow, WindowId w, DesktopInfo& desk,
                const PendingCalls& pending) {
  if (w == hiddenWindow || !OnThisDesktop(ws, w, pending) || !ws.Exists(w)) return false;
  std::string title = ws.ReadTitle(w, kTitleFilterBuffer);
  if (!TitleQualifies(title)) return false;
  // A full buffer holds 274 units, or 273 when the cut fell inside a surrogate pair.
  if (Utf16Units(title) + 2 >= static_cast<std::size_t>(kTitleFilterBuffer))
    title = ws.ReadTitle(w, ws.TitleLength(w) + 1);
  desk.windows.push_back(WindowEntry{w, std::move(title), 0, std::string()});
  return true;
}

void WalkTopLevelWindows(WindowSystem& ws, WindowId hiddenWindow, DesktopInfo& desk,
                         const PendingCalls& pending) {
  const std::size_t before = desk.windows.size();
  for (WindowId w = ws.FirstWindow(hiddenWindow); w != 0; w = ws.NextWindow(w))
    TakeWindow(ws, hiddenWindow, w, desk, pending);
  DropRepeats(desk.windows, desk.windows.size() - before);
}

bool ThreadProbe::Answers(WindowId w) {
  const std::uint32_t thread = ws_.ThreadOf(w);
  auto known = answers_.find(thread);
  if (known != answers_.end()) return known->second;
  const bool answers = ws_.Answers(w);
  if (!answers) silent_ = true;
  // A window that is gone has no thread (0) and says nothing about the windows that remain.
  if (thread != 0) answers_.emplace(thread, answers);
  return answers;
}

void ThreadProbe::Settle(WindowId w) {
  if (w != 0 && Answers(w) && !ws_.Settle(w)) {
    answers_[ws_.ThreadOf(w)] = false;
    silent_ = true;
  }
}

namespace {

// Queues `queue(w)` for each window in order, one thread's run of windows after another, and
// waits once at the end of each run: the thread works through its calls back to back instead of
// answering each one, and the runs still take effect in order. The probe comes before a run's
// calls, so that a thread busy with them is not taken for a hung one. A call the system refuses
// (`queue` answers false) is not waited on.
template <typename It, typename Queue>
void QueueInRuns(WindowSystem& ws, ThreadProbe& probe, It first, It last, Queue queue) {
  std::uint32_t thread = 0;
  WindowId lastOfRun = 0;
  for (It it = first; it != last; ++it) {
    const std::uint32_t owner = ws.ThreadOf(*it);
    if (owner == 0) continue;  // gone: every call on it would do nothing
    if (owner != thread) {
      probe.Settle(lastOfRun);
      lastOfRun = 0;
      probe.Answers(*it);
      thread = owner;
    }
    if (queue(*it)) lastOfRun = *it;
  }
  probe.Settle(lastOfRun);
}

bool Contains(const WindowIds& ids, WindowId w) {
  return std::find(ids.begin(), ids.end(), w) != ids.end();
}

// The windows whose call is still queued: their thread has not answered since.
void NotePending(WindowSystem& ws, ThreadProbe& probe, const WindowIds& ids, bool call,
                 PassOutcome& out) {
  if (probe.AllAnswered()) return;
  for (WindowId w : ids) {
    if (ws.ThreadOf(w) != 0 && !probe.Answers(w) && !Contains(out.refused, w))
      out.pending.emplace(w, call);
  }
}

}  // namespace

PassOutcome HideBottomUp(WindowSystem& ws, const WindowIds& topDown) {
  ThreadProbe probe(ws);
  PassOutcome out;
  QueueInRuns(ws, probe, topDown.rbegin(), topDown.rend(), [&](WindowId w) {
    if (ws.HideAsync(w)) return true;
    out.refused.push_back(w);
    return false;
  });
  // Where a queued call can still be pending after its thread answered, it is made here.
  for (auto it = topDown.rbegin(); it != topDown.rend(); ++it) {
    if (ws.IsVisible(*it) && probe.Answers(*it) && !Contains(out.refused, *it)) ws.Hide(*it);
  }
  NotePending(ws, probe, topDown, kHidePending, out);
  return out;
}

namespace {

WindowId TopmostExisting(WindowSystem& ws, const WindowIds& bottomToTop) {
  for (auto it = bottomToTop.rbegin(); it != bottomToTop.rend(); ++it) {
    if (ws.Exists(*it)) return *it;
  }
  return 0;
}

}  // namespace

PassOutcome ShowStacked(WindowSystem& ws, const WindowIds& bottomToTop) {
  PassOutcome out;
  const WindowId top = TopmostExisting(ws, bottomToTop);
  if (top == 0) return out;
  ThreadProbe probe(ws);
  QueueInRuns(ws, probe, bottomToTop.begin(), bottomToTop.end(), [&](WindowId w) {
    // SW_SHOW shows, raises and activates a hidden window once its thread wakes.
    if (w == top && !probe.Answers(top)) {
      ws.ShowAsync(top);
    } else {
      ws.ShowNoActivateAsync(w);
    }
    return true;
  });
  // Where a queued show can still be pending after its thread answered, it is made here; each
  // still comes up on top of the ones below it.
  for (WindowId w : bottomToTop) {
    if (!ws.IsVisible(w) && ws.ThreadOf(w) != 0 && probe.Answers(w)) ws.ShowNoActivate(w);
  }
  if (probe.Answers(top)) {
    ws.Activate(top);
    ws.BringToFront(top);
  }
  NotePending(ws, probe, bottomToTop, kShowPending, out);
  return out;
}

WindowIds IdsOf(const std::list<WindowEntry>& list) {
  WindowIds ids;
  ids.reserve(list.size());
  for (const WindowEntry& entry : list) ids.push_back(entry.window);
  return ids;
}

void ShowWithoutWaiting(WindowSystem& ws, ThreadProbe& probe, WindowId w, PendingCalls* pending) {
  if (probe.Answers(w)) {
    ws.Show(w);
    if (pending) pending->erase(w);  // the probe let its thread work through what was queued
  } else {
    ws.ShowAsync(w);
    if (pending && ws.ThreadOf(w) != 0) (*pending)[w] = kShowPending;
  }
}

void BringForwardWithoutWaiting(WindowSystem& ws, WindowId w) {
  if (ThreadProbe(ws).Answers(w)) {
    ws.BringToFront(w);
  } else {
    ws.ShowAsync(w);
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
