#pragma once

#include <functional>
#include <list>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "desktops/window_system.h"
#include "fakes/timeline.h"

// Top-level windows in z-order, with the window system's semantics: a destroyed window is gone
// from the walk and every call on it does nothing; hiding keeps a window's place in z-order;
// showing a hidden window with SW_SHOW raises and activates it, hiding the active one hands
// activation to the next visible window down. Asynchronous calls wait in their thread's queue
// until it next takes a message (a probe of a thread that takes none leaves them there); a thread
// can stop taking messages until it is woken, and a call that would wait on it is counted. A
// direct call is a sent message and overtakes what is still queued. Only the ShowWindow calls
// make a window hear WM_SHOWWINDOW. An elevated program's window refuses every show and hide.
// While the program waits (a probe, a settle, a direct call), messages sent to it are handled:
// the hooks given to WhileWaiting run then.
class FakeWindowSystem : public WindowSystem, public TimelineSource {
 public:
  enum class Call {
    kShow,
    kHide,
    kActivate,
    kBringToFront,
    kShowAsync,
    kHideAsync,
    kShowNoActivate,
    kShowNoActivateAsync
  };
  struct LogEntry {
    Call call;
    WindowId window;
    bool operator==(const LogEntry& o) const { return call == o.call && window == o.window; }
  };

  // A new window appears on top of the z-order, as a freshly created one does.
  WindowId Open(const std::string& title, bool visible = true, std::uint32_t thread = 1);
  void Destroy(WindowId w);
  void SetTitle(WindowId w, const std::string& title);
  // The window's own program shows or hides it; not one of the logged calls.
  void SetVisibleByOwner(WindowId w, bool visible);
  void SetCloaked(WindowId w, bool cloaked);
  void Hang(std::uint32_t thread) { hung_.insert(thread); }
  void Wake(std::uint32_t thread);  // runs what was queued for it, in order
  // The handle now names a window of this process and class: another program's, once reused.
  void SetOwnerAndClass(WindowId w, std::uint32_t process, const std::string& cls);
  // `owned` is owned by `owner` (a tool window or dialog of it); 0 makes it unowned.
  void SetOwner(WindowId owned, WindowId owner);
  // The user clicks a window: it comes to the top and becomes active and foreground.
  void ClickOn(WindowId w);
  // Its program, still restacking windows shown a moment before, raises w to the top at the next
  // step of a walk: a walk already past the top misses it.
  void RaiseDuringWalk(WindowId w) { raiseDuringWalk_ = w; }
  void SetElevated(WindowId w);
  // Told of every window opened (true), and of every one shown or retitled by its program.
  void Observe(std::function<void(WindowId, bool)> observer) { observer_ = std::move(observer); }
  // What a peek at the queue does too: messages sent to the program meanwhile are handled.
  void HandleSentMessages() { Wait(); }
  // Runs `hook` at every wait of the program from now on, until it answers true.
  void WhileWaiting(std::function<bool()> hook) { hooks_.push_back(std::move(hook)); }
  // The visibility the window's program last heard of through WM_SHOWWINDOW.
  bool HeardVisible(WindowId w) const;

  // Calls that would have waited on a thread that takes no messages.
  int WaitsOnHungThreads() const { return waitsOnHung_; }
  int ProbesSent() const { return probes_; }
  int ActivationChanges() const { return activationChanges_; }
  std::vector<WindowId> ZOrder() const;  // existing windows, top first
  std::string TitleOf(WindowId w) const;
  WindowId ActiveWindow() const { return active_; }
  WindowId ForegroundWindow() const { return foreground_; }
  const std::vector<LogEntry>& Log() const { return log_; }
  std::vector<WindowId> CallsOf(Call call) const;  // the windows of one kind of call, in order
  void ClearLog() { log_.clear(); }

  WindowId FirstWindow(WindowId from) override;
  WindowId NextWindow(WindowId w) override;
  std::string ReadTitle(WindowId w, int bufferChars) override;
  int TitleLength(WindowId w) override;
  bool IsVisible(WindowId w) override;
  bool Exists(WindowId w) override;
  void Show(WindowId w) override;
  void Hide(WindowId w) override;
  void Activate(WindowId w) override;
  void BringToFront(WindowId w) override;
  bool IsCloaked(WindowId w) override;
  std::uint32_t ThreadOf(WindowId w) override;
  bool Answers(WindowId w) override;
  bool Settle(WindowId w) override;
  void ShowAsync(WindowId w) override;
  void ShowNoActivate(WindowId w) override;
  void ShowNoActivateAsync(WindowId w) override;
  bool HideAsync(WindowId w) override;
  std::uint32_t ProcessOf(WindowId w) override { return Exists(w) ? windows_[w].process : 0; }
  std::string ClassOf(WindowId w) override { return Exists(w) ? windows_[w].windowClass : ""; }
  std::string ProgramOf(WindowId w) override { return Exists(w) ? windows_[w].program : ""; }
  void SetProgram(WindowId w, const std::string& program) { windows_[w].program = program; }
  // Activation follows hides and shows here, so the active window is the one the user is in.
  WindowId Foreground() override { return active_; }
  WindowId RootOwner(WindowId w) override;

 private:
  struct Window {
    std::string title;
    bool visible = false;
    bool cloaked = false;
    bool heardVisible = false;
    bool elevated = false;
    std::uint32_t thread = 1;
    std::uint32_t process = 0x4d0;  // every window's program, until a test says otherwise
    std::string windowClass = "TestWindow";
    std::string program = "test.exe";
    WindowId owner = 0;
  };
  Window* Find(WindowId w);
  // Logs the call; a synchronous one on a hung thread counts as a wait.
  void Deliver(Call call, const char* name, WindowId w, bool async, std::function<void()> effect);
  void RunQueued(std::uint32_t thread);  // what the thread does when it next takes messages
  void Wait();                           // messages sent to the program meanwhile are handled
  void ApplyShow(WindowId w, bool activate);
  void ApplyHide(WindowId w);
  void SetActive(WindowId w);
  void Raise(WindowId w);

  std::map<WindowId, Window> windows_;  // existing windows only
  std::list<WindowId> zorder_;          // top first
  // Where each window stands in zorder_, so that a walk step costs what it does on the system.
  std::unordered_map<WindowId, std::list<WindowId>::iterator> place_;
  std::vector<LogEntry> log_;
  WindowId nextId_ = 0x10010;
  WindowId active_ = 0;
  WindowId foreground_ = 0;
  std::set<std::uint32_t> hung_;
  std::vector<std::pair<std::uint32_t, std::function<void()>>> queued_;
  int waitsOnHung_ = 0;
  int probes_ = 0;
  int activationChanges_ = 0;
  std::vector<std::function<bool()>> hooks_;
  WindowId raiseDuringWalk_ = 0;
  std::function<void(WindowId, bool)> observer_;
};
