// Window rules at work: which new windows they act on, when, and what the rest of the program
// does meanwhile. Windows appear as under Wine: created hidden and untitled, shown and titled by
// their program afterwards, with only the creation told.
#include "test_support.h"

namespace vt {
namespace {

constexpr const char* kRules = "Software\\veilswitcher\\rules\\";
constexpr std::uint32_t kDword = 4;

class Rules : public Running {
 protected:
  // Rule n as "Program|Title|Desktop", with Pin and Follow when given.
  void Rule(int n, const std::string& program, const std::string& title, const std::string& desktop,
            char pin = 0, char follow = 0) {
    const std::string key = kRules + std::to_string(n);
    h.store.Seed(key, "Program", kSz, program);
    h.store.Seed(key, "Title", kSz, title);
    h.store.Seed(key, "Desktop", kSz, desktop);
    if (pin) h.store.Seed(key, "Pin", kDword, std::string{pin, 0, 0, 0});
    if (follow) h.store.Seed(key, "Follow", kDword, std::string{follow, 0, 0, 0});
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
  // Where a window is: "1".."3" for a desktop's list, "pin", "+" visible on no list.
  std::string Where(WindowId w) {
    if (h.app().IsPinned(w)) return "pin";
    for (const auto& [n, desk] : h.app().Table())
      for (const WindowEntry& e : desk.windows)
        if (e.window == w) return std::to_string(n) + (h.windows.IsVisible(w) ? "+" : "-");
    return h.windows.IsVisible(w) ? "+" : "-";
  }
  void TearDown() override { EXPECT_TRUE(h.boxes.Boxes().empty()); }
};

TEST_F(Rules, TheFirstMatchWinsOnNewWindowsOnlyAndNothingRunsOnceTheyAreSettled) {
  Rule(1, "mail.exe", "", "Two");
  Rule(2, "*.exe", "", "Three");
  const WindowId before = h.windows.Open("Old mail");
  h.windows.SetProgram(before, "mail.exe");
  StartWith();
  EXPECT_TRUE(h.events.CreationHooked());
  const WindowId mail = Appear("MAIL.EXE", "Inbox"), other = Appear("x.exe", "Other");
  const WindowId dialog = Appear("mail.exe", "Attach", before);  // owned: goes nowhere alone
  h.events.Advance(150);
  EXPECT_EQ(Where(mail) + Where(other) + Where(dialog) + Where(before), "2-3-++");
  EXPECT_EQ(h.Titles(2), Strings{"Inbox"});
  h.events.Advance(10000);
  EXPECT_FALSE(h.events.TimerRunning());
}

TEST_F(Rules, ATitleMatchesWhenItChangesWithinTenSecondsNotAfterAndTheUserMayMoveItBack) {
  Rule(1, "", "Inbox*", "Two");
  StartWith();
  const WindowId early = Appear("m.exe", "Loading..."), late = Appear("m.exe", "Loading...");
  h.events.Advance(5000);
  EXPECT_EQ(Where(early), "+");
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

// A group whose owner matches goes whole; the dialog's own rule never acts.
TEST_F(Rules, OwnedWindowsGoWithTheirOwnerOnlyEvenWithChangesTold) {
  Rule(1, "", "Find", "Three");
  Rule(2, "", "Editor", "Two");
  StartWith();
  h.events.TellChangesToo(true);
  const WindowId editor = h.windows.Open("", false);
  const WindowId find = h.windows.Open("", false);
  h.windows.SetOwner(find, editor);
  h.windows.SetTitle(find, "Find");
  h.windows.SetVisibleByOwner(find, true);
  EXPECT_EQ(Where(find), "+");
  h.windows.SetTitle(editor, "Editor");
  h.windows.SetVisibleByOwner(editor, true);  // told at once: no tick needed
  EXPECT_EQ(Where(editor) + Where(find), "2-2-");
  EXPECT_EQ(h.events.Ticks(), 0);
}

// One window told only at its creation and followed by the timer, one told when it changes.
TEST_F(Rules, WindowsAppearingInTheMiddleOfASwitchWaitForItsEnd) {
  Rule(1, "mail.exe", "", "Three");
  StartWith();
  h.app().SwitchToDesktop(2);
  const WindowId two = h.windows.Open("On two");
  h.app().SwitchToDesktop(1);
  const WindowId timed = h.windows.Open("", false);  // followed by the timer from here
  h.windows.SetProgram(timed, "mail.exe");
  WindowId told = 0;
  h.windows.WhileWaiting([&] {
    if (!h.windows.IsVisible(two)) return false;  // the show phase
    h.windows.SetTitle(timed, "Inbox");
    h.windows.SetVisibleByOwner(timed, true);
    h.events.Advance(300);
    h.events.TellChangesToo(true);
    told = Appear("mail.exe", "Drafts");
    EXPECT_TRUE(h.app().InOperation());
    EXPECT_EQ(Where(timed) + Where(told), "++");
    return true;
  });
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
  EXPECT_EQ(Where(timed) + Where(told) + Where(two), "3-3-2+");
}

TEST_F(Rules, RenamingCarriesTheRulesAndADeletedDesktopsRulesDoNothing) {
  Rule(1, "", "Mail", "two");
  StartWith();
  ASSERT_TRUE(h.app().SetDesktopName(2, "Post"));
  EXPECT_EQ(h.store.Find(std::string(kRules) + "1", "Desktop")->data, "Post");
  const WindowId first = Appear("a.exe", "Mail");
  h.events.Advance(150);
  EXPECT_EQ(Where(first), "2-");
  ASSERT_TRUE(h.app().DeleteDesktop(2));
  const WindowId second = Appear("a.exe", "Mail");
  h.events.Advance(150);
  EXPECT_EQ(h.store.Find(std::string(kRules) + "1", "Desktop")->data, "Post");
  EXPECT_EQ(Where(second) + Where(first), "+1+");  // the deleted desktop's window came here
}

TEST_F(Rules, MalformedRulesDoNothingAndNoRuleMeansNoHook) {
  h.store.Seed(kRules + std::string("1"), "Title", kDword, std::string(4, 'x'));
  h.store.Seed(kRules + std::string("1"), "Desktop", kSz, "Two");
  h.store.Seed(kRules + std::string("01x"), "Title", kSz, "*");
  h.store.Seed(kRules + std::string("2"), "Pin", kSz, "1");
  h.store.Seed(kRules + std::string("2"), "Title", kSz, "*");
  h.store.Seed("Software\\veilswitcher\\rules", "Title", kSz, "*");
  StartWith();
  const auto stored = h.store.Snapshot();
  const WindowId w = Appear("a.exe", "Anything");
  h.events.Advance(11000);
  EXPECT_EQ(Where(w), "+");
  EXPECT_EQ(h.store.Snapshot(), stored);
  ASSERT_TRUE(SaveRules(h.store, {}));
  h.app().RulesChanged();
  EXPECT_FALSE(h.events.CreationHooked());
  EXPECT_FALSE(h.events.TimerRunning());
}

// While the options dialog is open the window is noticed but left alone; once it has closed the
// rule acts, however long the dialog stayed open.
TEST_F(Rules, AnOpenDialogDelaysTheActionUntilItCloses) {
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
  EXPECT_EQ(Where(chat), "pin");
  h.app().SwitchToDesktop(2);
  EXPECT_TRUE(h.windows.IsVisible(chat));
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
  EXPECT_EQ(Where(admin), "+");
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  const WindowId chat = Appear("c.exe", "Chat");
  h.events.Advance(150);
  EXPECT_EQ(h.app().CurrentDesktop(), 3);
  EXPECT_EQ(h.windows.ForegroundWindow(), chat);
  EXPECT_EQ(h.notice.ShownTexts(), Strings{"Three"});
}

}  // namespace
}  // namespace vt
