#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <string>

#include "core_types.h"

// One remembered top-level window; the entry owns its copy of the title, in UTF-8. A hidden
// window's process and class, read when it was captured, tell whether its handle still names it:
// the system hands a closed window's handle to the next new window, of any program.
struct WindowEntry {
  WindowId window = 0;
  std::string title;
  std::uint32_t process = 0;  // 0: not identified (a window the user can see)
  std::string windowClass;
};

// A window whose last show or hide is still queued for a thread that has not answered since:
// it belongs to the desktop that call sent it to, whatever it looks like now. The map holds
// which call it was (the same map type as a thread's answers, so the program carries one).
using PendingCalls = std::map<WindowId, bool>;
constexpr bool kShowPending = true;
constexpr bool kHidePending = false;

struct DesktopInfo {
  static constexpr std::size_t kMaxNameChars = 14;  // the stored name field holds 15 bytes
  std::string name;
  HotkeyCode hotkey = 0;
  std::list<WindowEntry> windows;
};

// The desktops keyed by number. Every walk goes in ascending number order: hotkey ids, menu item
// numbers and the order values are written to the store all depend on it.
class DesktopTable {
 public:
  using Map = std::map<DesktopNumber, DesktopInfo>;

  // Look-up-or-create; callers pass 1..N, or N+1 to append a desktop.
  DesktopInfo& GetDesktop(DesktopNumber n) { return desks_[n]; }
  const DesktopInfo* Find(DesktopNumber n) const;
  bool Contains(DesktopNumber n) const { return Find(n) != nullptr; }
  std::size_t Count() const { return desks_.size(); }
  bool Empty() const { return desks_.empty(); }

  // Null outside 1..N; otherwise the stored name, valid until that desktop changes.
  const char* GetDesktopName(DesktopNumber n) const;
  HotkeyCode GetDesktopHotkey(DesktopNumber n) const;  // 0 outside 1..N

  // True when a desktop other than `n` holds a name that `same` takes for `name`: the registry
  // keeps one value per name whatever its case, so the caller passes the registry's rule.
  using SameName = std::function<bool(const std::string&, const std::string&)>;
  bool NameTakenByOther(DesktopNumber n, const std::string& name, const SameName& same) const;
  bool HotkeyTaken(HotkeyCode code) const;  // by any desktop, all 32 bits compared

  void ClearWindowList(DesktopNumber n);
  // Moves every desktop behind `n` one number down (lists and titles move, nothing is copied)
  // and drops the last record. The caller has already emptied `n`'s list.
  void RemoveAndRenumber(DesktopNumber n);

  Map::iterator begin() { return desks_.begin(); }
  Map::iterator end() { return desks_.end(); }
  Map::const_iterator begin() const { return desks_.begin(); }
  Map::const_iterator end() const { return desks_.end(); }

 private:
  Map desks_;
};
