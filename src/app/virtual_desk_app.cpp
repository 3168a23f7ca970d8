#include "app/virtual_desk_app.h"

#include <algorithm>
#include <cstdlib>

#include "app/dialog_runner.h"
#include "shell/desktop_menu.h"
#include "shell/hotkey_registrar.h"
#include "shell/tray_number.h"
#include "shell/tray_shell.h"

namespace {
// The lock path must fit the 275-byte buffer the program has always used for it; a longer
// temporary directory is refused rather than truncated.
constexpr std::size_t kLockPathBuffer = 275;
}  // namespace

CVirtualDeskApp::CVirtualDeskApp(const Platform& platform)
    : p_(platform),
      settings_(platform.store, *this),
      journal_(platform.store),
      rules_(platform.windows, platform.events, *this) {}

CVirtualDeskApp::~CVirtualDeskApp() {
  Shutdown();
}

int CVirtualDeskApp::InitInstance() {
  modulePath_ = p_.process.ModulePath();
  dirty_ = true;
  InitEnvironment();
  LoadSettings();
  RulesChanged();  // what is open already is left where it is
  current_ = 1;
  RecoverHiddenWindows();
  AddTrayIcon();
  RefreshTrayNumber();
  RegisterHotkeys();
  RunMessageLoop();
  return 0;
}

void CVirtualDeskApp::InitEnvironment() {
  TakeInstanceLock();
  journal_.SetSession(p_.process.SessionId());
  WriteDefaultSettings();
  if (!p_.host.RegisterHiddenClass(this)) FatalError("Cant register class.");
  CreateHiddenWindow();
}

void CVirtualDeskApp::TakeInstanceLock() {
  std::string dir;
  if (!p_.process.TempDirectory(&dir)) FatalError("Cant get path to temporary directory.");
  std::string path = dir + "\\" + kLockFileName;
  if (path.size() >= kLockPathBuffer) FatalError("Cant get path to temporary directory.");
  // A copy started with another TEMP finds no lock file held: the session's own lock refuses it
  // before it can read the running copy's journal.
  if (!p_.process.TakeSessionLock() || !p_.process.OpenLockFile(path))
    FatalError("Cant create temporary file. Maybe program is already running.");
  lockTaken_ = true;
}

void CVirtualDeskApp::CreateHiddenWindow() {
  hiddenWindow_ = p_.host.CreateHiddenWindow();
  if (hiddenWindow_ == 0) FatalError("Cant create main program window.");
}

// Only this loop sees hotkeys: nested loops of dialogs, boxes and menus drop them.
void CVirtualDeskApp::RunMessageLoop() {
  std::uint32_t message = 0;
  std::uint32_t lParam = 0;
  while (p_.host.NextMessage(&message, &lParam)) {
    if (message == msg::kHotkey) MatchHotkey(lParam);
    p_.host.DispatchCurrent();
  }
}

// Runs on every orderly end; each step copes with whatever start-up had reached.
void CVirtualDeskApp::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;  // from here on nothing kept is handled
  rules_.Stop();
  SaveSettings();
  ShowAllWindows();
  p_.tray.RemoveIcon();
  UnregisterHotkeys();
  if (lockTaken_) p_.process.CloseLockFile();
  lockTaken_ = false;
  p_.process.ReleaseSessionLock();
  p_.tray.DestroyMenus();
}

// The system ends the process once this message is answered, so everything of an orderly end
// happens before: a window left hidden would hold the logoff up with a question nobody can see.
// The Restart Manager asks the program to end as well; so does an end that arrives in the middle
// of an operation, which must not go on hiding windows once they have all been shown.
void CVirtualDeskApp::EndSession(bool closeApp) {
  const bool nested = InOperation();
  Shutdown();
  if (closeApp || nested) p_.process.Exit(0);
}

int CVirtualDeskApp::ShowInfo(const char* text) {
  ++openInterfaces_;
  const int result = p_.boxes.ShowBox(text, kInfoCaption, MessageBoxes::kOk);
  --openInterfaces_;
  return result;
}

int CVirtualDeskApp::ShowError(const char* text) {
  ++openInterfaces_;
  const int result = p_.boxes.ShowBox(text, kErrorCaption, MessageBoxes::kIconError);
  --openInterfaces_;
  return result;
}

void CVirtualDeskApp::FatalError(const char* text) {
  dirty_ = true;
  ShowError(text);
  p_.process.Exit(1);
  std::abort();  // Exit never comes back; this only tells the compiler so
}

// Kept only while an operation runs: once it has ended, a dialog opened from what was kept must
// not hold back what arrives later (another click, WM_CLOSE from an installer's polite close).
bool CVirtualDeskApp::OnWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam, std::intptr_t* result) {
  if (Deferrable(message, lParam) && InOperation()) {
    deferred_.push_back(DeferredMessage{message, wParam, lParam});
    *result = 0;
    return true;
  }
  return HandleMessage(message, wParam, lParam, result);
}

// Of the tray's notifications only the clicks do anything; the mouse moving over the icon is not
// kept.
bool CVirtualDeskApp::Deferrable(std::uint32_t message, std::intptr_t lParam) const {
  if (message == msg::kTrayNotify)
    return lParam == msg::kLButtonDown || lParam == msg::kRButtonDown;
  return message == msg::kCommand || message == msg::kClose || message == msg::kWindowEvent ||
         message == msg::kTimer || (taskbarCreated_ != 0 && message == taskbarCreated_);
}

