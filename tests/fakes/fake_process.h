#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/platform.h"
#include "fakes/fake_window_system.h"
#include "fakes/timeline.h"

// Thrown by FakeProcess::Exit in place of ending the test process. As with the C runtime's exit,
// the application object is destroyed afterwards (by the test), and that runs its shutdown.
struct ProcessExit {
  int code;
};

// Files opened with no sharing, across every fake process of a test: a second open of a held
// path fails until its holder closes it.
struct FakeLockFiles {
  std::set<std::string> held;        // lower-cased paths
  std::set<std::uint32_t> sessions;  // sessions whose mutex a copy holds
};

class FakeProcess : public ProcessServices, public TimelineSource {
 public:
  FakeProcess();
  void SetModulePath(const std::string& path) { modulePath_ = path; }
  void SetTempDirectory(const std::string& dir) { tempDir_ = dir; }
  void FailTempDirectory() { tempDir_.reset(); }
  void SetSession(std::uint32_t session) { session_ = session; }
  // The held-files table of another process, so that one of them can be the "second copy".
  void ShareLocksWith(FakeProcess& other) { locks_ = other.locks_; }
  void HoldElsewhere(const std::string& path);

  bool HoldsLock() const { return !heldPath_.empty(); }
  const std::vector<std::string>& OpenAttempts() const { return openAttempts_; }
  unsigned PausedMs() const { return pausedMs_; }
  std::optional<int> ExitCode() const { return exitCode_; }

  std::string ModulePath() override { return modulePath_; }
  bool TempDirectory(std::string* dir) override;
  bool OpenLockFile(const std::string& path) override;
  void CloseLockFile() override;
  bool TakeSessionLock() override;
  void ReleaseSessionLock() override;
  std::uint32_t SessionId() override { return session_; }
  void Pause(unsigned milliseconds) override;
  [[noreturn]] void Exit(int code) override;
  std::string ToUtf8(const std::string& text) override;  // as code page 28591 (Latin-1)

 private:
  std::string modulePath_ = "C:\\Program Files\\veilswitcher\\veilswitcher.exe";
  std::optional<std::string> tempDir_ = std::string("C:\\Temp");
  std::shared_ptr<FakeLockFiles> locks_;
  std::string heldPath_;
  std::uint32_t session_ = 1;
  bool holdsSession_ = false;
  std::vector<std::string> openAttempts_;
  unsigned pausedMs_ = 0;
  std::optional<int> exitCode_;
};

// The hidden window and the thread's queue. Creating the window sends WM_NCCREATE and WM_CREATE
// to the registered handler as CreateWindowExA does; WM_QUIT comes out of the queue only once no
// other message is waiting. A queue that runs dry ends the loop too (a real one would block), and
// is counted so a test can tell the two ends apart.
class FakeWindowHost : public WindowHost, public TimelineSource {
 public:
  static constexpr WindowId kToHiddenWindow = 0xFFFFFFFF;  // resolved when dispatched
  static constexpr std::uint32_t kProgramProcess = 0x5e8;  // the program's own process id
  static constexpr std::uint32_t kQuit = 0x0012;           // WM_QUIT
  struct DataSent {
    WindowId to;
    std::uintptr_t tag;
    std::string bytes;
  };
  struct Delivery {
    std::uint32_t message;
    bool handled;  // false: it went to the default procedure (or had no window)
    std::intptr_t result;
  };

  explicit FakeWindowHost(FakeWindowSystem& windows) : windows_(windows) {}
  void FailRegisterClass() { failRegister_ = true; }
  void FailCreateWindow() { failCreate_ = true; }
  // The windows data is sent to have stopped waiting for it (a client whose time ran out).
  void LoseData() { loseData_ = true; }
  void Post(WindowId target, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  void PostToHidden(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
    Post(kToHiddenWindow, message, wParam, lParam);
  }
  void PostThread(std::uint32_t message, std::intptr_t lParam) { Post(0, message, 0, lParam); }
  // Straight to the hidden window's procedure, as a sent message or a dispatch from any loop.
  void DeliverToHidden(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    std::intptr_t result = 0;
    if (handler_ && hidden_) handler_->OnWindowMessage(message, wParam, lParam, &result);
  }

  WindowId Hidden() const { return hidden_; }
  bool ClassRegistered() const { return handler_ != nullptr; }
  bool QuitReceived() const { return quitReceived_; }
  int DryReads() const { return dryReads_; }
  const std::vector<Delivery>& Deliveries() const { return deliveries_; }
  const std::vector<DataSent>& Sent() const { return sent_; }

  bool RegisterHiddenClass(WindowMessageHandler* handler) override;
  WindowId CreateHiddenWindow() override;
  bool NextMessage(std::uint32_t* message, std::uint32_t* lParam) override;
  void DispatchCurrent() override;
  void PostQuit() override;
  bool SendData(WindowId to, std::uintptr_t tag, const std::string& bytes) override;
  bool Notify(WindowId to, std::uintptr_t tag, const std::string& bytes) override;
  // A watcher whose thread takes no messages: every line sent it times out.
  void HangWatcher(WindowId w) { hungWatchers_.insert(w); }
  void ReleaseSender(std::intptr_t result) override;
  bool TakeQueuedHotkey(std::uint32_t* lParam) override;

 private:
  struct Queued {
    WindowId target;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };
  std::intptr_t Send(std::uint32_t message, std::intptr_t defaultResult, bool* handled);

  FakeWindowSystem& windows_;
  WindowMessageHandler* handler_ = nullptr;
  WindowId hidden_ = 0;
  bool failRegister_ = false;
  bool failCreate_ = false;
  bool loseData_ = false;
  std::deque<Queued> queue_;
  std::optional<Queued> current_;
  bool quitPending_ = false;
  bool quitReceived_ = false;
  int dryReads_ = 0;
  std::vector<Delivery> deliveries_;
  std::vector<DataSent> sent_;
  std::set<WindowId> hungWatchers_;
};
