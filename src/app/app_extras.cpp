// Beyond switching: the foreground window sent to another desktop or pinned to all of them, the
// way back to the last desktop, and the extras' own hotkeys.
#include <algorithm>
#include <iterator>

#include "app/dialog_runner.h"
#include "app/virtual_desk_app.h"
#include "desktops/window_capture.h"
#include "desktops/window_system.h"
#include "shell/hotkey_code.h"
#include "shell/hotkey_registrar.h"
#include "shell/tray_number.h"

namespace {

enum ExtraAction { kSendNext, kSendPrev, kPin, kLast, kSendTo };

constexpr int kMaxTrayNumber = 99;

}  // namespace

DesktopNumber CVirtualDeskApp::NeighbourDesktop(int step) const {
  const int count = static_cast<int>(table_.Count());
  if (!table_.Contains(current_)) return 0;
  int n = current_ + step;
  if (n < 1 || n > count) {
    if (!more_.wrapAround) return 0;
    n = ((n - 1) % count + count) % count + 1;
  }
  return n == current_ ? 0 : static_cast<DesktopNumber>(n);
}

DesktopNumber CVirtualDeskApp::LastDesktop() const {
  return last_ != current_ && table_.Contains(last_) ? last_ : 0;
}

bool CVirtualDeskApp::SwitchToLastDesktop() {
  const DesktopNumber last = LastDesktop();
  if (last == 0) return false;
  SwitchToDesktop(last);
  return true;
}

void CVirtualDeskApp::NoteSwitch(DesktopNumber from, DesktopNumber to) {
  if (from != to) last_ = from;
}

// The remembered desktop keeps its windows' desktop through the renumbering, or is forgotten.
void CVirtualDeskApp::NoteDelete(DesktopNumber deleted) {
  if (last_ == deleted) {
    last_ = 0;
  } else if (last_ > deleted) {
    --last_;
  }
}

// What a switch leaves where it is: the pinned windows.
void CVirtualDeskApp::SkipHeldWindows(DesktopInfo& desk, std::size_t before) {
  pins_.Prune(p_.windows);
  pins_.DropFrom(p_.windows, desk.windows,
                 std::next(desk.windows.begin(), static_cast<long>(before)));
}

// The visible windows a switch would capture whose root owner is `root`, top-down.
std::list<WindowEntry> CVirtualDeskApp::GroupOf(WindowId root) {
  DesktopInfo visible;
  CollectWindows(visible);
  std::list<WindowEntry> group;
  for (auto it = visible.windows.begin(); it != visible.windows.end();) {
    auto next = std::next(it);
    if (p_.windows.RootOwner(it->window) == root) group.splice(group.end(), visible.windows, it);
    it = next;
  }
  return group;
}

// The group of window `fg` (the foreground window, or one a script names), top-down; empty when
// the window itself is not one a switch would capture. That is asked of the window itself: a
// program still restacking its windows can move one past the walk, and the window so missed goes
// on top.
std::list<WindowEntry> CVirtualDeskApp::GroupAround(WindowId fg, WindowId* root) {
  DesktopInfo alone;
  if (!TakeAlone(fg, &alone)) return {};
  *root = p_.windows.RootOwner(fg);
  std::list<WindowEntry> group = GroupOf(*root);
  if (std::none_of(group.begin(), group.end(),
                   [fg](const WindowEntry& e) { return e.window == fg; }))
    group.splice(group.begin(), alone.windows);
  return group;
}

// Whether a switch would capture w, asked of w alone (the program's own windows, pinned ones and
// no window at all are not); `alone` then holds its entry.
bool CVirtualDeskApp::TakeAlone(WindowId w, DesktopInfo* alone) {
  if (w == 0 || p_.windows.ProcessOf(w) == p_.windows.ProcessOf(hiddenWindow_)) return false;
  if (TakeWindow(p_.windows, hiddenWindow_, w, *alone, pending_)) SkipHeldWindows(*alone, 0);
  return !alone->windows.empty();
}

void CVirtualDeskApp::DropFromLists(const std::set<WindowId>& windows) {
  for (auto& entry : table_)
    entry.second.windows.remove_if([&](const WindowEntry& e) { return windows.count(e.window); });
}

