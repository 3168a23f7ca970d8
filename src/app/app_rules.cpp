// Window rules: where the rule engine meets the desktops. The engine decides which window a rule
// acts on and when; acting is a send or a pin like the hotkeys'.
#include "app/virtual_desk_app.h"
#include "desktops/window_capture.h"
#include "desktops/window_system.h"

// The store keeps the program's 8-bit text, as class names come; titles and programs' names are
// UTF-8.
void CVirtualDeskApp::RulesChanged() {
  std::vector<WindowRule> rules = LoadRules(p_.store);
  for (WindowRule& rule : rules) {
    rule.program = p_.process.ToUtf8(rule.program);
    rule.title = p_.process.ToUtf8(rule.title);
  }
  rules_.SetRules(std::move(rules));
}

// Events and ticks run as an operation: what a rule's send lets in waits for its end.
bool CVirtualDeskApp::OnRulesMessage(std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam) {
  if (message == msg::kWindowEvent) {
    RunOperation([&] { rules_.OnEvent(wParam, static_cast<WindowId>(lParam)); });
    return true;
  }
  if (message != msg::kTimer || wParam != WindowEvents::kFollowTimerId) return false;
  RunOperation([&] { rules_.OnTimer(); });
  return true;
}

bool CVirtualDeskApp::Capturable(WindowId w) {
  DesktopInfo alone;
  return p_.windows.RootOwner(w) == w && TakeAlone(w, &alone);
}

// A rule naming no desktop there is, or the one in view, sends nothing.
RuleHost::Outcome CVirtualDeskApp::Apply(WindowId w, const WindowRule& rule, bool mayFollow) {
  if (rule.pin) return PinWindow(w) ? kPinned : kNothing;
  const DesktopNumber target = DesktopCalled(rule.desktop);
  return SendWindow(w, target, mayFollow && rule.follow) ? kMoved : kNothing;
}

// The rules as stored now, on what the current desktop shows; a rule with Follow takes the view
// along only after the answer, to the desktop of the last window it sent.
Reply CVirtualDeskApp::ApplyRulesCommand(DesktopNumber* then) {
  RulesChanged();
  DesktopInfo visible;
  CollectWindows(visible);
  WindowIds roots;
  for (const WindowEntry& e : visible.windows) {
    if (p_.windows.RootOwner(e.window) == e.window) roots.push_back(e.window);
  }
  const RuleEngine::Tally tally = rules_.ApplyOnce(roots);
  if (tally.follow) *then = DesktopCalled(tally.followTo);
  return Reply{kExitDone, std::to_string(tally.moved) + " moved, " + std::to_string(tally.pinned) +
                              " pinned\n"};
}
