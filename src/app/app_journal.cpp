// The journal of hidden windows: what lets a later start give back the windows of a copy that
// was killed, and what a crash shows before the process goes.
#include "app/virtual_desk_app.h"
#include "desktops/window_capture.h"
#include "desktops/window_system.h"

namespace {

DesktopNumber DesktopNamed(const DesktopTable& table, const std::string& name) {
  for (const auto& [number, desk] : table) {
    if (desk.name == name) return number;
  }
  return 0;
}

}  // namespace

// Desktop numbers can differ from one start to the next (the store may enumerate the desktops in
// another order), so a window goes back to its desktop by name. Desktop 1 is current after
// start-up: its windows, and those of a desktop that is gone, are shown at once.
void CVirtualDeskApp::RecoverHiddenWindows() {
  ThreadProbe probe(p_.windows);
  for (const JournalRecord& record : journal_.Read()) {
    if (!StillHiddenAsRecorded(record)) continue;
    const DesktopNumber n = DesktopNamed(table_, record.desktopName);
    if (n > 1) {
      const int length = p_.windows.TitleLength(record.window);
      GetDesktop(n).windows.push_back(
          WindowEntry{record.window, p_.windows.ReadTitle(record.window, length + 1)});
    } else {
      ShowWithoutWaiting(p_.windows, probe, record.window);
    }
  }
  journalRead_ = true;
  RecordHiddenWindows();
}

// A window closed meanwhile, a handle that now names another program's window, and a window its
// own program has shown again are none of the program's business any more.
bool CVirtualDeskApp::StillHiddenAsRecorded(const JournalRecord& record) {
  const WindowId w = record.window;
  return w != 0 && w != hiddenWindow_ && p_.windows.Exists(w) && !p_.windows.IsVisible(w) &&
         p_.windows.ProcessOf(w) == record.process && p_.windows.ClassOf(w) == record.windowClass;
}

void CVirtualDeskApp::RecordHiddenWindows() {
  if (journalRead_) journal_.Write(HiddenWindowRecords(table_, current_, p_.windows, identities_));
}

// The current desktop's list is included: a crash in the middle of a switch leaves the windows
// hidden so far in it.
void CVirtualDeskApp::ShowHiddenWindowsNow() {
  for (const auto& entry : table_) {
    for (const WindowEntry& window : entry.second.windows) p_.windows.ShowAsync(window.window);
  }
}
