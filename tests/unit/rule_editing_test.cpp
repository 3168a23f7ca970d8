#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "rules/rule_rows.h"
#include "test_support.h"

namespace vt {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// The mark needs both halves: some pattern to match and a desktop (or a pin) to act on.
TEST(RuleRows, MarkOnlyRulesThatCanNeverActAndNamePinsEveryDesktop) {
  const Strings names = {"Mail", "Chat"};
  const SameDesktopName same = [](const std::string& a, const std::string& b) {
    return Lower(a) == Lower(b);
  };
  const struct {
    WindowRule rule;
    Strings row;
  } cases[] = {
      {{"mail.exe", "", "", "mail", false, true}, {"mail.exe", "", "", "mail", "yes"}},
      {{"", "Chat*", "?", "Gone", true, false}, {"", "Chat*", "?", "every desktop", ""}},
      {{"x.exe", "", "", "Gone", false, false}, {"(never acts) x.exe", "", "", "Gone", ""}},
      {{"x.exe", "", "", "", false, true}, {"(never acts) x.exe", "", "", "", "yes"}},
      {{"", "", "", "Mail", true, false}, {"(never acts) ", "", "", "every desktop", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(RuleRowTexts(c.rule, names, same), c.row);
}

// Desktop 1 holds a hidden window; desktop 2 shows one that owns a dialog, and a pinned one.
TEST_F(Running, OpenWindowsAreTheUnownedVisibleOnesThenEveryOtherDesktops) {
  StartWith();
  const WindowId away = h.windows.Open("Away");
  h.windows.SetProgram(away, "far.exe");
  h.app().SwitchToDesktop(2);
  const Ids here = h.OpenWindows({"Pinned", "Editor", "Find"});
  h.windows.SetOwner(here[2], here[1]);
  h.windows.SetProgram(here[1], "ed.exe");
  h.windows.SetOwnerAndClass(here[1], h.windows.ProcessOf(here[1]), "EdWnd");
  h.windows.ClickOn(here[0]);
  ASSERT_TRUE(h.app().TogglePinForeground());
  std::vector<std::string> listed;
  for (const OpenWindow& w : h.app().OpenWindows())
    listed.push_back(w.title + "|" + w.program + "|" + w.windowClass);
  const std::string plain = h.windows.ClassOf(away);
  const std::string program = h.windows.ProgramOf(here[0]);
  EXPECT_EQ(listed, (Strings{"Pinned|" + program + "|" + plain, "Editor|ed.exe|EdWnd",
                             "Away|far.exe|" + plain}));
}

}  // namespace
}  // namespace vt
