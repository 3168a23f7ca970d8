#pragma once

#include <cstdint>
#include <list>

#include "desktops/desktop_table.h"
#include "desktops/window_system.h"

// The filter sees a title through a 275-character buffer, as the window system hands it out.
constexpr int kTitleFilterBuffer = 275;

// Whether a window whose title reads `filterTitle` may be captured (visibility is checked apart).
bool TitleQualifies(const std::string& filterTitle);

// Walks the top-level windows from the top of the z-order and appends every qualifying one to
// `desk`; with `hide` set each recorded window is hidden before the walk goes on.
void WalkTopLevelWindows(WindowSystem& ws, WindowId hiddenWindow, DesktopInfo& desk, bool hide);

// Window item k of the tray menu: the k-th entry (from 1) of all window lists laid end to end in
// desktop order. False when k is 0 or past the last entry.
struct WindowItemRef {
  DesktopNumber owner = 0;
  std::list<WindowEntry>::iterator entry;
};
bool LocateWindowItem(DesktopTable& table, std::uint32_t k, WindowItemRef* found);
