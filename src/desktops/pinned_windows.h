#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "desktops/desktop_table.h"
#include "desktops/window_system.h"

// Windows that stay on every desktop. A handle alone does not name a window for long: once the
// window is closed the system may hand the same number to another one, so a pin also remembers
// the window's process and class and ends as soon as they no longer answer to it.
class PinnedWindows {
 public:
  // Pins w, or unpins it when it is pinned already; true when w is pinned afterwards.
  bool Toggle(WindowSystem& ws, WindowId w);
  // Drops every pin whose window is gone or whose handle now names another window.
  void Prune(WindowSystem& ws);
  bool Holds(WindowId w) const { return pins_.count(w) != 0; }
  std::size_t Count() const { return pins_.size(); }
  std::vector<WindowId> Windows() const;  // in handle order
  // Removes from a walk's entries [first, end of the list) the pinned windows and the windows
  // they own.
  void DropFrom(WindowSystem& ws, std::list<WindowEntry>& list,
                std::list<WindowEntry>::iterator first) const;

 private:
  struct Identity {
    std::uint32_t process = 0;
    std::string windowClass;
  };
  std::map<WindowId, Identity> pins_;
};
