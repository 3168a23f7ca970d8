#include <cstring>
#include <iterator>

#include "app/virtual_desk_app.h"
#include "desktops/window_capture.h"
#include "desktops/window_system.h"
#include "shell/desktop_menu.h"
#include "shell/notice_tip.h"

namespace {
constexpr unsigned kNoticeMilliseconds = 500;
constexpr int kNoticeX = 0;  // the notice is tracked at the screen's top-left corner
constexpr int kNoticeY = 0;
}  // namespace

bool CVirtualDeskApp::SetDesktopName(DesktopNumber n, const char* name) {
  if (n < 1 || static_cast<std::size_t>(n) > table_.Count() + 1) return false;
  DesktopInfo& desk = GetDesktop(n);
  std::string newName(name, strnlen(name, DesktopInfo::kMaxNameChars));
  auto sameValue = [this](const std::string& a, const std::string& b) {
    return p_.store.SameValueName(a, b);
  };
  if (table_.NameTakenByOther(n, newName, sameValue)) return false;
  desk.name = newName;
  dirty_ = true;
  if (n == current_) RefreshTrayNumber();  // its tip names the desktop
  return true;
}

bool CVirtualDeskApp::SetDesktopHotkey(DesktopNumber n, HotkeyCode code) {
  if (!table_.Contains(n) || table_.HotkeyTaken(code)) return false;
  // The next and previous hotkeys are registered after the desktops' ones: a desktop holding
  // one of them would end every later start with a registration failure.
  if (code != 0 && (code == options_.nextHotkey || code == options_.prevHotkey)) return false;
  // Nor may it take one another program holds: that too would end this start and every later one.
  if (HotkeyHeldElsewhere(code)) return false;
  GetDesktop(n).hotkey = code;
  UnregisterHotkeys();
  RegisterHotkeys();
  dirty_ = true;
  return true;
}

bool CVirtualDeskApp::DeleteDesktop(DesktopNumber n) {
  if (n == current_ || !table_.Contains(n)) return false;
  UnregisterHotkeys();  // while the ids still match the old numbers
  ThreadProbe probe(p_.windows);
  for (const WindowEntry& entry : GetDesktop(n).windows)
    ShowWithoutWaiting(p_.windows, probe, entry.window);
  ClearWindowList(n);
  table_.RemoveAndRenumber(n);
  NoteDelete(n);
  if (current_ > n) --current_;
  RegisterHotkeys();
  SwitchToDesktop(current_);  // records the deleted desktop's windows on the current one
  dirty_ = true;
  RecordHiddenWindows();  // the deleted desktop's windows are shown, whatever the switch records
  return true;
}

void CVirtualDeskApp::SwitchToDesktop(DesktopNumber target) {
  if (table_.Empty() || target < 1 || static_cast<std::size_t>(target) > table_.Count()) return;
  ClearWindowList(current_);
  DesktopInfo& leaving = GetDesktop(current_);
  CaptureWindows(leaving);
  leaving.windows.reverse();  // bottom of the z-order first, so showing restores the stacking
  ShowStacked(p_.windows, GetDesktop(target).windows);
  NoteSwitch(current_, target);
  current_ = target;
  RecordHiddenWindows();
  RefreshTrayNumber();
  ShowDesktopNotice();
}

// Records first and hides afterwards, from the bottom up: hiding each window as the walk meets
// it would hand activation down the stack once per window.
void CVirtualDeskApp::CaptureWindows(DesktopInfo& desk) {
  const std::size_t before = desk.windows.size();
  WalkTopLevelWindows(p_.windows, hiddenWindow_, desk);
  SkipHeldWindows(desk, before);
  HideBottomUp(p_.windows, std::next(desk.windows.cbegin(), static_cast<long>(before)),
               desk.windows.cend());
}

void CVirtualDeskApp::CollectWindows(DesktopInfo& desk) {
  const std::size_t before = desk.windows.size();
  WalkTopLevelWindows(p_.windows, hiddenWindow_, desk);
  SkipHeldWindows(desk, before);
}

void CVirtualDeskApp::RestoreWindow(std::uint32_t itemId) {
  WindowItemRef item;
  // The menu never numbers a window past kMaxWindowItems; nor does anything else reach one.
  if (itemId > kMaxWindowItems || !LocateWindowItem(table_, itemId, &item)) return;
  if (item.owner == current_) {
    BringForwardWithoutWaiting(p_.windows, item.entry->window);
  } else {
    ThreadProbe probe(p_.windows);
    ShowWithoutWaiting(p_.windows, probe, item.entry->window);
  }
  GetDesktop(item.owner).windows.erase(item.entry);
  RecordHiddenWindows();
}

void CVirtualDeskApp::ShowAllWindows() {
  ThreadProbe probe(p_.windows);
  for (auto& [number, desk] : table_) {
    for (const WindowEntry& entry : desk.windows)
      ShowWithoutWaiting(p_.windows, probe, entry.window);
    ClearWindowList(number);
  }
  RecordHiddenWindows();
}

void CVirtualDeskApp::ShowDesktopNotice() {
  if (!options_.showNotice) return;
  p_.notice.Open(GetDesktop(current_).name.c_str(), kNoticeX, kNoticeY);
  p_.process.Pause(kNoticeMilliseconds);
  p_.notice.Close();
}
