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
  RunOperation([&] {
    ThreadProbe probe(p_.windows);
    for (const JournalRecord& record : journal_.Read()) RecoverWindow(record, probe);
    journalRead_ = true;
    RecordHiddenWindows();
  });
}

// A window its own program has shown again is none of the program's business any more, unless
// its program does not answer: then a hide queued by the copy that was killed may still be
// waiting for it, so a show is queued behind it, and the window is tracked (and stays in the
// journal) until its program has answered.
void CVirtualDeskApp::RecoverWindow(const JournalRecord& record, ThreadProbe& probe) {
  const WindowId w = record.window;
  if (!StillOurs(record)) return;
  if (p_.windows.IsVisible(w)) {
    if (probe.Answers(w) || !table_.Contains(current_)) return;
    p_.windows.ShowNoActivateAsync(w);
    pending_[w] = kShowPending;
    GetDesktop(current_).windows.push_back(RecoveredEntry(record));
    return;
  }
  const DesktopNumber n = DesktopNamed(table_, record.desktopName);
  if (n > 1) {
    GetDesktop(n).windows.push_back(RecoveredEntry(record));
  } else {
    ShowWithoutWaiting(p_.windows, probe, w, &pending_);
  }
}

WindowEntry CVirtualDeskApp::RecoveredEntry(const JournalRecord& record) {
  const WindowId w = record.window;
  const int length = p_.windows.TitleLength(w);
  return WindowEntry{w, p_.windows.ReadTitle(w, length + 1), record.process, record.windowClass};
}

// A window closed meanwhile and a handle that now names another program's window are not the
// ones recorded.
bool CVirtualDeskApp::StillOurs(const JournalRecord& record) {
  const WindowId w = record.window;
  return w != 0 && w != hiddenWindow_ && p_.windows.Exists(w) &&
         p_.windows.ProcessOf(w) == record.process && p_.windows.ClassOf(w) == record.windowClass;
}

// The rescue copy is published whatever the store did with the write.
void CVirtualDeskApp::RecordHiddenWindows(DesktopNumber shown) {
  if (!journalRead_) return;
  const std::vector<JournalRecord> records =
      HiddenWindowRecords(table_, shown, pending_, p_.windows);
  rescue_.Publish(records);
  journal_.Write(records);
}

void CVirtualDeskApp::ShowHiddenWindowsNow() {
  rescue_.ForEach([this](WindowId w) { p_.windows.ShowNoActivateAsync(w); });
}
