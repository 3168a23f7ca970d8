#include "fakes/fake_process.h"

#include <algorithm>
#include <cctype>

namespace {
std::string LowerPath(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
}  // namespace

FakeProcess::FakeProcess() : locks_(std::make_shared<FakeLockFiles>()) {}

void FakeProcess::HoldElsewhere(const std::string& path) {
  locks_->held.insert(LowerPath(path));
}

bool FakeProcess::TempDirectory(std::string* dir) {
  if (!tempDir_) return false;
  *dir = *tempDir_;
  return true;
}

bool FakeProcess::OpenLockFile(const std::string& path) {
  openAttempts_.push_back(path);
  Note("proc.OpenLock");
  const std::string key = LowerPath(path);
  if (locks_->held.count(key)) return false;
  locks_->held.insert(key);
  heldPath_ = key;
  return true;
}

void FakeProcess::CloseLockFile() {
  Note("proc.CloseLock");
  if (heldPath_.empty()) return;
  locks_->held.erase(heldPath_);
  heldPath_.clear();
}

bool FakeProcess::TakeSessionLock() {
  Note("proc.TakeSessionLock");
  if (!locks_->sessions.insert(session_).second) return false;
  holdsSession_ = true;
  return true;
}

void FakeProcess::ReleaseSessionLock() {
  if (holdsSession_) locks_->sessions.erase(session_);
  holdsSession_ = false;
}

void FakeProcess::Pause(unsigned milliseconds) {
  pausedMs_ += milliseconds;
  Note("proc.Pause " + std::to_string(milliseconds));
}

void FakeProcess::Exit(int code) {
  exitCode_ = code;
  Note("proc.Exit " + std::to_string(code));
  throw ProcessExit{code};
}

std::string FakeProcess::ToUtf8(const std::string& text) {
  std::string utf8;
  for (unsigned char u : text) {
    if (u >= 0x80) utf8 += static_cast<char>(0xC0 | (u >> 6));
    utf8 += static_cast<char>(u < 0x80 ? u : 0x80 | (u & 0x3F));
  }
  return utf8;
}

void FakeWindowHost::Post(WindowId target, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
  queue_.push_back(Queued{target, message, wParam, lParam});
}

bool FakeWindowHost::RegisterHiddenClass(WindowMessageHandler* handler) {
  if (failRegister_ || !handler) return false;
  handler_ = handler;
  return true;
}

std::intptr_t FakeWindowHost::Send(std::uint32_t message, std::intptr_t defaultResult,
                                   bool* handled) {
  std::intptr_t result = defaultResult;
  *handled = handler_->OnWindowMessage(message, 0, 0, &result);
  if (!*handled) result = defaultResult;
  deliveries_.push_back(Delivery{message, *handled, result});
  return result;
}

// The default procedure answers WM_NCCREATE with TRUE and WM_CREATE with 0; a procedure that
// answers FALSE or -1 aborts the creation.
WindowId FakeWindowHost::CreateHiddenWindow() {
  if (failCreate_ || !handler_) return 0;
  WindowId w = windows_.Open("veilswitcherAppWin", false);
  windows_.SetOwnerAndClass(w, kProgramProcess, "veilswitcherApp");
  bool handled = false;
  if (Send(msg::kNcCreate, 1, &handled) == 0 || Send(msg::kCreate, 0, &handled) == -1) {
    windows_.Destroy(w);
    return 0;
  }
  hidden_ = w;
  Note("host.CreateWindow");
  return w;
}

bool FakeWindowHost::NextMessage(std::uint32_t* message, std::uint32_t* lParam) {
  if (queue_.empty()) {
    current_.reset();
    if (quitPending_) {
      quitPending_ = false;
      quitReceived_ = true;
      return false;
    }
    ++dryReads_;
    return false;
  }
  current_ = queue_.front();
  queue_.pop_front();
  *message = current_->message;
  *lParam = static_cast<std::uint32_t>(current_->lParam);
  return true;
}

void FakeWindowHost::DispatchCurrent() {
  if (!current_) return;
  WindowId target = current_->target == kToHiddenWindow ? hidden_ : current_->target;
  if (target == 0 || target != hidden_ || !handler_) {
    deliveries_.push_back(Delivery{current_->message, false, 0});  // dropped by the dispatcher
    return;
  }
  std::intptr_t result = 0;
  bool handled =
      handler_->OnWindowMessage(current_->message, current_->wParam, current_->lParam, &result);
  deliveries_.push_back(Delivery{current_->message, handled, handled ? result : 0});
}

void FakeWindowHost::PostQuit() {
  quitPending_ = true;
  Note("host.PostQuit");
}

bool FakeWindowHost::SendData(WindowId to, std::uintptr_t tag, const std::string& bytes) {
  Note(loseData_ ? "host.SendData lost" : "host.SendData");
  if (!loseData_) sent_.push_back(DataSent{to, tag, bytes});
  return !loseData_;
}

bool FakeWindowHost::Notify(WindowId to, std::uintptr_t tag, const std::string& bytes) {
  const bool taken = hungWatchers_.count(to) == 0;
  Note(taken ? "host.Notify" : "host.Notify timed out");
  if (taken) sent_.push_back(DataSent{to, tag, bytes});
  return taken;
}

void FakeWindowHost::ReleaseSender(std::intptr_t result) {
  Note("host.ReleaseSender " + std::to_string(result));
}

bool FakeWindowHost::TakeQueuedHotkey(std::uint32_t* lParam) {
  windows_.HandleSentMessages();
  auto it = std::find_if(queue_.begin(), queue_.end(),
                         [](const Queued& q) { return q.message == msg::kHotkey; });
  if (it == queue_.end()) return false;
  *lParam = static_cast<std::uint32_t>(it->lParam);
  queue_.erase(it);
  return true;
}
