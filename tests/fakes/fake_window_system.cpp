#include "fakes/fake_window_system.h"

#include <iterator>

WindowId FakeWindowSystem::Open(const std::string& title, bool visible) {
  WindowId id = nextId_;
  nextId_ += 0x20;
  windows_[id] = Window{title, visible};
  zorder_.push_front(id);
  place_[id] = zorder_.begin();
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
  if (Window* win = Find(w)) win->title = title;
}

void FakeWindowSystem::SetVisibleByOwner(WindowId w, bool visible) {
  if (Window* win = Find(w)) win->visible = visible;
}

void FakeWindowSystem::SetOwnerAndClass(WindowId w, std::uint32_t process, const std::string& cls) {
  if (Window* win = Find(w)) *win = Window{win->title, win->visible, process, cls};
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
  auto at = place_.find(w);
  if (at == place_.end()) return 0;
  auto next = std::next(at->second);
  return next == zorder_.end() ? 0 : *next;
}

std::string FakeWindowSystem::ReadTitle(WindowId w, int bufferChars) {
  Window* win = Find(w);
  if (!win || bufferChars <= 0) return std::string();
  return win->title.substr(0, static_cast<std::size_t>(bufferChars - 1));
}

int FakeWindowSystem::TitleLength(WindowId w) {
  Window* win = Find(w);
  return win ? static_cast<int>(win->title.size()) : 0;
}

bool FakeWindowSystem::IsVisible(WindowId w) {
  Window* win = Find(w);
  return win && win->visible;
}

bool FakeWindowSystem::Exists(WindowId w) {
  return Find(w) != nullptr;
}

void FakeWindowSystem::Show(WindowId w) {
  Record(Call::kShow, w, "ws.Show ");
  if (Window* win = Find(w)) win->visible = true;
}

void FakeWindowSystem::Hide(WindowId w) {
  Record(Call::kHide, w, "ws.Hide ");
  if (Window* win = Find(w)) win->visible = false;
}

void FakeWindowSystem::Activate(WindowId w) {
  Record(Call::kActivate, w, "ws.Activate ");
  if (Find(w)) active_ = w;
}

// SetForegroundWindow raises the window to the top of the z-order.
void FakeWindowSystem::BringToFront(WindowId w) {
  Record(Call::kBringToFront, w, "ws.BringToFront ");
  if (!Find(w)) return;
  foreground_ = w;
  active_ = w;
  zorder_.splice(zorder_.begin(), zorder_, place_.at(w));
}

FakeWindowSystem::Window* FakeWindowSystem::Find(WindowId w) {
  auto it = windows_.find(w);
  return it == windows_.end() ? nullptr : &it->second;
}

void FakeWindowSystem::Record(Call call, WindowId w, const char* name) {
  log_.push_back(LogEntry{call, w});
  Note(name + TitleOf(w));
}
