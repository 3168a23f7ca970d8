// Window rules at work. Windows appear as under Wine: created hidden and untitled, then shown and
// titled by their program, with only the creation told.
#include "test_support.h"

namespace vt {
namespace {

class Rules : public Running {
 protected:
  // Rule n: Program, Title, Desktop, and Pin and Follow when not 0.
  void Rule(int n, std::string program, std::string title, std::string desktop, char pin = 0,
            char follow = 0) {
    const std::string key = "Software\\veilswitcher\\rules\\" + std::to_string(n);
    for (auto [name, text] : {std::pair<const char*, std::string>{"Program", program},
                              {"Title", title},
                              {"Desktop", desktop}})
      h.store.Seed(key, name, kSz, text);
    if (pin || follow) h.store.Seed(key, "Pin", 4, std::string{pin, 0, 0, 0});
    if (follow) h.store.Seed(key, "Follow", 4, std::string{follow, 0, 0, 0});
  }
  WindowId Appear(const std::string& program, const std::string& title, WindowId owner = 0) {
    const WindowId w = h.windows.Open("", false);
    h.windows.SetProgram(w, program);
    h.windows.SetOwner(w, owner);
    h.events.Advance(40);
    h.windows.SetTitle(w, title);
    h.windows.SetVisibleByOwner(w, true);
    return w;
  }
  // "2-": on desktop 2's list and hidden; "pin"; "+": visible on no list.
  std::string Where(WindowId w) {
    if (h.app().IsPinned(w)) return "pin";
    for (const auto& [n, desk] : h.app().Table())
      for (const WindowEntry& e : desk.windows)
        if (e.window == w) return std::to_string(n) + (h.windows.IsVisible(w) ? "+" : "-");
    return h.windows.IsVisible(w) ? "+" : "-";
  }
  void TearDown() override { EXPECT_TRUE(h.boxes.Boxes().empty()); }
};

// Owned windows go with their owner, and the rule that would catch them alone never acts.
TEST_F(Rules, TheFirstMatchWinsOnNewWindowsOnlyAndOwnedOnesGoWithTheirOwner) {
  Rule(1, "", "Attach", "Three");
  Rule(2, "mail.exe", "", "Two");
  Rule(3, "*.exe", "", "Three");
  const WindowId before = h.windows.Open("Old mail");
  h.windows.SetProgram(before, "mail.exe");
  StartWith();
  const WindowId mail = Appear("MAIL.EXE", "Inbox"), other = Appear("x.exe", "Other");
  const WindowId attach = Appear("mail.exe", "Attach", mail), old = Appear("", "Attach", before);
  h.events.Advance(150);
  EXPECT_EQ(Where(mail) + Where(attach) + Where(other) + Where(before) + Where(old), "2-2-3-++");
  h.events.Advance(10000);
  EXPECT_FALSE(h.events.TimerRunning());
}

TEST_F(Rules, ATitleMatchesWhenItChangesWithinTenSecondsNotAfterAndTheUserMayMoveItBack) {
  Rule(1, "", "Inbox*", "Two");
  StartWith();
  const WindowId early = Appear("m.exe", "Loading..."), late = Appear("m.exe", "Loading...");
  h.events.Advance(5000);
  h.windows.SetTitle(early, "Inbox - 3 new");
  h.events.Advance(150);
  EXPECT_EQ(Where(early), "2-");
  h.events.Advance(5000);
  h.windows.SetTitle(late, "Inbox");
  h.events.Advance(1000);
  EXPECT_EQ(Where(late), "+");
  h.app().SwitchToDesktop(2);
  h.windows.ClickOn(early);
  ASSERT_TRUE(h.app().SendForegroundWindow(1, true));
  h.windows.SetTitle(early, "Inbox - 4 new");
  h.events.Advance(500);
  EXPECT_EQ(Where(early), "1+");
}

// One window followed by the timer from before the switch, one whose change is told.
TEST_F(Rules, WindowsAppearingInTheMiddleOfASwitchWaitForItsEnd) {
  Rule(1, "mail.exe", "", "Three");
  StartWith();
  h.app().SwitchToDesktop(2);
  const WindowId two = h.windows.Open("On two");
  h.app().SwitchToDesktop(1);
  const WindowId timed = Appear("mail.exe", "");
  WindowId told = 0;
  h.windows.WhileWaiting([&] {
    if (!h.windows.IsVisible(two)) return false;  // the show phase
    h.windows.SetTitle(timed, "Inbox");
    h.events.Advance(300);
    h.events.TellChangesToo(true);
    told = Appear("mail.exe", "Drafts");
    EXPECT_EQ(Where(timed) + Where(told) + (h.app().InOperation() ? "busy" : ""), "++busy");
    return true;
  });
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(Where(timed) + Where(told) + Where(two), "3-3-2+");
}

TEST_F(Rules, RenamingCarriesRulesADeletedDesktopsDoNothingNorDoMalformedOnes) {
  Rule(1, "", "Mail", "two");
  Rule(2, "", "", "Two");
  h.store.Seed("Software\\veilswitcher\\rules\\3", "Title", 4, "xxxx");
  h.store.Seed("Software\\veilswitcher\\rules\\01", "Title", kSz, "*");
  StartWith();
  ASSERT_TRUE(h.app().SetDesktopName(2, "Post"));
  EXPECT_EQ(h.store.Find("Software\\veilswitcher\\rules\\1", "Desktop")->data, "Post");
  const WindowId first = Appear("a.exe", "Mail");
  h.events.Advance(150);
  ASSERT_TRUE(h.app().DeleteDesktop(2));
  const WindowId second = Appear("a.exe", "Mail");
  h.events.Advance(11000);
  EXPECT_EQ(Where(first) + Where(second), "1++");  // the first came back with its desktop
  ASSERT_TRUE(SaveRules(h.store, {}));
  h.app().RulesChanged();
  EXPECT_FALSE(h.events.CreationHooked());
}

// However long the dialog stays open, the rule acts once it has closed.
TEST_F(Rules, AnOpenDialogDelaysAPin) {
  Rule(1, "", "Chat", "Three", 1);
  StartWith();
  WindowId chat = 0;
  h.dialogs.onOptions = [&](CVirtualDeskApp&) {
    chat = Appear("c.exe", "Chat");
    h.events.Advance(12000);
    EXPECT_EQ(Where(chat), "+");
  };
  std::intptr_t result = 0;
  h.app().OnWindowMessage(msg::kTrayNotify, 0, msg::kLButtonDown, &result);
  h.events.Advance(150);
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(Where(chat) + (h.windows.IsVisible(chat) ? " shown" : ""), "pin shown");
}

TEST_F(Rules, FollowSwitchesThereAndActivatesItAndAnElevatedWindowIsLeftAlone) {
  Rule(1, "admin.exe", "", "Two", 0, 1);
  Rule(2, "", "Chat", "Three", 0, 1);
  StartWith(WithNotice());
  const WindowId admin = h.windows.Open("", false);
  h.windows.SetProgram(admin, "admin.exe");
  h.windows.SetElevated(admin);
  h.windows.SetTitle(admin, "Admin");
  h.windows.SetVisibleByOwner(admin, true);
  h.events.Advance(2000);
  EXPECT_FALSE(h.events.TimerRunning());  // tried once, never again
  EXPECT_EQ(Where(admin) + std::to_string(h.app().CurrentDesktop()), "+1");
  const WindowId chat = Appear("c.exe", "Chat");
  h.events.Advance(150);
  EXPECT_EQ(h.app().CurrentDesktop(), 3);
  EXPECT_EQ(h.windows.ForegroundWindow(), chat);
  EXPECT_EQ(h.notice.ShownTexts(), Strings{"Three"});
}

}  // namespace
}  // namespace vt