// Like a switch: the journal holds the windows before the first is hidden, and each pass works
// on a copy of the ids, since its waits let messages in.
void CVirtualDeskApp::HideOnto(std::list<WindowEntry> group, DesktopNumber target) {
  std::set<WindowId> moving;
  for (const WindowEntry& e : group) moving.insert(e.window);
  DropFromLists(moving);
  Identify(group);
  const WindowIds hiding = IdsOf(group);
  group.reverse();  // the lists run bottom to top: the group goes on top of the target's
  std::list<WindowEntry>& list = GetDesktop(target).windows;
  list.splice(list.end(), group);
  RecordHiddenWindows(kEveryList);
  NoteOutcome(HideBottomUp(p_.windows, hiding), hiding, target);
}

bool CVirtualDeskApp::CanSendTo(DesktopNumber target) const {
  return target != current_ && table_.Contains(target) && table_.Contains(current_);
}

bool CVirtualDeskApp::SendForegroundWindow(DesktopNumber target, bool follow) {
  return SendWindowAround(p_.windows.Foreground(), target, follow);
}

bool CVirtualDeskApp::SendWindowAround(WindowId w, DesktopNumber target, bool follow) {
  if (!CanSendTo(target)) return false;
  bool sent = false;
  RunOperation([&] {
    WindowId root = 0;
    std::list<WindowEntry> group = GroupAround(w, &root);
    if (!group.empty()) sent = SendGroup(root, std::move(group), target, follow);
  });
  return sent;
}

bool CVirtualDeskApp::SendWindow(WindowId root, DesktopNumber target, bool follow) {
  if (!CanSendTo(target)) return false;
  bool sent = false;
  RunOperation([&] {
    std::list<WindowEntry> group = GroupOf(root);
    if (!group.empty()) sent = SendGroup(root, std::move(group), target, follow);
  });
  return sent;
}

// A program still restacking its windows can move one past a walk, so a second walk takes what
// of the group is still visible after the hides. With `follow` the switch that follows shows
// them again on top of the target's windows. A send the system refused (an elevated window) moved
// nothing: it is no send, and the view stays.
bool CVirtualDeskApp::SendGroup(WindowId root, std::list<WindowEntry> group, DesktopNumber target,
                                bool follow) {
  std::set<WindowId> moving;
  for (const WindowEntry& e : group) moving.insert(e.window);
  HideOnto(std::move(group), target);
  group = GroupOf(root);
  if (!group.empty()) HideOnto(std::move(group), target);
  const std::list<WindowEntry>& list = GetDesktop(target).windows;
  const bool sent = std::any_of(list.begin(), list.end(),
                                [&](const WindowEntry& e) { return moving.count(e.window) != 0; });
  if (sent) Tell("send", ", \"desktop\": " + std::to_string(target));
  if (sent && follow) {
    SwitchToDesktop(target);
  } else {
    RecordHiddenWindows();
  }
  return sent;
}

// A pinned window belongs to no desktop; once unpinned it belongs to the current one, where it
// is visible.
bool CVirtualDeskApp::TogglePinForeground() {
  return TogglePinOf(p_.windows.Foreground());
}

bool CVirtualDeskApp::TogglePinOf(WindowId fg) {
  if (fg == 0 || !p_.windows.Exists(fg)) return false;
  const WindowId root = p_.windows.RootOwner(fg);
  if (root == 0 || p_.windows.ProcessOf(root) == p_.windows.ProcessOf(hiddenWindow_)) return false;
  if (!pins_.Holds(root)) {
    DesktopInfo visible;
    CollectWindows(visible);
    if (std::none_of(visible.windows.begin(), visible.windows.end(),
                     [root](const WindowEntry& e) { return e.window == root; }))
      return false;
  }
  RunOperation([&] {
    const bool pinned = pins_.Toggle(p_.windows, root);
    if (pinned) DropFromLists({root});
    RecordHiddenWindows();
    TellPin(root, pinned);
  });
  return true;
}

bool CVirtualDeskApp::PinWindow(WindowId root) {
  if (pins_.Holds(root) || !Capturable(root)) return false;
  bool pinned = false;
  RunOperation([&] {
    pinned = pins_.Toggle(p_.windows, root);
    if (pinned) DropFromLists({root});
    RecordHiddenWindows();
    if (pinned) TellPin(root, true);
  });
  return pinned;
}

void CVirtualDeskApp::TellPin(WindowId root, bool pinned) {
  Tell("pin",
       ", \"handle\": " + std::to_string(root) + ", \"pinned\": " + (pinned ? "true" : "false"));
}

