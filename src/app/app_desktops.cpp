#include <algorithm>
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
  // Rules follow their desktop; a desktop being added has no rules yet.
  if (!desk.name.empty() && RenameDesktopInRules(p_.store, desk.name, newName, sameValue))
    RulesChanged();
  desk.name = newName;
  dirty_ = true;
  RecordHiddenWindows();                   // the journal finds a window's desktop by its name
  if (n == current_) RefreshTrayNumber();  // its tip names the desktop
  Tell("desktops", DesktopNames());
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
  RunOperation([&] {
    UnregisterHotkeys();  // while the ids still match the old numbers
    ShowDeletedDesktop(n);
    table_.RemoveAndRenumber(n);
    NoteDelete(n);
    if (current_ > n) --current_;
    RegisterHotkeys();
    dirty_ = true;
    SwitchToDesktop(current_);  // records the deleted desktop's windows on the current one
    Tell("desktops", DesktopNames());
  });
  return true;
}

// The list stays until its windows are shown, so the journal and a crash still find them.
void CVirtualDeskApp::ShowDeletedDesktop(DesktopNumber n) {
  DropImpostors(GetDesktop(n).windows);
  ThreadProbe probe(p_.windows);
  for (WindowId w : IdsOf(GetDesktop(n).windows))
    ShowWithoutWaiting(p_.windows, probe, w, &pending_);
  ClearWindowList(n);
}

void CVirtualDeskApp::SwitchToDesktop(DesktopNumber target) {
  if (table_.Empty() || target < 1 || static_cast<std::size_t>(target) > table_.Count()) return;
  RunOperation([&] { SwitchNow(target); });
}

// Records first and hides afterwards, from the bottom up: hiding each window as the walk meets
// it would hand activation down the stack once per window. Before the first hide the journal
// holds every window that is about to be hidden, so that a kill at any moment loses none; each
// pass works on a copy of the ids, since its waits let messages in.
void CVirtualDeskApp::SwitchNow(DesktopNumber target) {
  SettlePending();
  const DesktopNumber leaving = current_;
  ClearWindowList(leaving);
  if (CaptureAndHide(leaving)) CaptureAndHide(leaving);  // the second walk takes stragglers
  DropImpostors(GetDesktop(target).windows);
  const WindowIds showing = IdsOf(GetDesktop(target).windows);
  NoteOutcome(ShowStacked(p_.windows, showing), showing, target);
  NoteSwitch(leaving, target);
  current_ = target;
  RecordHiddenWindows();
  RefreshTrayNumber();
  if (leaving != target) Tell("switch");
  ShowDesktopNotice();
}

// Walks the windows onto the list of the desktop being left and hides them; false when the walk
// found none. A program still restacking windows shown earlier can move one past a walk, so the
// caller walks again for what is still visible after the hides; what is listed already is not
// taken twice. The list is kept bottom first, so that showing it restores the stacking.
bool CVirtualDeskApp::CaptureAndHide(DesktopNumber leaving) {
  DesktopInfo walked;
  CollectWindows(walked);
  if (walked.windows.empty()) return false;
  std::list<WindowEntry>& listed = GetDesktop(leaving).windows;
  if (!listed.empty()) {
    WindowIds known = IdsOf(listed);
    std::sort(known.begin(), known.end());
    walked.windows.remove_if([&](const WindowEntry& e) {
      return std::binary_search(known.begin(), known.end(), e.window);
    });
    if (walked.windows.empty()) return false;
  }
  Identify(walked.windows);
  const WindowIds hiding = IdsOf(walked.windows);
  walked.windows.reverse();
  listed.splice(listed.end(), walked.windows);
  RecordHiddenWindows(kEveryList);  // before the first hide
  NoteOutcome(HideBottomUp(p_.windows, hiding), hiding, leaving);
  return true;
}

// A window that has answered since its call was queued is in its final state: the walk and the
// lists take it as it is from now on.
void CVirtualDeskApp::SettlePending() {
  if (pending_.empty()) return;
  WindowIds ids;
  for (const auto& entry : pending_) ids.push_back(entry.first);
  ThreadProbe probe(p_.windows);
  for (WindowId w : ids) {
    if (!p_.windows.Exists(w) || probe.Answers(w)) pending_.erase(w);
  }
}

