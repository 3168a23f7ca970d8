#include "rules/rule_engine.h"

#include <algorithm>
#include <utility>

namespace {
// Longer titles than this are matched on their beginning; a pattern ending in * still matches.
constexpr int kTitleBuffer = 512;
}  // namespace

RuleEngine::RuleEngine(WindowSystem& ws, WindowEvents& events, RuleHost& host)
    : ws_(ws), events_(events), host_(host) {}

RuleEngine::Followed* RuleEngine::Find(WindowId w) {
  for (Followed& f : followed_) {
    if (f.window == w) return &f;
  }
  return nullptr;
}

void RuleEngine::Forget(WindowId w) {
  followed_.erase(std::remove_if(followed_.begin(), followed_.end(),
                                 [w](const Followed& f) { return f.window == w; }),
                  followed_.end());
}

void RuleEngine::SetRules(std::vector<WindowRule> rules) {
  rules_ = std::move(rules);
  if (rules_.empty()) {
    Stop();
  } else if (!watching_) {
    watching_ = events_.WatchCreation(true);
  }
}

void RuleEngine::Stop() {
  if (watching_) events_.WatchCreation(false);
  watching_ = false;
  followed_.clear();
  ExpireAndRefollow();
}

void RuleEngine::OnEvent(std::uintptr_t event, WindowId w) {
  if (!watching_) return;
  if (event == WindowEvents::kCreated) {
    Created(w);
  } else if (!host_.Busy()) {
    Try(w);
  }
  ExpireAndRefollow();
}

// A handle created again names a new window.
void RuleEngine::Created(WindowId w) {
  Forget(w);
  followed_.push_back(Followed{w, events_.Now() + kFollowWindowMs, std::string(), false});
  if (!host_.Busy()) Try(w);
}

// What arrives while the program's dialogs are open is tried once they have closed, even when
// the window's time ran out meanwhile.
void RuleEngine::OnTimer() {
  if (!watching_) return ExpireAndRefollow();
  if (host_.Busy()) return;
  std::vector<WindowId> ids;
  for (const Followed& f : followed_) ids.push_back(f.window);
  for (WindowId w : ids) Try(w);  // a rule acting lets messages in: each is looked up again
  ExpireAndRefollow();
}

// An owned window belongs to its owner's group: it goes where its owner goes and is never matched
// on its own.
void RuleEngine::Try(WindowId w) {
  Followed* followed = Find(w);
  if (followed == nullptr) return;
  if (!ws_.Exists(w) || ws_.RootOwner(w) != w) return Forget(w);
  if (!host_.Capturable(w)) return;
  std::string title;
  const WindowRule* rule = Match(w, &title);
  if (rule == nullptr) {
    followed->tried = std::move(title);
    followed->triedOnce = true;
    return;
  }
  const WindowRule matched = *rule;
  Forget(w);
  host_.Apply(w, matched, true);
}

const WindowRule* RuleEngine::Match(WindowId w, std::string* title) {
  *title = ws_.ReadTitle(w, kTitleBuffer);
  const Followed* followed = Find(w);
  if (followed != nullptr && followed->triedOnce && followed->tried == *title) return nullptr;
  const WindowFacts facts{ws_.ProgramOf(w), ws_.ClassOf(w), *title};
  return FirstMatch(rules_, facts);
}

bool RuleEngine::Expired(const Followed& f, std::uint32_t now) const {
  return static_cast<std::int32_t>(now - f.until) >= 0;
}

// The timer and the change hooks run only while some window is followed.
void RuleEngine::ExpireAndRefollow() {
  if (!followed_.empty() && !host_.Busy()) {
    const std::uint32_t now = events_.Now();
    followed_.erase(std::remove_if(followed_.begin(), followed_.end(),
                                   [&](const Followed& f) { return Expired(f, now); }),
                    followed_.end());
  }
  const bool want = !followed_.empty();
  if (want == following_) return;
  following_ = want;
  events_.Follow(want);
}

RuleEngine::Tally RuleEngine::ApplyOnce(const std::vector<WindowId>& roots) {
  Tally tally;
  for (WindowId w : roots) {
    if (!host_.Capturable(w)) continue;  // gone, or sent along with a window before it
    Forget(w);
    std::string title;
    const WindowRule* rule = Match(w, &title);
    if (rule == nullptr) continue;
    const WindowRule matched = *rule;
    const RuleHost::Outcome outcome = host_.Apply(w, matched, false);
    if (outcome == RuleHost::kPinned) ++tally.pinned;
    if (outcome != RuleHost::kMoved) continue;
    ++tally.moved;
    if (matched.follow) tally.follow = true, tally.followTo = matched.desktop;
  }
  ExpireAndRefollow();
  return tally;
}
