#include "fakes/fake_window_system.h"

#include <iterator>

#include "desktops/window_capture.h"

WindowId FakeWindowSystem::Open(const std::string& title, bool visible, std::uint32_t thread) {
  WindowId id = nextId_;
  nextId_ += 0x20;
  Window& win = windows_[id];
  win.title = title;
  win.visible = win.heardVisible = visible;
  win.thread = thread;
  zorder_.push_front(id);
  place_[id] = zorder_.begin();
  if (visible) SetActive(id);
  if (observer_) observer_(id, true);
  return id;
}

void FakeWindowSystem::Destroy(WindowId w) {
  windows_.erase(w);
  auto at = place_.find(w);
  if (at != place_.end()) {
    zorder_.erase(at->second);
    place_.erase(at);
  }
  if (active_ == w) active_ = 0;
  if (foreground_ == w) foreground_ = 0;
}

void FakeWindowSystem::SetTitle(WindowId w, const std::string& title) {
  Window* win = Find(w);
  if (!win) return;
  win->title = title;
  if (observer_) observer_(w, false);
}

void FakeWindowSystem::SetVisibleByOwner(WindowId w, bool visible) {
  Window* win = Find(w);
  if (!win) return;
  win->visible = win->heardVisible = visible;
  if (visible && observer_) observer_(w, false);
}

void FakeWindowSystem::SetElevated(WindowId w) {
  if (Window* win = Find(w)) win->elevated = true;
}

bool FakeWindowSystem::HeardVisible(WindowId w) const {
  auto it = windows_.find(w);
  return it != windows_.end() && it->second.heardVisible;
}

void FakeWindowSystem::SetOwnerAndClass(WindowId w, std::uint32_t process, const std::string& cls) {
  if (Window* win = Find(w)) {
    win->process = process;
    win->windowClass = cls;
  }
}

void FakeWindowSystem::SetOwner(WindowId owned, WindowId owner) {
  if (Window* win = Find(owned)) win->owner = owner;
}

void FakeWindowSystem::ClickOn(WindowId w) {
  if (!Find(w)) return;
  Raise(w);
  foreground_ = w;
  SetActive(w);
}

// The chain of owners ends at a window with none, or at one that is gone.
WindowId FakeWindowSystem::RootOwner(WindowId w) {
  const Window* win = Find(w);
  if (!win) return 0;
  for (const Window* owner = nullptr; win->owner != 0 && (owner = Find(win->owner)); win = owner)
    w = win->owner;
  return w;
}

void FakeWindowSystem::SetCloaked(WindowId w, bool cloaked) {
  if (Window* win = Find(w)) win->cloaked = cloaked;
}

void FakeWindowSystem::Wake(std::uint32_t thread) {
  hung_.erase(thread);
  RunQueued(thread);
}

void FakeWindowSystem::RunQueued(std::uint32_t thread) {
  std::vector<std::pair<std::uint32_t, std::function<void()>>> queued;
  queued.swap(queued_);
  for (auto& [owner, effect] : queued) {
    if (owner == thread) {
      effect();
    } else {
      queued_.emplace_back(owner, std::move(effect));
    }
  }
}

std::vector<WindowId> FakeWindowSystem::ZOrder() const {
  return std::vector<WindowId>(zorder_.begin(), zorder_.end());
}

std::string FakeWindowSystem::TitleOf(WindowId w) const {
  auto it = windows_.find(w);
  return it == windows_.end() ? std::string() : it->second.title;
}

std::vector<WindowId> FakeWindowSystem::CallsOf(Call call) const {
  std::vector<WindowId> out;
  for (const LogEntry& e : log_) {
    if (e.call == call) out.push_back(e.window);
  }
  return out;
}

// GetWindow(any, GW_HWNDFIRST) answers the top of the z-order whatever window it is asked of.
WindowId FakeWindowSystem::FirstWindow(WindowId) {
  return zorder_.empty() ? 0 : zorder_.front();
}

WindowId FakeWindowSystem::NextWindow(WindowId w) {
  if (raiseDuringWalk_ != 0 && raiseDuringWalk_ != w && Find(raiseDuringWalk_))
    Raise(raiseDuringWalk_);
  raiseDuringWalk_ = 0;
  auto at = place_.find(w);
  if (at == place_.end()) return 0;
  auto next = std::next(at->second);
  return next == zorder_.end() ? 0 : *next;
}

// The buffer counts UTF-16 units; a character that does not fit whole is left out.
std::string FakeWindowSystem::ReadTitle(WindowId w, int bufferChars) {
  Window* win = Find(w);
  if (!win || bufferChars <= 0) return std::string();
  const std::string& title = win->title;
  std::size_t end = 0;
  for (std::size_t units = 0; end < title.size(); ++end) {
    const unsigned char u = static_cast<unsigned char>(title[end]);
    if ((u & 0xC0) == 0x80) continue;
    units += u >= 0xF0 ? 2 : 1;
    if (units >= static_cast<std::size_t>(bufferChars)) break;
  }
  return title.substr(0, end);
}

