// Probing a modal dialog from inside its own loop. DialogBoxParamA does not come back until the
// dialog ends, so a test cannot look at the dialog from outside; a thread timer, whose ticks the
// modal loop dispatches like any other message (nested loops too), runs the test's steps instead.
// Each step waits for its condition. A step that waits too long, or a dialog left open after the
// last step, fails the test and ends every dialog of the thread, so a fault cannot hang the suite.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>

namespace modal_probe {

// What a dialog ended by the safety net hands back.
constexpr INT_PTR kGaveUp = 4242;

// Wine without a display creates no window; the suites that need one skip, saying why.
inline bool CanCreateWindows() {
  HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  if (probe == nullptr) return false;
  DestroyWindow(probe);
  return true;
}
constexpr char kNoDisplay[] = "no window could be created: run under Wine with DISPLAY set (Xvfb)";

inline std::string TextOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

inline bool IsDialog(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof(name));
  return std::string(name) == "#32770";
}

namespace detail {
struct Search {
  const char* title;  // null: any dialog
  HWND found;
};
inline BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!IsDialog(window)) return TRUE;
  if (search->title != nullptr && TextOf(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}
inline BOOL CALLBACK EndEveryDialog(HWND window, LPARAM) {
  if (IsDialog(window)) EndDialog(window, kGaveUp);
  return TRUE;
}
}  // namespace detail

// A dialog of this thread with that title, shown or not; null when there is none.
inline HWND FindDialog(const char* title) {
  detail::Search search{title, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), detail::MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Shown and painted. The dialog manager shows a dialog once its queue first runs dry, and a
// pending paint is handled before any timer fires.
inline bool Settled(HWND window) {
  return window != nullptr && IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE);
}

class Script {
 public:
  using Ready = std::function<bool()>;
  using Action = std::function<void()>;

  // Runs `action` at the first tick at which `ready` holds, once every earlier step has run.
  Script& When(std::string what, Ready ready, Action action) {
    steps_.push_back(Step{std::move(what), std::move(ready), std::move(action)});
    return *this;
  }
  // Runs `action` at the next tick. A timer fires only when nothing else is queued, so whatever
  // the earlier steps posted has been handled by then.
  Script& Then(std::string what, Action action) {
    return When(
        std::move(what), [] { return true; }, std::move(action));
  }

  // Runs `modal`, which enters a modal loop, with the steps ticking inside it; `patienceMs` is
  // how long one step may wait. False (with a failure added) when a step never ran.
  bool Run(const std::function<void()>& modal, DWORD patienceMs = 8000) {
    patience_ = patienceMs;
    gaveUp_ = false;
    lastProgress_ = GetTickCount();
    Script* outer = active_;
    active_ = this;
    UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, Tick);
    modal();
    KillTimer(nullptr, timer);
    active_ = outer;
    bool finished = steps_.empty();
    if (!finished)
      ADD_FAILURE() << "the modal loop ended before this step: " << steps_.front().what;
    steps_.clear();
    return finished && !gaveUp_;
  }

 private:
  static constexpr UINT kTickMs = 20;
  struct Step {
    std::string what;
    Ready ready;
    Action action;
  };

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (active_ != nullptr) active_->OnTick();
  }

  // The step leaves the queue before it acts: an action that opens a nested modal loop keeps
  // the later steps ticking inside it.
  void OnTick() {
    if (steps_.empty() || !steps_.front().ready()) {
      if (GetTickCount() - lastProgress_ > patience_) GiveUp();
      return;
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    step.action();
    lastProgress_ = GetTickCount();
  }

  void GiveUp() {
    if (steps_.empty()) {
      ADD_FAILURE() << "a dialog was still open " << patience_ << " ms after the last step";
    } else {
      ADD_FAILURE() << "gave up after " << patience_ << " ms waiting for: " << steps_.front().what;
    }
    steps_.clear();
    gaveUp_ = true;
    lastProgress_ = GetTickCount();
    EnumThreadWindows(GetCurrentThreadId(), detail::EndEveryDialog, 0);
  }

  std::deque<Step> steps_;
  DWORD lastProgress_ = 0;
  DWORD patience_ = 0;
  bool gaveUp_ = false;
  static inline Script* active_ = nullptr;
};

// Conditions for a step: the dialog with that title shown and painted, or ended.
inline Script::Ready Shown(const char* title) {
  return [title] { return Settled(FindDialog(title)); };
}
inline Script::Ready Gone(const char* title) {
  return [title] { return FindDialog(title) == nullptr; };
}

// A key the dialog manager reads from the queue in IsDialogMessage, whoever posted it.
inline void PostKey(HWND control, WPARAM key) {
  PostMessageA(control, WM_KEYDOWN, key, 1);
  PostMessageA(control, WM_KEYUP, key, 0xC0000001);
}

}  // namespace modal_probe
