#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "desktops/window_system.h"
#include "rules/window_events.h"
#include "rules/window_rules.h"

// What the rules need of the program around them.
class RuleHost {
 public:
  enum Outcome { kNothing, kMoved, kPinned };
  virtual ~RuleHost() = default;
  // Whether a switch would capture w now and w owns its group.
  virtual bool Capturable(WindowId w) = 0;
  // True while a dialog, box or menu of the program is open: rules wait for it to close.
  virtual bool Busy() = 0;
  // Sends or pins w (with the windows it owns) as `rule` says; without `mayFollow` the view stays.
  virtual Outcome Apply(WindowId w, const WindowRule& rule, bool mayFollow) = 0;
};

// Which windows the rules are tried on and when. A window is followed from its creation for
// kFollowWindowMs: tried whenever it may have changed (shown, retitled, or at each tick of the
// follow timer where the system tells of neither) until a rule matches it or its time is over.
// Once matched it is never followed again, so a window the user moves back stays. Windows that
// existed before are never followed: only the creations the program hears of start it.
class RuleEngine {
 public:
  static constexpr std::uint32_t kFollowWindowMs = 10000;

  RuleEngine(WindowSystem& ws, WindowEvents& events, RuleHost& host);
  // Rules tried in order, their program and title patterns in UTF-8 as the window system gives
  // programs and titles, the class pattern in the 8-bit text class names come in. Windows are
  // watched only while there is a rule.
  void SetRules(std::vector<WindowRule> rules);
  void Stop();  // no more watching, whatever the rules
  bool Watching() const { return watching_; }
  std::size_t FollowedCount() const { return followed_.size(); }

  void OnEvent(std::uintptr_t event, WindowId w);
  void OnTimer();

  // /apply: each window of `roots` (top-down) that is still capturable is tried once, whether or
  // not a rule acted on it before; no rule takes the view along. `followTo` gets the desktop name
  // of the last window sent by a rule with Follow.
  struct Tally {
    int moved = 0;
    int pinned = 0;
    bool follow = false;
    std::string followTo;
  };
  Tally ApplyOnce(const std::vector<WindowId>& roots);

 private:
  struct Followed {
    WindowId window = 0;
    std::uint32_t until = 0;
    std::string tried;  // the title last tried, so that an unchanged window is not tried again
    bool triedOnce = false;
  };
  Followed* Find(WindowId w);
  void Forget(WindowId w);
  void Created(WindowId w);
  void Try(WindowId w);
  const WindowRule* Match(WindowId w, std::string* title);
  void ExpireAndRefollow();
  bool Expired(const Followed& f, std::uint32_t now) const;

  WindowSystem& ws_;
  WindowEvents& events_;
  RuleHost& host_;
  std::vector<WindowRule> rules_;
  std::vector<Followed> followed_;  // a few at a time: windows appear one by one
  bool watching_ = false;
  bool following_ = false;
};