void CVirtualDeskApp::ApplyMoreOptions(const MoreOptions& more) {
  more_ = more;
  UnregisterHotkeys();
  RegisterHotkeys();
  RefreshTrayNumber();
  dirty_ = true;
}

// Registered after the program's own hotkeys, which therefore always win a clash; an extra that
// cannot be registered is left out, never an error.
void CVirtualDeskApp::RegisterExtraHotkeys() {
  extraHotkeys_.clear();
  auto add = [this](int id, HotkeyCode code, int action, DesktopNumber desktop) {
    if (code == 0) return;
    const bool ok = p_.hotkeys.Register(id, HotkeyModifiers(code), HotkeyKey(code));
    extraHotkeys_.push_back(ExtraHotkey{id, code, action, desktop, ok});
  };
  add(kSendNextHotkeyId, more_.sendNext, kSendNext, 0);
  add(kSendPrevHotkeyId, more_.sendPrev, kSendPrev, 0);
  add(kPinHotkeyId, more_.pinWindow, kPin, 0);
  add(kLastDeskHotkeyId, more_.lastDesk, kLast, 0);
  if (!more_.shiftSends) return;
  for (const auto& [number, desk] : table_) {
    if (number > kMaxShiftSendDesktop) break;
    if (desk.hotkey == 0 || (HotkeyModifiers(desk.hotkey) & kModShift) != 0) continue;
    const HotkeyCode shifted =
        MakeHotkeyCode(HotkeyModifiers(desk.hotkey) | kModShift, HotkeyKey(desk.hotkey));
    add(ShiftSendHotkeyId(number), shifted, kSendTo, number);
  }
}

void CVirtualDeskApp::UnregisterExtraHotkeys() {
  for (const ExtraHotkey& hotkey : extraHotkeys_) {
    if (hotkey.active) p_.hotkeys.Unregister(hotkey.id);
  }
  extraHotkeys_.clear();
}

bool CVirtualDeskApp::HeldByExtra(HotkeyCode code) const {
  return std::any_of(extraHotkeys_.begin(), extraHotkeys_.end(),
                     [code](const ExtraHotkey& h) { return h.active && h.code == code; });
}

bool CVirtualDeskApp::MatchExtraHotkey(std::uint32_t mods, std::uint32_t key) {
  for (const ExtraHotkey& hotkey : extraHotkeys_) {
    if (!hotkey.active || HotkeyKey(hotkey.code) != key || HotkeyModifiers(hotkey.code) != mods)
      continue;
    switch (hotkey.action) {
      case kSendNext:
        return SendForegroundWindow(NeighbourDesktop(1), more_.sendFollows);
      case kSendPrev:
        return SendForegroundWindow(NeighbourDesktop(-1), more_.sendFollows);
      case kPin:
        return TogglePinForeground();
      case kLast:
        return SwitchToLastDesktop();
      default:
        return SendForegroundWindow(hotkey.desktop, more_.sendFollows);
    }
  }
  return false;
}

std::string CVirtualDeskApp::InactiveHotkeys() const {
  std::string text;
  for (const ExtraHotkey& hotkey : extraHotkeys_) {
    if (hotkey.active) continue;
    static const char* const kRoles[] = {"Send to next desktop", "Send to previous desktop",
                                         "Pin window", "Last desktop"};
    std::string role = hotkey.action == kSendTo
                           ? "Send to \"" + std::string(GetDesktopName(hotkey.desktop)) + "\""
                           : kRoles[hotkey.action];
    text += (text.empty() ? "" : ", ") + role;
  }
  return text;
}

void CVirtualDeskApp::RefreshTrayNumber() {
  if (more_.trayNumber && table_.Contains(current_) && current_ <= kMaxTrayNumber) {
    p_.trayNumber.ShowNumber(current_, GetDesktop(current_).name.c_str());
  } else {
    p_.trayNumber.ShowPlain();
  }
}

void CVirtualDeskApp::RunMoreOptionsDialog() {
  if (moreOpen_) return;
  moreOpen_ = true;
  ++openInterfaces_;
  p_.dialogs.RunMoreOptions(*this);
  --openInterfaces_;
  moreOpen_ = false;
  SaveSettings();
  RulesChanged();  // its rules dialog may have changed them
}
