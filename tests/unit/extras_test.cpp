#include "settings/hidden_journal.h"
#include "shell/desktop_menu.h"
#include "test_support.h"

namespace vt {
namespace {

constexpr const char* kMoreKey = "Software\\veilswitcher\\more";
std::string Dword(char v) {
  return std::string{v, 0, 0, 0};
}

// Desktop 1: another program's window under an editor that owns a dialog, which owns a tool
// window (the focus); desktop 2: one window. `Shown` gives their visibility in that order.
class Extras : public Running {
 protected:
  void SetUp() override {
    StartWith();
    h.app().SwitchToDesktop(2);
    two = h.windows.Open("On two");
    h.app().SwitchToDesktop(1);
    w = h.OpenWindows({"Other", "Editor", "Find", "Tools"});
    h.windows.SetOwner(w[2], w[1]);
    h.windows.SetOwner(w[3], w[2]);
    h.windows.ClickOn(w[3]);
    h.windows.ClearLog();
  }
  std::string Shown() {
    std::string out;
    for (WindowId id : {w[0], w[1], w[2], w[3], two}) out += h.windows.IsVisible(id) ? '1' : '0';
    return out;
  }
  void Set(void (*change)(MoreOptions&)) {
    MoreOptions more = h.app().GetMoreOptions();
    change(more);
    h.app().ApplyMoreOptions(more);
  }
  Ids w;
  WindowId two = 0;
};

TEST_F(Extras, SendCarriesTheOwnedGroupOnTopOfTheTargetWithOrWithoutTheView) {
  h.Press(kAlt | kShift, kRight);
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
  EXPECT_EQ(Shown(), "01111");
  EXPECT_EQ(h.Titles(2), (Strings{"On two", "Editor", "Find", "Tools"}));  // bottom to top
  EXPECT_EQ(h.windows.ForegroundWindow(), w[3]);
  Set([](MoreOptions& m) { m.sendFollows = false; });
  h.app().SwitchToDesktop(1);
  h.windows.ClickOn(w[0]);
  h.Press(kAlt | kShift, kF2);  // a desktop's hotkey with Shift added
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  EXPECT_EQ(Shown(), "00000");
  std::vector<JournalRecord> journal;
  ASSERT_TRUE(
      DecodeJournal(h.store.Find("Software\\veilswitcher\\hidden\\1", "windows")->data, &journal));
  EXPECT_EQ(journal.size(), 5u);
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(h.windows.ForegroundWindow(), w[0]);
}

// The focus in Tools below another window, and Tools raised past the walk by its program (as
// under Wine, still restacking windows shown a moment before): the group still goes.
TEST_F(Extras, TheForegroundWindowMovedPastTheWalkIsSentOnTop) {
  h.windows.ClickOn(w[0]);
  h.windows.Activate(w[3]);
  h.windows.RaiseDuringWalk(w[3]);
  h.Press(kAlt | kShift, kRight);
  EXPECT_EQ(Shown(), "01111");
  EXPECT_EQ(h.Titles(2), (Strings{"On two", "Editor", "Find", "Tools"}));
  EXPECT_EQ(h.windows.ForegroundWindow(), w[3]);
}

TEST_F(Extras, NothingIsSentWhereASwitchWouldNotGoAndWrapAroundReachesBothEnds) {
  const WindowId untitled = h.windows.Open(""), cloaked = h.windows.Open("Cloaked");
  const WindowId own = h.windows.Open("More options");
  h.windows.SetCloaked(cloaked, true);
  h.windows.SetOwnerAndClass(own, FakeWindowHost::kProgramProcess, "#32770");
  for (WindowId fg : {untitled, cloaked, own}) {
    h.windows.ClickOn(fg);
    EXPECT_FALSE(h.app().SendForegroundWindow(2, true) || h.app().TogglePinForeground());
  }
  h.windows.ClickOn(w[1]);
  for (DesktopNumber target : {0, 1, 4}) EXPECT_FALSE(h.app().SendForegroundWindow(target, false));
  h.Press(kAlt | kShift, kLeft);  // no previous desktop without wrap-around
  EXPECT_EQ(Shown(), "11110");
  Set([](MoreOptions& m) { m.wrapAround = true; });
  h.Press(kAlt | kShift, kLeft);
  EXPECT_EQ(h.Titles(3), (Strings{"Find", "Tools", "Editor"}));  // as they were stacked
  h.Press(kAlt, kRight);
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  EXPECT_EQ(Shown(), "10000");
}

TEST_F(Extras, PinnedWindowStaysEverywhereUntilUnpinnedOrItsHandleNamesAnother) {
  Set([](MoreOptions& m) { m.pinWindow = MakeHotkeyCode(kAlt, 'P'); });
  h.windows.ClickOn(w[2]);
  h.Press(kAlt, 'P');  // the editor, with the windows it owns
  h.Press(kAlt, kRight);
  EXPECT_EQ(Shown(), "01111");
  h.Press(kAlt, kLeft);
  EXPECT_EQ(Shown(), "11110");
  for (DesktopNumber n : {1, 2}) EXPECT_EQ(h.Titles(n).size(), 1u) << n;  // Other; On two
  h.windows.ClickOn(w[1]);
  h.Press(kAlt, 'P');  // unpinned: it belongs to desktop 1 again
  h.Press(kAlt, kRight);
  EXPECT_EQ(Shown(), "00001");
  h.Press(kAlt, kLeft);
  h.windows.ClickOn(w[1]);
  h.Press(kAlt, 'P');
  h.windows.SetOwnerAndClass(w[1], 0x777, "Reused");  // closed; its handle names a new window
  h.Press(kAlt, kRight);
  EXPECT_FALSE(h.windows.IsVisible(w[1]) || h.app().IsPinned(w[1]));
}

TEST_F(Extras, LastDesktopReturnsAndFollowsADeleteAndTheTrayNumberTheDesktop) {
  Set([](MoreOptions& m) { m.lastDesk = MakeHotkeyCode(kAlt, 'L'); });
  h.Press(kAlt, kF3);
  h.Press(kAlt, 'L');
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  h.Press(kAlt, 'L');
  ASSERT_TRUE(h.app().DeleteDesktop(2));  // desktop 1 keeps its number; 3 becomes 2
  EXPECT_EQ(h.app().LastDesktop(), 1);
  h.Press(kAlt, 'L');
  ASSERT_TRUE(h.app().DeleteDesktop(2));
  EXPECT_EQ(h.app().LastDesktop(), 0);
  EXPECT_EQ(h.trayNumber.draws, 0);  // off by default: the icon is never touched
  Set([](MoreOptions& m) { m.trayNumber = true; });
  std::intptr_t result = 0;
  h.app().OnWindowMessage(msg::kSettingChange, 0, 0, &result);  // the theme may have changed
  EXPECT_EQ(h.trayNumber.draws, 2);
  EXPECT_EQ(h.trayNumber.tip, "veilswitcher: One");
}

// Malformed values, and Alt+Shift+Right held by another program: the program starts without a
// word, runs without that hotkey and names it; the old keys end as they would without the extras.
TEST(ExtrasSettings, MalformedDataOrATakenHotkeyNeverStopsTheProgram) {
  AppHarness h, plain;
  for (AppHarness* a : {&h, &plain}) Seed(a->store, Stored());
  const Values seeded = {{"SendNextDesk", kSz, "5 39 x"},
                         {"PinWindow", kSz, "3 80"},
                         {"LastDesk", kBinary, "\x05"},
                         {"WrapAround", 4, Dword(7)}};
  for (const Value& v : seeded) h.store.Seed(kMoreKey, v.name, v.type, v.data);
  h.hotkeys.HoldElsewhere(kAlt | kShift, kRight);
  ASSERT_EQ(plain.Start(), std::nullopt);
  ASSERT_EQ(h.Start(), std::nullopt);
  EXPECT_EQ(h.app().InactiveHotkeys(), "Send to next desktop");
  plain.Stop();
  h.Stop();
  EXPECT_THAT(h.boxes.Texts(), ::testing::IsEmpty());
  for (const char* key : {kOptionsKey, kDesksKey})
    EXPECT_EQ(h.store.Values(key), plain.store.Values(key)) << key;
  EXPECT_EQ(h.store.Values(kMoreKey), (Values{{"SendNextDesk", kSz, "5 39"},
                                              {"PinWindow", kSz, "3 80"},
                                              {"LastDesk", kSz, "0 0"},
                                              {"WrapAround", 4, Dword(0)},
                                              {"SendPrevDesk", kSz, "5 37"},
                                              {"ShiftSends", 4, Dword(1)},
                                              {"SendFollows", 4, Dword(1)},
                                              {"TrayNumber", 4, Dword(0)}}));
}

// An extra gives way to the program's own hotkeys: the next hotkey may take Alt+Shift+Left.
TEST_F(Extras, TheProgramsOwnHotkeysWinOverAnExtra) {
  OptionsBlock options = h.app().GetOptions();
  options.nextHotkey = MakeHotkeyCode(kAlt | kShift, kLeft);
  EXPECT_EQ(h.app().OptionsRefusal(options), "");
  h.app().ApplyOptions(options);
  EXPECT_EQ(h.app().InactiveHotkeys(), "Send to previous desktop");
  h.Press(kAlt | kShift, kLeft);
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
}

}  // namespace
}  // namespace vt
