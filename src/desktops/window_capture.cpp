#include "desktops/window_capture.h"

#include <cstring>

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

void WalkTopLevelWindows(WindowSystem& ws, WindowId hiddenWindow, DesktopInfo& desk, bool hide) {
  for (WindowId w = ws.FirstWindow(hiddenWindow); w != 0; w = ws.NextWindow(w)) {
    std::string filterTitle = ws.ReadTitle(w, kTitleFilterBuffer);
    if (w == hiddenWindow || !ws.IsVisible(w) || !ws.Exists(w) || !TitleQualifies(filterTitle))
      continue;
    int length = ws.TitleLength(w);
    desk.windows.push_back(WindowEntry{w, ws.ReadTitle(w, length + 1)});
    if (hide) ws.Hide(w);
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
