#include "desktops/pinned_windows.h"

#include <algorithm>

bool PinnedWindows::SameWindow(WindowSystem& ws, const Pin& pin) const {
  return ws.Exists(pin.window) && ws.ProcessOf(pin.window) == pin.process &&
         ws.ClassOf(pin.window) == pin.windowClass;
}

bool PinnedWindows::Toggle(WindowSystem& ws, WindowId w) {
  Prune(ws);
  auto found =
      std::find_if(pins_.begin(), pins_.end(), [w](const Pin& p) { return p.window == w; });
  if (found != pins_.end()) {
    pins_.erase(found);
    return false;
  }
  pins_.push_back(Pin{w, ws.ProcessOf(w), ws.ClassOf(w)});
  return true;
}

void PinnedWindows::Prune(WindowSystem& ws) {
  pins_.erase(
      std::remove_if(pins_.begin(), pins_.end(), [&](const Pin& p) { return !SameWindow(ws, p); }),
      pins_.end());
}

bool PinnedWindows::Holds(WindowId w) const {
  return std::any_of(pins_.begin(), pins_.end(), [w](const Pin& p) { return p.window == w; });
}

void PinnedWindows::DropFrom(WindowSystem& ws, std::list<WindowEntry>& list,
                             std::list<WindowEntry>::iterator first) const {
  if (pins_.empty()) return;
  while (first != list.end()) {
    const WindowId w = first->window;
    first = Holds(w) || Holds(ws.RootOwner(w)) ? list.erase(first) : std::next(first);
  }
}
