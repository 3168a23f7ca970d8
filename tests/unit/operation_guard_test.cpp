// What reaches the program while a switch waits on other programs, and calls still queued for a
// program that does not answer.
#include <algorithm>

#include "test_support.h"

namespace vt {
namespace {

constexpr std::uint32_t kWmTrayNotify = 0x0401;
constexpr std::intptr_t kLButtonDown = 0x0201, kRButtonDown = 0x0204;
constexpr std::uint32_t kHung = 2;

class DuringASwitch : public Running {
 protected:
  void SetUp() override { StartWith(); }
  void Send(std::uint32_t message, std::intptr_t lParam = 0) {
    std::intptr_t result = -1;
    EXPECT_TRUE(h.app().OnWindowMessage(message, 0, lParam, &result));
    EXPECT_EQ(result, 0);
  }
  // Runs `deliver` at the first wait that finds `phase` true.
  void At(std::function<bool()> phase, std::function<void()> deliver) {
    h.windows.WhileWaiting([this, phase, deliver] {
      if (!phase()) return false;
      EXPECT_TRUE(h.app().InOperation());
      deliver();
      return true;
    });
  }
  bool AllHidden(const Ids& ids) {
    return std::none_of(ids.begin(), ids.end(), [&](WindowId w) { return h.windows.IsVisible(w); });
  }
  // Every window visible once the program has ended: none lost.
  void ExpectNoneLostAtExit(const Ids& ids) {
    h.Stop();
    for (WindowId w : ids) EXPECT_TRUE(h.windows.IsVisible(w)) << h.windows.TitleOf(w);
  }
};

TEST_F(DuringASwitch, TrayRightClicksAndCloseWaitForItsEnd) {
  const Ids ids = h.OpenWindows({"A", "B", "C"});
  At([] { return true; }, [&] {  // in the hide phase
    Send(kWmTrayNotify, kRButtonDown);
    Send(kWmClose);
  });
  h.app().SwitchToDesktop(2);
  EXPECT_TRUE(AllHidden(ids));
  EXPECT_EQ(h.Titles(1), (Strings{"A", "B", "C"}));
  ASSERT_EQ(h.tray.Tracked().size(), 1u);
  EXPECT_TRUE(h.tray.Tracked()[0].desktops[1].current);  // built after the switch
  EXPECT_GT(h.timeline.Find("host.PostQuit"), h.timeline.FindLast("ws."));
  At([] { return true; }, [&] { Send(kWmTrayNotify, kRButtonDown); });  // in the show phase
  h.app().SwitchToDesktop(1);
  ASSERT_EQ(h.tray.Tracked().size(), 2u);
  EXPECT_TRUE(h.tray.Tracked()[1].desktops[0].current);
  ExpectNoneLostAtExit(ids);
}

TEST_F(DuringASwitch, LeftClickInTheShowPhaseOpensTheOptionsAfterIt) {
  const Ids one = h.OpenWindows({"A"});
  h.app().SwitchToDesktop(3);
  const Ids three = h.OpenWindows({"C1", "C2"});
  h.app().SwitchToDesktop(1);
  bool deletedTarget = true, deletedOther = false;
  h.dialogs.onOptions = [&](CVirtualDeskApp& app) {
    deletedTarget = app.DeleteDesktop(3);
    deletedOther = app.DeleteDesktop(2);
  };
  At([&] { return AllHidden(one); }, [&] { Send(kWmTrayNotify, kLButtonDown); });
  h.app().SwitchToDesktop(3);
  EXPECT_FALSE(deletedTarget);  // it had become the current desktop
  EXPECT_TRUE(deletedOther);
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
  EXPECT_EQ(h.Titles(1), (Strings{"A"}));
  EXPECT_TRUE(AllHidden(one));
  EXPECT_TRUE(h.windows.IsVisible(three[0]) && h.windows.IsVisible(three[1]));
  ExpectNoneLostAtExit({one[0], three[0], three[1]});
}

TEST_F(DuringASwitch, ASecondHotkeyIsMatchedAfterTheFirstSwitch) {
  const Ids ids = h.OpenWindows({"A", "B"});
  At([] { return true; }, [&] { EXPECT_TRUE(h.Press(kAlt, kRight)); });
  EXPECT_TRUE(h.Press(kAlt, kRight));
  EXPECT_EQ(h.app().CurrentDesktop(), 3);
  EXPECT_EQ(h.Titles(1), (Strings{"A", "B"}));
  EXPECT_TRUE(h.Titles(2).empty());
  ExpectNoneLostAtExit(ids);
}

// What was kept waits only for the operation: a dialog opened from it does not hold back what
// comes later (the installer's polite WM_CLOSE), and a key pressed during the operation, which
// the dialog's own loop would drop, is matched before the kept click.
TEST_F(DuringASwitch, WhatWasKeptHoldsNothingBackOnceTheOperationHasEnded) {
  const Ids ids = h.OpenWindows({"A"});
  std::uint32_t lParam = 0;
  ASSERT_TRUE(h.hotkeys.Press(kAlt, kRight, &lParam));
  At([] { return true; },
     [&] {
       h.host.PostThread(kWmHotkey, lParam);
       Send(kWmTrayNotify, kLButtonDown);
       std::intptr_t result = 0;
       h.app().OnWindowMessage(0x0111, 901, 0, &result);  // About, from the tray menu
     });
  DesktopNumber seenByOptions = 0;
  h.dialogs.onOptions = [&](CVirtualDeskApp& app) {
    seenByOptions = app.CurrentDesktop();
    Send(kWmClose);
  };
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(seenByOptions, 3);
  const Timeline& t = h.timeline;
  EXPECT_LT(t.Find("dlg.Options"), t.Find("host.PostQuit"));
  EXPECT_LT(t.Find("host.PostQuit"), t.Find("dlg.About"));  // WM_CLOSE did not wait for it
  EXPECT_EQ(h.dialogs.AboutRuns(), 1);
  ExpectNoneLostAtExit(ids);
}

// Shown bottom-up with SW_SHOWNA: the stacking comes back exactly, every program hears that its
// window is shown, and the topmost window still there is the active one.
TEST_F(DuringASwitch, WindowsComeBackHeardAndTheTopmostLiveOneActive) {
  const Ids ids = h.OpenWindows({"Low", "Mid", "Top"});
  h.app().SwitchToDesktop(2);
  h.windows.Destroy(ids[2]);
  h.app().SwitchToDesktop(1);
  EXPECT_EQ(h.windows.ZOrder(), (Ids{ids[1], ids[0], h.host.Hidden()}));
  EXPECT_TRUE(h.windows.HeardVisible(ids[0]) && h.windows.HeardVisible(ids[1]));
  EXPECT_EQ(h.windows.ActiveWindow(), ids[1]);
  EXPECT_EQ(h.windows.ForegroundWindow(), ids[1]);
}

// Logoff in the middle of a switch: everything is shown, and the rest of the switch hides nothing.
TEST_F(DuringASwitch, TheEndOfTheSessionMidSwitchShowsEverythingAndEnds) {
  const Ids ids = h.OpenWindows({"A", "B", "C"});
  At([] { return true; },
     [&] {
       std::intptr_t result = 0;
       h.app().OnWindowMessage(0x0016, 1, 0, &result);
     });
  EXPECT_THROW(h.app().SwitchToDesktop(2), ProcessExit);
  EXPECT_EQ(h.process.ExitCode(), 0);
  for (WindowId w : ids) EXPECT_TRUE(h.windows.IsVisible(w)) << h.windows.TitleOf(w);
}

TEST_F(DuringASwitch, AnElevatedWindowStaysOnEveryDesktop) {
  const WindowId admin = h.windows.Open("Admin", true, 3);
  const Ids ids = h.OpenWindows({"A"});
  h.windows.SetElevated(admin);
  h.app().SwitchToDesktop(2);
  h.app().SwitchToDesktop(3);
  EXPECT_EQ(h.Titles(1), (Strings{"A"}));
  EXPECT_TRUE(h.Titles(2).empty() && h.windows.IsVisible(admin));
  ExpectNoneLostAtExit({ids[0], admin});
}

// A call still queued for a program that does not answer decides the window's desktop: the
// hide still queued when the user comes back, then the show still queued when the user leaves.
TEST_F(DuringASwitch, QueuedCallsListTheWindowOnceOnTheDesktopTheyLastSentItTo) {
  const WindowId hung = h.windows.Open("Hung", true, kHung);
  h.windows.Hang(kHung);
  h.app().SwitchToDesktop(2);
  h.app().SwitchToDesktop(1);
  h.windows.Wake(kHung);
  EXPECT_TRUE(h.windows.IsVisible(hung));
  EXPECT_TRUE(h.Titles(2).empty());
  h.app().SwitchToDesktop(2);
  h.windows.Hang(kHung);
  h.app().SwitchToDesktop(1);
  h.app().SwitchToDesktop(3);
  h.windows.Wake(kHung);
  EXPECT_FALSE(h.windows.IsVisible(hung));
  EXPECT_EQ(h.Titles(1), (Strings{"Hung"}));
  EXPECT_TRUE(h.Titles(2).empty());
}

}  // namespace
}  // namespace vt