int FakeWindowSystem::TitleLength(WindowId w) {
  Window* win = Find(w);
  return win ? static_cast<int>(Utf16Units(win->title)) : 0;
}

bool FakeWindowSystem::IsVisible(WindowId w) {
  Window* win = Find(w);
  return win && win->visible;
}

bool FakeWindowSystem::Exists(WindowId w) {
  return Find(w) != nullptr;
}

void FakeWindowSystem::Show(WindowId w) {
  Deliver(Call::kShow, "ws.Show ", w, false, [this, w] { ApplyShow(w, true); });
}

void FakeWindowSystem::ShowNoActivate(WindowId w) {
  Deliver(Call::kShowNoActivate, "ws.ShowNA ", w, false, [this, w] { ApplyShow(w, false); });
}

void FakeWindowSystem::Hide(WindowId w) {
  Deliver(Call::kHide, "ws.Hide ", w, false, [this, w] { ApplyHide(w); });
}

void FakeWindowSystem::Activate(WindowId w) {
  Deliver(Call::kActivate, "ws.Activate ", w, false, [this, w] { SetActive(w); });
}

// SetForegroundWindow raises the window to the top of the z-order.
void FakeWindowSystem::BringToFront(WindowId w) {
  Deliver(Call::kBringToFront, "ws.BringToFront ", w, false, [this, w] {
    foreground_ = w;
    SetActive(w);
    Raise(w);
  });
}

bool FakeWindowSystem::IsCloaked(WindowId w) {
  Window* win = Find(w);
  return win && win->cloaked;
}

std::uint32_t FakeWindowSystem::ThreadOf(WindowId w) {
  Window* win = Find(w);
  return win ? win->thread : 0;
}

// A message sent to a thread is taken after the calls queued for it before.
bool FakeWindowSystem::Answers(WindowId w) {
  ++probes_;
  return Settle(w);
}

bool FakeWindowSystem::Settle(WindowId w) {
  Wait();
  Window* win = Find(w);
  if (!win || hung_.count(win->thread) != 0) return false;
  RunQueued(win->thread);
  return true;
}

void FakeWindowSystem::ShowAsync(WindowId w) {
  Deliver(Call::kShowAsync, "ws.ShowAsync ", w, true, [this, w] { ApplyShow(w, true); });
}

void FakeWindowSystem::ShowNoActivateAsync(WindowId w) {
  Deliver(Call::kShowNoActivateAsync, "ws.ShowNAAsync ", w, true,
          [this, w] { ApplyShow(w, false); });
}

bool FakeWindowSystem::HideAsync(WindowId w) {
  Window* win = Find(w);
  if (win && win->elevated) return false;  // access denied
  Deliver(Call::kHideAsync, "ws.HideAsync ", w, true, [this, w] { ApplyHide(w); });
  return true;
}

// Runs the effect on an existing window now or, if `async`, when its thread next takes messages.
// A direct call is a sent message: it is taken before anything the thread still has queued.
void FakeWindowSystem::Deliver(Call call, const char* name, WindowId w, bool async,
                               std::function<void()> effect) {
  log_.push_back(LogEntry{call, w});
  Note(name + TitleOf(w));
  Window* win = Find(w);
  if (!win) return;
  if (async) {
    queued_.emplace_back(win->thread, [this, w, effect] {
      if (Find(w)) effect();
    });
    return;
  }
  if (hung_.count(win->thread) != 0) ++waitsOnHung_;  // it returns once the thread wakes
  Wait();
  if (Find(w)) effect();
}

// A hook is out of the list while it runs, so a wait inside it does not run it again.
void FakeWindowSystem::Wait() {
  std::vector<std::function<bool()>> running, kept;
  running.swap(hooks_);
  for (auto& hook : running) {
    if (!hook()) kept.push_back(std::move(hook));
  }
  hooks_.insert(hooks_.begin(), kept.begin(), kept.end());
}

// SW_SHOW and SW_SHOWNA bring a hidden window up on top; only SW_SHOW activates it.
void FakeWindowSystem::ApplyShow(WindowId w, bool activate) {
  Window* win = Find(w);
  if (!win || win->visible || win->elevated) return;
  win->visible = win->heardVisible = true;
  Raise(w);
  if (activate) SetActive(w);
}

void FakeWindowSystem::ApplyHide(WindowId w) {
  Window* win = Find(w);
  if (!win || win->elevated) return;
  win->visible = win->heardVisible = false;
  if (active_ != w) return;
  WindowId next = 0;
  for (auto it = std::next(place_.at(w)); it != zorder_.end() && !next; ++it) {
    if (windows_.at(*it).visible) next = *it;
  }
  SetActive(next);
}

void FakeWindowSystem::SetActive(WindowId w) {
  if (active_ == w) return;
  active_ = w;
  ++activationChanges_;
}

void FakeWindowSystem::Raise(WindowId w) {
  zorder_.splice(zorder_.begin(), zorder_, place_.at(w));
}

FakeWindowSystem::Window* FakeWindowSystem::Find(WindowId w) {
  auto it = windows_.find(w);
  return it == windows_.end() ? nullptr : &it->second;
}
