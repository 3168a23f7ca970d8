#include "test_support.h"

namespace vt {
namespace {

using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using Combo = FakeHotkeyRegistrar::Combo;

class Table : public Running {
 protected:
  void SetUp() override {
    Stored s = WithNotice();
    s.desks = {{"A", "1 112\n"}, {"B", "1 113\n"}, {"C", "1 114\n"}};
    StartWith(s);
  }
};

TEST_F(Table, GettersAreBoundedAndCreateNothing) {
  for (DesktopNumber n : {0, -1, 4, -32768}) {
    EXPECT_EQ(h.app().GetDesktopName(n), nullptr) << n;
    EXPECT_EQ(h.app().GetDesktopHotkey(n), 0u) << n;
  }
  EXPECT_EQ(h.app().Table().Count(), 3u);
  EXPECT_STREQ(h.app().GetDesktopName(2), "B");
  EXPECT_EQ(h.app().GetDesktopHotkey(3), MakeHotkeyCode(kAlt, kF3));
}

TEST_F(Table, RenameKeepsNamesUniqueIgnoringCaseAndCreatesOnlyUnderNPlusOne) {
  const struct {
    DesktopNumber n;
    const char* name;
    bool done;
    Strings after;
  } steps[] = {
      {2, "B", true, {"A", "B", "C"}},
      {2, "A", false, {"A", "B", "C"}},
      {2, "a", false, {"A", "B", "C"}},  // the registry would fold it onto A's value
      {2, "b", true, {"A", "b", "C"}},   // a desktop may change the case of its own name
      {2, "Bee", true, {"A", "Bee", "C"}},
      {4, "c", false, {"A", "Bee", "C", ""}},  // the new, unnamed desktop stays
      {4, "D", true, {"A", "Bee", "C", "D"}},
      {5, "E", true, {"A", "Bee", "C", "D", "E"}},
  };
  for (const auto& s : steps) {
    EXPECT_EQ(h.app().SetDesktopName(s.n, s.name), s.done) << s.n << " " << s.name;
    EXPECT_EQ(h.Names(), s.after) << s.n << " " << s.name;
  }
  EXPECT_EQ(h.app().GetDesktopHotkey(4), 0u);
  EXPECT_THAT(h.Titles(4), IsEmpty());
  EXPECT_TRUE(h.app().IsDirty());
  EXPECT_THAT(h.hotkeys.Log(), IsEmpty());  // renaming registers nothing
}

TEST_F(Table, HotkeyRefusalsChangeNothing) {
  const HotkeyCode refused[] = {
      MakeHotkeyCode(kAlt, kF2),     // its own
      MakeHotkeyCode(kAlt, kF3),     // desktop 3's
      MakeHotkeyCode(kAlt, kRight),  // the next-desktop hotkey
      MakeHotkeyCode(kAlt, kLeft),   // the previous-desktop hotkey
  };
  for (HotkeyCode code : refused) EXPECT_FALSE(h.app().SetDesktopHotkey(2, code)) << code;
  EXPECT_EQ(h.Hotkeys(),
            (std::vector<HotkeyCode>{MakeHotkeyCode(kAlt, kF1), MakeHotkeyCode(kAlt, kF2),
                                     MakeHotkeyCode(kAlt, kF3)}));
  EXPECT_THAT(h.hotkeys.Log(), IsEmpty());
  // Held by another program: storing it would end this start and every later one.
  h.hotkeys.HoldElsewhere(kCtrl, 'Q');
  EXPECT_FALSE(h.app().SetDesktopHotkey(2, MakeHotkeyCode(kCtrl, 'Q')));
  EXPECT_EQ(h.app().GetDesktopHotkey(2), MakeHotkeyCode(kAlt, kF2));
  EXPECT_TRUE(h.hotkeys.UnregisteredIds().empty());  // nothing of the program's was withdrawn
}

TEST_F(Table, NewHotkeyIsStoredAndEverythingReRegistered) {
  ASSERT_TRUE(h.app().SetDesktopHotkey(2, MakeHotkeyCode(kCtrl | kAlt, 'X')));
  EXPECT_EQ(h.app().GetDesktopHotkey(2), MakeHotkeyCode(kCtrl | kAlt, 'X'));
  // The combination is tried under a spare id first, then everything is registered again.
  const std::vector<int> all = {kProbeHotkeyId, 3,      4,      5,      1,     2,
                                0xBFF0,         0xBFF1, 0x8101, 0x8102, 0x8103};
  EXPECT_EQ(h.hotkeys.UnregisteredIds(), all);
  EXPECT_EQ(h.hotkeys.RegisteredIds(), all);
  EXPECT_EQ(h.hotkeys.Registrations().at(4), (Combo{kCtrl | kAlt, 'X'}));
  EXPECT_EQ(h.hotkeys.Registrations().count(kProbeHotkeyId), 0u);
  EXPECT_TRUE(h.Press(kCtrl | kAlt, 'X'));
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
  // No hotkey at all: allowed once, then refused since a desktop already has none.
  EXPECT_TRUE(h.app().SetDesktopHotkey(2, 0));
  EXPECT_EQ(h.hotkeys.Registrations().count(4), 0u);
  EXPECT_FALSE(h.app().SetDesktopHotkey(1, 0));
}

TEST_F(Table, DeletingMovesLaterDesktopsDownWithTheirWindowsAndHotkeys) {
  h.windows.Open("W1");
  h.app().SwitchToDesktop(2);
  const WindowId w2 = h.windows.Open("W2");
  h.app().SwitchToDesktop(3);
  h.windows.Open("W3");
  h.timeline.Clear();
  h.hotkeys.ClearLog();

  ASSERT_TRUE(h.app().DeleteDesktop(1));
  EXPECT_EQ(h.Names(), (Strings{"B", "C"}));
  EXPECT_EQ(h.Hotkeys(),
            (std::vector<HotkeyCode>{MakeHotkeyCode(kAlt, kF2), MakeHotkeyCode(kAlt, kF3)}));
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
  EXPECT_EQ(h.Titles(1), (Strings{"W2"}));
  EXPECT_FALSE(h.windows.IsVisible(w2));
  EXPECT_THAT(h.Titles(2), UnorderedElementsAre("W1", "W3"));  // recorded by the closing switch
  EXPECT_EQ(h.hotkeys.Registrations(), (std::map<int, Combo>{{1, {kAlt, kRight}},
                                                             {2, {kAlt, kLeft}},
                                                             {3, {kAlt, kF2}},
                                                             {4, {kAlt, kF3}},
                                                             {0x8101, {kAlt | kShift, kF2}},
                                                             {0x8102, {kAlt | kShift, kF3}},
                                                             {0xBFF0, {5, kRight}},
                                                             {0xBFF1, {5, kLeft}}}));
  EXPECT_EQ(h.hotkeys.UnregisteredIds(),
            (std::vector<int>{3, 4, 5, 1, 2, 0xBFF0, 0xBFF1, 0x8101, 0x8102, 0x8103}));
  EXPECT_LT(h.timeline.FindLast("hk.Unregister"), h.timeline.Find("ws.Show W1"));
  EXPECT_LT(h.timeline.Find("ws.Show W1"), h.timeline.Find("hk.Register"));
  EXPECT_LT(h.timeline.Find("hk.Register"), h.timeline.Find("ws.Hide"));
  EXPECT_EQ(h.notice.ShownTexts().back(), "C");
  EXPECT_TRUE(h.Press(kAlt, kF3));
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
}

TEST_F(Table, DeletingTheLastDesktopRenumbersNothing) {
  h.app().SwitchToDesktop(3);
  const WindowId w3 = h.windows.Open("W3");
  h.app().SwitchToDesktop(1);
  ASSERT_TRUE(h.app().DeleteDesktop(3));
  EXPECT_EQ(h.Names(), (Strings{"A", "B"}));
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  EXPECT_TRUE(h.windows.IsVisible(w3));
  EXPECT_EQ(h.Titles(1), (Strings{"W3"}));
  EXPECT_EQ(h.hotkeys.Registrations().count(5), 0u);
}

TEST_F(Table, DeletingTheCurrentDesktopIsRefused) {
  const WindowId w = h.windows.Open("W");
  EXPECT_FALSE(h.app().DeleteDesktop(1));
  EXPECT_EQ(h.Names(), (Strings{"A", "B", "C"}));
  EXPECT_THAT(h.hotkeys.Log(), IsEmpty());
  EXPECT_THAT(h.windows.Log(), IsEmpty());
  EXPECT_TRUE(h.windows.IsVisible(w));
  EXPECT_THAT(h.notice.Events(), IsEmpty());
}

}  // namespace
}  // namespace vt
