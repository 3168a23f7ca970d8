#include <gtest/gtest.h>

#include "rules/rule_rows.h"
#include "test_support.h"

namespace vt {
namespace {

// The mark needs both halves: some pattern to match and a desktop (or a pin) to act on.
TEST(RuleRows, MarkOnlyRulesThatCanNeverActAndNamePinsEveryDesktop) {
  FakeSettingsStore store;
  const auto row = [&](const WindowRule& rule) {
    return RuleRowTexts(rule, {"Mail", "Chat"}, [&](const std::string& a, const std::string& b) {
      return store.SameValueName(a, b);
    });
  };
  EXPECT_EQ(row({"m.exe", "", "", "mail", false, true}), (Strings{"m.exe", "", "", "mail", "yes"}));
  EXPECT_EQ(row({"", "C*", "?", "Gone", true}), (Strings{"", "C*", "?", "every desktop", ""}));
  EXPECT_EQ(row({"x.exe", "", "", "Gone"}), (Strings{"(never acts) x.exe", "", "", "Gone", ""}));
  EXPECT_EQ(row({"", "", "", "Mail"}), (Strings{"(never acts) ", "", "", "Mail", ""}));
}

// Desktop 1 holds a hidden window; desktop 2 shows one that owns a dialog, and a pinned one.
TEST_F(Running, OpenWindowsAreTheUnownedVisibleOnesThenEveryOtherDesktops) {
  StartWith();
  const WindowId away = h.windows.Open("Away");
  const std::string plain = h.windows.ProgramOf(away) + "|" + h.windows.ClassOf(away);
  h.app().SwitchToDesktop(2);
  const Ids here = h.OpenWindows({"Pinned", "Editor", "Find"});
  h.windows.SetOwner(here[2], here[1]);
  h.windows.SetProgram(here[1], "ed.exe");
  h.windows.SetOwnerAndClass(here[1], h.windows.ProcessOf(here[1]), "EdWnd");
  h.windows.ClickOn(here[0]);
  ASSERT_TRUE(h.app().TogglePinForeground());
  Strings listed;
  for (const OpenWindow& w : h.app().OpenWindows())
    listed.push_back(w.title + "|" + w.program + "|" + w.windowClass);
  EXPECT_EQ(listed, (Strings{"Pinned|" + plain, "Editor|ed.exe|EdWnd", "Away|" + plain}));
}

}  // namespace
}  // namespace vt
