#include "settings/hidden_journal.h"
#include "settings/more_options.h"
#include "test_support.h"

namespace vt {
namespace {

constexpr const char* kMoreKey = "Software\\veilswitcher\\more";
constexpr std::uint32_t kDword = 4;

std::string Dword(std::uint32_t v) {
  return std::string{static_cast<char>(v), 0, 0, 0};
}

// Which of `ids` are visible, as a string of 1s and 0s.
std::string Shown(AppHarness& h, const Ids& ids) {
  std::string out;
  for (WindowId w : ids) out += h.windows.IsVisible(w) ? '1' : '0';
  return out;
}

// Desktop 1 holds an editor with a tool window and a dialog it owns, under another program's
// window; desktop 2 holds one window of its own. The tool window has the focus.
class Extras : public Running {
 protected:
  void SetUp() override { StartWith(); }
  void Build() {
    h.app().SwitchToDesktop(2);
    other2 = h.windows.Open("On two");
    h.app().SwitchToDesktop(1);
    const Ids w = h.OpenWindows({"Other", "Editor", "Find", "Tools"});
    other = w[0], editor = w[1], dialog = w[2], tool = w[3];
    h.windows.SetOwner(dialog, editor);
    h.windows.SetOwner(tool, dialog);  // owned twice removed: its root owner is the editor
    h.windows.ClickOn(tool);
    h.windows.ClearLog();
    h.notice.AttachTimeline(&h.timeline);
  }
  void Set(void (*change)(MoreOptions&)) {
    MoreOptions more = h.app().GetMoreOptions();
    change(more);
    h.app().ApplyMoreOptions(more);
  }
  WindowId other2 = 0, other = 0, editor = 0, dialog = 0, tool = 0;
};

TEST_F(Extras, SendCarriesTheOwnedGroupOnTopOfTheTargetAndTheViewFollows) {
  Build();
  ASSERT_TRUE(h.Press(kAlt | kShift, kRight));
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
  EXPECT_EQ(Shown(h, {other, editor, dialog, tool, other2}), "01111");
  EXPECT_EQ(h.Titles(1), (Strings{"Other"}));
  EXPECT_EQ(h.Titles(2), (Strings{"On two", "Editor", "Find", "Tools"}));  // bottom to top
  EXPECT_EQ(h.windows.ForegroundWindow(), tool);
  EXPECT_EQ(h.windows.CallsOf(Call::kHideAsync), (Ids{other}));  // the group was never hidden
  // Back on desktop 1, Alt+Shift+F2 sends the other window without the view.
  Set([](MoreOptions& m) { m.sendFollows = false; });
  h.app().SwitchToDesktop(1);
  h.windows.ClickOn(other);
  ASSERT_TRUE(h.Press(kAlt | kShift, kF2));
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  EXPECT_EQ(Shown(h, {other, editor, dialog, tool, other2}), "00000");
  EXPECT_EQ(h.Titles(2), (Strings{"On two", "Editor", "Find", "Tools", "Other"}));
  std::vector<JournalRecord> journal;
  ASSERT_TRUE(
      DecodeJournal(h.store.Find("Software\\veilswitcher\\hidden", "windows")->data, &journal));
  EXPECT_EQ(journal.size(), 5u);
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(h.windows.ForegroundWindow(), other);
}

TEST_F(Extras, NothingIsSentFromOrToWhereASwitchWouldNotGo) {
  Build();
  const WindowId untitled = h.windows.Open(""), cloaked = h.windows.Open("Cloaked");
  h.windows.SetCloaked(cloaked, true);
  const WindowId own = h.windows.Open("More options");
  h.windows.SetOwnerAndClass(own, FakeWindowHost::kProgramProcess, "#32770");
  for (WindowId fg : {untitled, cloaked, own}) {
    h.windows.ClickOn(fg);
    EXPECT_FALSE(h.app().SendForegroundWindow(2, true));
    EXPECT_FALSE(h.app().TogglePinForeground());
  }
  h.windows.ClickOn(editor);
  for (DesktopNumber target : {0, 1, 4}) EXPECT_FALSE(h.app().SendForegroundWindow(target, false));
  h.Press(kAlt | kShift, kLeft);  // previous of desktop 1: none without wrapping
  EXPECT_THAT(h.windows.CallsOf(Call::kHideAsync), ::testing::IsEmpty());
  EXPECT_EQ(h.Titles(2), (Strings{"On two"}));
}

TEST_F(Extras, WrapAroundAtBothEndsForSwitchingAndSending) {
  Build();
  EXPECT_EQ(h.app().NeighbourDesktop(-1), 0);
  Set([](MoreOptions& m) { m.wrapAround = true; });
  EXPECT_TRUE(h.Press(kAlt, kLeft));
  EXPECT_EQ(h.app().CurrentDesktop(), 3);
  EXPECT_TRUE(h.Press(kAlt, kRight));
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  h.windows.ClickOn(other);
  EXPECT_TRUE(h.Press(kAlt | kShift, kLeft));
  EXPECT_EQ(h.app().CurrentDesktop(), 3);
  EXPECT_EQ(h.Titles(3), (Strings{"Other"}));
  EXPECT_TRUE(h.Press(kAlt | kShift, kRight));
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  EXPECT_TRUE(h.windows.IsVisible(other));
}

TEST_F(Extras, PinnedWindowStaysOnEveryDesktopUntilUnpinnedOrItsHandleNamesAnother) {
  Build();
  Set([](MoreOptions& m) { m.pinWindow = MakeHotkeyCode(kAlt, 'P'); });
  h.windows.ClickOn(dialog);
  ASSERT_TRUE(h.Press(kAlt, 'P'));  // pins the editor, and the windows it owns go with it
  EXPECT_TRUE(h.app().IsPinned(editor));
  h.Press(kAlt, kRight);
  EXPECT_EQ(Shown(h, {other, editor, dialog, tool, other2}), "01111");
  h.Press(kAlt, kRight);
  h.Press(kAlt, kLeft);
  h.Press(kAlt, kLeft);
  EXPECT_EQ(Shown(h, {other, editor, dialog, tool, other2}), "11110");
  for (DesktopNumber n : {1, 2, 3}) {
    for (const std::string& t : h.Titles(n)) EXPECT_NE(t, "Editor");
  }
  h.windows.ClickOn(editor);
  ASSERT_TRUE(h.Press(kAlt, 'P'));  // unpinned: it belongs to desktop 1 again
  h.Press(kAlt, kRight);
  EXPECT_EQ(Shown(h, {editor, dialog, tool}), "000");
  h.Press(kAlt, kLeft);
  h.windows.ClickOn(editor);
  ASSERT_TRUE(h.Press(kAlt, 'P'));
  h.windows.SetOwnerAndClass(editor, 0x777, "Reused");  // closed; its number names another window
  h.Press(kAlt, kRight);
  EXPECT_FALSE(h.windows.IsVisible(editor));
  EXPECT_FALSE(h.app().IsPinned(editor));
}

TEST_F(Extras, LastDesktopReturnsAndFollowsADelete) {
  Set([](MoreOptions& m) { m.lastDesk = MakeHotkeyCode(kAlt, 'L'); });
  EXPECT_FALSE(h.app().SwitchToLastDesktop());
  h.Press(kAlt, kF3);
  h.Press(kAlt, 'L');
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  h.Press(kAlt, 'L');
  EXPECT_EQ(h.app().CurrentDesktop(), 3);
  ASSERT_TRUE(h.app().DeleteDesktop(2));  // desktop 1 keeps its number; 3 becomes 2
  EXPECT_EQ(h.app().LastDesktop(), 1);
  h.Press(kAlt, 'L');
  EXPECT_EQ(h.app().LastDesktop(), 2);
  ASSERT_TRUE(h.app().DeleteDesktop(2));
  EXPECT_EQ(h.app().LastDesktop(), 0);
}

TEST_F(Extras, TrayNumberAndTipFollowTheCurrentDesktopWhenTurnedOn) {
  h.Press(kAlt, kF2);
  EXPECT_EQ(h.trayNumber.Draws(), 0);  // off by default: the icon is never touched
  Set([](MoreOptions& m) { m.trayNumber = true; });
  EXPECT_EQ(h.trayNumber.Shown(), 2);
  h.Press(kAlt, kF3);
  EXPECT_EQ(h.trayNumber.Tip(), "veilswitcher: Three");
  Set([](MoreOptions& m) { m.trayNumber = false; });
  EXPECT_EQ(h.trayNumber.Shown(), 0);
  EXPECT_EQ(h.trayNumber.Tip(), "veilswitcher");
}

TEST(ExtrasSettings, StoredAsTextAndDwordsAndMalformedDataGivesTheDefault) {
  AppHarness h, plain;
  Seed(h.store, Stored());
  Seed(plain.store, Stored());
  h.store.Seed(kMoreKey, "SendNextDesk", kSz, "5 39 junk");
  h.store.Seed(kMoreKey, "PinWindow", kSz, "3 80");
  h.store.Seed(kMoreKey, "LastDesk", kBinary, "\x05");
  h.store.Seed(kMoreKey, "WrapAround", kDword, Dword(7));
  h.store.Seed(kMoreKey, "TrayNumber", kDword, Dword(1));
  h.store.Seed(kMoreKey, "ShiftSends", kDword, Dword(0));
  ASSERT_EQ(h.Start(), std::nullopt);
  ASSERT_EQ(plain.Start(), std::nullopt);
  MoreOptions expected;
  expected.pinWindow = MakeHotkeyCode(kCtrl | kAlt, 'P');
  expected.trayNumber = true;
  expected.shiftSends = false;
  EXPECT_EQ(h.app().GetMoreOptions(), expected);
  EXPECT_THAT(h.boxes.Texts(), ::testing::IsEmpty());
  h.Stop();
  plain.Stop();
  // The extras change nothing in the keys that were there before them.
  for (const char* key : {kOptionsKey, kDesksKey})
    EXPECT_EQ(h.store.Values(key), plain.store.Values(key)) << key;
  EXPECT_EQ(h.store.Values(kMoreKey), (Values{{"SendNextDesk", kSz, "5 39"},
                                              {"PinWindow", kSz, "3 80"},
                                              {"LastDesk", kSz, "0 0"},
                                              {"WrapAround", kDword, Dword(0)},
                                              {"TrayNumber", kDword, Dword(1)},
                                              {"ShiftSends", kDword, Dword(0)},
                                              {"SendPrevDesk", kSz, "5 37"},
                                              {"SendFollows", kDword, Dword(1)}}));
}

// Another program holds Alt+Shift+Right: the program runs without it and says so.
TEST(ExtrasHotkeys, ATakenExtraIsLeftOutAndNamed) {
  AppHarness h;
  Seed(h.store, Stored());
  h.hotkeys.HoldElsewhere(kAlt | kShift, kRight);
  ASSERT_EQ(h.Start(), std::nullopt);
  EXPECT_EQ(h.app().InactiveHotkeys(), "Send to next desktop");
  EXPECT_TRUE(h.Press(kAlt, kRight));
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
  // The program's own next hotkey may take an extra's combination: the extra gives way.
  OptionsBlock options = h.app().GetOptions();
  options.nextHotkey = MakeHotkeyCode(kAlt | kShift, kLeft);
  EXPECT_EQ(h.app().OptionsRefusal(options), "");
  h.app().ApplyOptions(options);
  EXPECT_EQ(h.app().InactiveHotkeys(), "Send to next desktop, Send to previous desktop");
  EXPECT_TRUE(h.Press(kAlt | kShift, kLeft));
  EXPECT_EQ(h.app().CurrentDesktop(), 3);
}

}  // namespace
}  // namespace vt