// A message handled here may run an operation whose end comes back here: the outer loop goes on
// with the rest, in order. Nothing is handled once the shutdown has begun.
void CVirtualDeskApp::HandleDeferred() {
  if (draining_) return;
  draining_ = true;
  KeysPressedMeanwhileFirst();
  while (!deferred_.empty() && !shutDown_) {
    const DeferredMessage m = deferred_.front();
    deferred_.erase(deferred_.begin());
    std::intptr_t result = 0;
    if (m.message == msg::kHotkey) {
      MatchHotkeyNow(static_cast<std::uint32_t>(m.lParam));
    } else {
      HandleMessage(m.message, m.wParam, m.lParam, &result);
    }
  }
  deferred_.clear();
  draining_ = false;
}

// The keys pressed during an operation wait in the thread's queue, where a dialog opened from a
// kept click would drop them: they go before what was kept. Not while a dialog of the program is
// open, where keys do nothing.
void CVirtualDeskApp::KeysPressedMeanwhileFirst() {
  if (deferred_.empty() || UserInterfaceOpen()) return;
  std::vector<std::uint32_t> keys;
  RunOperation([&] {  // what the peek lets in is kept behind
    std::uint32_t lParam = 0;
    while (p_.host.TakeQueuedHotkey(&lParam)) keys.push_back(lParam);
  });
  auto at = std::find_if(deferred_.begin(), deferred_.end(),
                         [](const DeferredMessage& m) { return m.message != msg::kHotkey; });
  for (std::uint32_t lParam : keys) {
    at = deferred_.insert(at, DeferredMessage{msg::kHotkey, 0, static_cast<std::intptr_t>(lParam)});
    ++at;
  }
}

bool CVirtualDeskApp::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam, std::intptr_t* result) {
  if (OnRulesMessage(message, wParam, lParam)) {
    *result = 0;
    return true;
  }
  switch (message) {
    case msg::kCommand:
      *result = 0;
      OnCommand(static_cast<std::uint32_t>(wParam));
      return true;
    case msg::kTrayNotify:
      *result = 0;
      OnTrayNotify(lParam);
      return true;
    case msg::kCreate:
      *result = 0;
      return true;
    case msg::kCopyData:
      *result =
          OnCopyData(static_cast<WindowId>(wParam), *reinterpret_cast<const CopyData*>(lParam));
      return true;
    case msg::kSettingChange:  // the taskbar's theme may have changed; the default runs too
      RefreshTrayNumber();
      return false;
    case msg::kNcCreate:  // the default processing is deliberately skipped
      *result = 1;
      return true;
    case msg::kClose:  // ends the loop; the window itself lives until the process ends
      p_.host.PostQuit();
      *result = 0;
      return true;
    case msg::kQueryEndSession:  // the program never holds a logoff up
      *result = 1;
      return true;
    case msg::kEndSession:
      if (wParam != 0) EndSession((lParam & msg::kEndSessionCloseApp) != 0);
      *result = 0;
      return true;
    default:
      if (taskbarCreated_ == 0 || message != taskbarCreated_) return false;
      p_.tray.AddIconAgain();  // the shell was restarted and has forgotten the icon
      *result = 0;
      return true;
  }
}

void CVirtualDeskApp::OnCommand(std::uint32_t command) {
  if (command == kCmdExit) {
    p_.process.Exit(0);  // the shutdown runs during the process exit
  } else if (command == kCmdAbout) {
    RunAboutBox();
  } else if (command == kCmdMore) {
    RunMoreOptionsDialog();
  } else {
    RestoreWindow(command);
  }
}

void CVirtualDeskApp::OnTrayNotify(std::intptr_t mouseMessage) {
  if (mouseMessage == msg::kLButtonDown) {
    RunOptionsDialog();
  } else if (mouseMessage == msg::kRButtonDown) {
    ShowDesktopMenu();
  }
}

void CVirtualDeskApp::RunAboutBox() {
  if (aboutOpen_) return;
  aboutOpen_ = true;
  ++openInterfaces_;
  p_.dialogs.RunAbout();
  --openInterfaces_;
  aboutOpen_ = false;
}

// However the dialog ended, everything is written back: the dirty flag is always raised by now.
void CVirtualDeskApp::RunOptionsDialog() {
  if (optionsOpen_) return;
  optionsOpen_ = true;
  ++openInterfaces_;
  p_.dialogs.RunOptions(*this);
  --openInterfaces_;
  optionsOpen_ = false;
  SaveSettings();
}

void CVirtualDeskApp::AddTrayIcon() {
  if (!p_.tray.AddIcon(hiddenWindow_)) FatalError("Cant go to systray.");
  taskbarCreated_ = p_.tray.TaskbarCreatedMessage();
}

// The current desktop's list is refreshed first, so its submenu lists what is on it now.
void CVirtualDeskApp::ShowDesktopMenu() {
  if (table_.Contains(current_)) {
    ClearWindowList(current_);
    CollectWindows(GetDesktop(current_));
  }
  ++openInterfaces_;
  p_.tray.TrackDesktopMenu(BuildDesktopMenu(table_, current_), hiddenWindow_);
  --openInterfaces_;
}