// A window the system would not let the program hide stays on every desktop, as the shell's own
// windows do: it is not recorded on the one being left.
void CVirtualDeskApp::NoteOutcome(const PassOutcome& outcome, const WindowIds& ids,
                                  DesktopNumber desk) {
  if (!pending_.empty()) {
    for (WindowId w : ids) pending_.erase(w);
  }
  for (const auto& entry : outcome.pending) pending_[entry.first] = entry.second;
  if (outcome.refused.empty()) return;
  GetDesktop(desk).windows.remove_if([&](const WindowEntry& e) {
    return std::find(outcome.refused.begin(), outcome.refused.end(), e.window) !=
           outcome.refused.end();
  });
}

void CVirtualDeskApp::CollectWindows(DesktopInfo& desk) {
  const std::size_t before = desk.windows.size();
  WalkTopLevelWindows(p_.windows, hiddenWindow_, desk, pending_);
  SkipHeldWindows(desk, before);
}

// The entry goes before any call lets messages in.
void CVirtualDeskApp::RestoreWindow(std::uint32_t itemId) {
  RunOperation([&] {
    WindowItemRef item;
    // The menu never numbers a window past kMaxWindowItems; nor does anything else reach one.
    if (itemId > kMaxWindowItems || !LocateWindowItem(table_, itemId, &item)) return;
    const WindowId w = item.entry->window;
    const bool onCurrent = item.owner == current_;
    // A handle that now names another program's window brings nothing: the entry just goes.
    const bool named = !Impostor(*item.entry);
    GetDesktop(item.owner).windows.erase(item.entry);
    if (named && onCurrent) {
      BringForwardWithoutWaiting(p_.windows, w);
    } else if (named) {
      ThreadProbe probe(p_.windows);
      ShowWithoutWaiting(p_.windows, probe, w, &pending_);
    }
    RecordHiddenWindows();
  });
}

void CVirtualDeskApp::ShowAllWindows() {
  RunOperation([&] {
    WindowIds all;
    for (auto& entry : table_) {
      DropImpostors(entry.second.windows);
      for (const WindowEntry& listed : entry.second.windows) all.push_back(listed.window);
    }
    ThreadProbe probe(p_.windows);
    for (WindowId w : all) ShowWithoutWaiting(p_.windows, probe, w, &pending_);
    for (auto& entry : table_) entry.second.windows.clear();
    RecordHiddenWindows();
  });
}

// The way back from anything that went wrong: shown in desktop order, each list bottom first, so
// that the windows of the last desktop come up on top.
void CVirtualDeskApp::GatherWindows() {
  RunOperation([&] {
    if (!table_.Contains(current_)) return;
    std::list<WindowEntry> gathered;
    for (auto& [number, desk] : table_) {
      if (number == current_) continue;
      DropImpostors(desk.windows);
      gathered.splice(gathered.end(), desk.windows);
    }
    const WindowIds showing = IdsOf(gathered);
    std::list<WindowEntry>& here = GetDesktop(current_).windows;
    here.splice(here.end(), gathered);
    NoteOutcome(ShowStacked(p_.windows, showing), showing, current_);
    RecordHiddenWindows();
  });
}

// Read afresh at every capture: a window that closed while listed may have handed its handle on.
void CVirtualDeskApp::Identify(std::list<WindowEntry>& entries) {
  for (WindowEntry& entry : entries) {
    entry.process = p_.windows.ProcessOf(entry.window);
    entry.windowClass = p_.windows.ClassOf(entry.window);
  }
}

// Whether the handle names a window other than the one the entry was captured as. A closed
// window's entry may stay: nothing is shown for it.
bool CVirtualDeskApp::Impostor(const WindowEntry& entry) {
  if (entry.process == 0 || !p_.windows.Exists(entry.window)) return false;
  return p_.windows.ProcessOf(entry.window) != entry.process ||
         p_.windows.ClassOf(entry.window) != entry.windowClass;
}

// Showing a handle that now names another program's window would show what that program hid.
void CVirtualDeskApp::DropImpostors(std::list<WindowEntry>& entries) {
  entries.remove_if([this](const WindowEntry& e) { return Impostor(e); });
}

void CVirtualDeskApp::ShowDesktopNotice() {
  if (!options_.showNotice) return;
  p_.notice.Open(GetDesktop(current_).name.c_str(), kNoticeX, kNoticeY);
  p_.process.Pause(kNoticeMilliseconds);
  p_.notice.Close();
}
