#include "desktops/pinned_windows.h"

bool PinnedWindows::Toggle(WindowSystem& ws, WindowId w) {
  Prune(ws);
  if (pins_.erase(w) != 0) return false;
  pins_.emplace(w, Identity{ws.ProcessOf(w), ws.ClassOf(w)});
  return true;
}

void PinnedWindows::Prune(WindowSystem& ws) {
  for (auto it = pins_.begin(); it != pins_.end();) {
    const WindowId w = it->first;
    const bool same = ws.Exists(w) && ws.ProcessOf(w) == it->second.process &&
                      ws.ClassOf(w) == it->second.windowClass;
    it = same ? std::next(it) : pins_.erase(it);
  }
}

void PinnedWindows::DropFrom(WindowSystem& ws, std::list<WindowEntry>& list,
                             std::list<WindowEntry>::iterator first) const {
  if (pins_.empty()) return;
  while (first != list.end()) {
    const WindowId w = first->window;
    first = Holds(w) || Holds(ws.RootOwner(w)) ? list.erase(first) : std::next(first);
  }
}

std::vector<WindowId> PinnedWindows::Windows() const {
  std::vector<WindowId> windows;
  for (const auto& pin : pins_) windows.push_back(pin.first);
  return windows;
}
