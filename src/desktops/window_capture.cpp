#include "desktops/window_capture.h"

#include <cstring>
#include <iterator>

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

void WalkTopLevelWindows(WindowSystem& ws, WindowId hiddenWindow, DesktopInfo& desk) {
  for (WindowId w = ws.FirstWindow(hiddenWindow); w != 0; w = ws.NextWindow(w)) {
    std::string filterTitle = ws.ReadTitle(w, kTitleFilterBuffer);
    if (w == hiddenWindow || !ws.IsVisible(w) || ws.IsCloaked(w) || !ws.Exists(w) ||
        !TitleQualifies(filterTitle))
      continue;
    int length = ws.TitleLength(w);
    desk.windows.push_back(WindowEntry{w, ws.ReadTitle(w, length + 1)});
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

void HideBottomUp(WindowSystem& ws, EntryIter first, EntryIter last) {
  ThreadProbe probe(ws);
  for (auto it = std::make_reverse_iterator(last); it != std::make_reverse_iterator(first); ++it) {
    if (probe.Answers(it->window)) {
      ws.Hide(it->window);
    } else {
      ws.HideAsync(it->window);
    }
  }
}

void ShowStacked(WindowSystem& ws, const std::list<WindowEntry>& bottomToTop) {
  if (bottomToTop.empty()) return;
  ThreadProbe probe(ws);
  const WindowId top = bottomToTop.back().window;
  const bool topAnswers = probe.Answers(top);
  // SW_SHOW of a hidden window shows, raises and activates it once its thread wakes.
  if (!topAnswers) ws.ShowAsync(top);
  WindowId above = 0;
  for (auto it = bottomToTop.rbegin(); it != bottomToTop.rend(); ++it) {
    // Placing a window below one that is gone would fail and leave it hidden.
    if (!ws.Exists(it->window)) continue;
    if (it->window != top || topAnswers) {
      ws.ShowBelow(it->window, above, !probe.Answers(it->window));
    }
    above = it->window;
  }
  if (topAnswers) {
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
