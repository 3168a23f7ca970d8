#include <functional>

#include "test_support.h"

namespace vt {
namespace {

void ExpectOnlyBox(const AppHarness& h, const std::string& text, const std::string& caption,
                   unsigned style) {
  ASSERT_EQ(h.boxes.Boxes().size(), 1u);
  EXPECT_EQ(h.boxes.Boxes()[0].text, text);
  EXPECT_EQ(h.boxes.Boxes()[0].caption, caption);
  EXPECT_EQ(h.boxes.Boxes()[0].style, style);
}

TEST(StartUp, TakesTheLockWritesDefaultsCreatesTheWindowLoadsThenRegisters) {
  AppHarness h;
  ASSERT_EQ(h.Start(), std::nullopt);
  const Timeline& t = h.timeline;
  EXPECT_LT(t.Find("proc.OpenLock"), t.Find("reg.CreateNew Software\\veilswitcher"));
  EXPECT_LT(t.Find("reg.CreateNew Software\\veilswitcher\\desks"), t.Find("host.CreateWindow"));
  EXPECT_LT(t.Find("host.CreateWindow"), t.Find("reg.Open Software\\veilswitcher"));
  EXPECT_LT(t.Find("reg.Open Software\\veilswitcher\\desks"), t.Find("hk.Register"));
  EXPECT_EQ(h.process.OpenAttempts(), (Strings{"C:\\Temp\\veilswitcher.tmp"}));
  EXPECT_TRUE(h.process.HoldsLock());
  EXPECT_NE(h.app().HiddenWindow(), 0u);
  EXPECT_EQ(h.app().HiddenWindow(), h.host.Hidden());
  EXPECT_FALSE(h.windows.IsVisible(h.host.Hidden()));
  EXPECT_EQ(h.app().ModulePath(), h.process.ModulePath());
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  EXPECT_TRUE(h.app().IsDirty());
  EXPECT_THAT(h.boxes.Boxes(), ::testing::IsEmpty());
  EXPECT_THAT(h.notice.Events(), ::testing::IsEmpty());
}

TEST(Shutdown, SavesThenShowsWindowsThenWithdrawsHotkeysThenReleasesTheLock) {
  AppHarness h;
  ASSERT_EQ(h.Start(), std::nullopt);
  const WindowId w = h.windows.Open("W");
  h.app().SwitchToDesktop(2);
  h.timeline.Clear();
  h.Stop();
  const Timeline& t = h.timeline;
  ASSERT_GE(t.Find("reg.Set NextDesk"), 0);
  EXPECT_LT(t.FindLast("reg.Set"), t.Find("ws.Show W"));
  EXPECT_LT(t.Find("ws.Show W"), t.Find("hk.Unregister"));
  EXPECT_LT(t.FindLast("hk.Unregister"), t.Find("proc.CloseLock"));
  EXPECT_TRUE(h.windows.IsVisible(w));
  EXPECT_TRUE(h.hotkeys.Registrations().empty());
  EXPECT_FALSE(h.process.HoldsLock());
  EXPECT_EQ(h.store.OpenHandles(), 0u);
}

TEST(StartUp, EachPlatformFailureIsFatalAndSavesNothing) {
  const struct {
    std::function<void(AppHarness&)> arrange;
    const char* message;
  } cases[] = {
      {[](AppHarness& h) { h.process.FailTempDirectory(); },
       "Cant get path to temporary directory."},
      {[](AppHarness& h) { h.process.HoldElsewhere("c:\\temp\\VEILSWITCHER.TMP"); },
       "Cant create temporary file. Maybe program is already running."},
      {[](AppHarness& h) { h.host.FailRegisterClass(); }, "Cant register class."},
      {[](AppHarness& h) { h.host.FailCreateWindow(); }, "Cant create main program window."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    AppHarness h;
    c.arrange(h);
    EXPECT_EQ(h.Start(), 1);
    const auto atExit = h.store.Snapshot();
    h.Stop();
    ExpectOnlyBox(h, c.message, "Error :(", kMbIconError);
    EXPECT_EQ(h.store.Snapshot(), atExit);
    EXPECT_TRUE(h.hotkeys.Registrations().empty());
    EXPECT_FALSE(h.process.HoldsLock());
  }
}

TEST(StartUp, TempPathMustFitTheBufferWholeWithTheFileName) {
  const struct {
    std::size_t dirLength;
    bool starts;
  } cases[] = {{257, true}, {258, false}, {1000, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dirLength);
    AppHarness h;
    const std::string dir = "C:\\" + std::string(c.dirLength - 3, 't');
    h.process.SetTempDirectory(dir);
    if (c.starts) {
      EXPECT_EQ(h.Start(), std::nullopt);
      EXPECT_EQ(h.process.OpenAttempts(), (Strings{dir + "\\veilswitcher.tmp"}));
    } else {
      EXPECT_EQ(h.Start(), 1);
      ExpectOnlyBox(h, "Cant get path to temporary directory.", "Error :(", kMbIconError);
      EXPECT_THAT(h.process.OpenAttempts(), ::testing::IsEmpty());
      EXPECT_TRUE(h.store.Snapshot().empty());
    }
  }
}

// Refused by the session's lock before it reads anything, whatever its TEMP: a shell of another
// kind in the same session has a TEMP of its own, and there the lock file is not held.
TEST(StartUp, SecondCopyIsRefusedAndLeavesTheFirstOnesSettingsAlone) {
  AppHarness first;
  ASSERT_EQ(first.Start(), std::nullopt);
  first.windows.Open("W");
  first.app().SwitchToDesktop(2);  // the journal of its hidden window is the first copy's too
  for (const char* temp : {"C:\\Temp", "C:\\msys64\\tmp"}) {
    SCOPED_TRACE(temp);
    AppHarness second;
    second.process.ShareLocksWith(first.process);
    second.process.SetTempDirectory(temp);
    second.store.CopyContentsFrom(first.store);
    const auto stored = second.store.Snapshot();
    EXPECT_EQ(second.Start(), 1);
    second.Stop();
    ExpectOnlyBox(second, "Cant create temporary file. Maybe program is already running.",
                  "Error :(", kMbIconError);
    EXPECT_EQ(second.store.Snapshot(), stored);
  }
  EXPECT_TRUE(first.process.HoldsLock());
  first.Stop();
  AppHarness third;  // the lock went with the first copy
  third.process.ShareLocksWith(first.process);
  EXPECT_EQ(third.Start(), std::nullopt);
}

// The same user in a second session: its own copy starts, and neither reads the other's journal,
// although handles of the two sessions' windows can be equal.
TEST(StartUp, ACopyInAnotherSessionKeepsAJournalOfItsOwn) {
  constexpr const char* kSessionOne = "Software\\veilswitcher\\hidden\\1";
  AppHarness first;
  ASSERT_EQ(first.Start(), std::nullopt);
  const WindowId w = first.windows.Open("W");
  first.app().SwitchToDesktop(2);
  const std::string journal = first.store.Find(kSessionOne, "windows")->data;
  AppHarness other;
  other.process.ShareLocksWith(first.process);
  other.process.SetSession(2);
  other.process.SetTempDirectory("C:\\Temp\\2");  // a terminal server's per-session TEMP
  other.store.CopyContentsFrom(first.store);
  other.windows.Open("Hidden here", false);
  ASSERT_EQ(other.windows.Open("Hidden here too", false), w);
  ASSERT_EQ(other.Start(), std::nullopt);
  EXPECT_TRUE(other.Titles(2).empty());
  EXPECT_FALSE(other.windows.IsVisible(w));
  other.windows.Open("X");
  other.app().SwitchToDesktop(3);
  other.Stop();
  ASSERT_NE(other.store.Find(kSessionOne, "windows"), nullptr);
  EXPECT_EQ(other.store.Find(kSessionOne, "windows")->data, journal);
  EXPECT_FALSE(other.store.HasKey("Software\\veilswitcher\\hidden\\2"));
}

TEST(Reporting, InfoAndErrorBoxesGoOn) {
  AppHarness h;
  ASSERT_EQ(h.Start(), std::nullopt);
  h.app().ShowInfo("Type desktop name.");
  h.app().ShowError("Something.");
  ASSERT_EQ(h.boxes.Boxes().size(), 2u);
  EXPECT_EQ(h.boxes.Boxes()[0].caption, "Attention 8-|");
  EXPECT_EQ(h.boxes.Boxes()[0].style, kMbOk);
  EXPECT_EQ(h.boxes.Boxes()[0].text, "Type desktop name.");
  EXPECT_EQ(h.boxes.Boxes()[1].caption, "Error :(");
  EXPECT_EQ(h.boxes.Boxes()[1].style, kMbIconError);
  EXPECT_EQ(h.process.ExitCode(), std::nullopt);
  EXPECT_THROW(h.app().FatalError("Bad."), ProcessExit);
  EXPECT_EQ(h.process.ExitCode(), 1);
  EXPECT_EQ(h.boxes.Boxes()[2].text, "Bad.");
}

TEST(HiddenWindow, AnswersCreationAndPassesTheRestToTheDefaultProcedure) {
  AppHarness h;
  ASSERT_EQ(h.Start(), std::nullopt);
  ASSERT_GE(h.host.Deliveries().size(), 2u);  // sent while the window was created
  EXPECT_EQ(h.host.Deliveries()[0].message, kWmNcCreate);
  const struct {
    std::uint32_t message;
    bool handled;
    std::intptr_t result;
  } cases[] = {{kWmNcCreate, true, 1}, {kWmCreate, true, 0}, {0x0005, false, 0},
               {0x0011, true, 1},      {0x0016, true, 0},    {0x0400, false, 0}};
  for (const auto& c : cases) {
    std::intptr_t result = 77;
    EXPECT_EQ(h.app().OnWindowMessage(c.message, 0, 0, &result), c.handled) << c.message;
    if (c.handled) {
      EXPECT_EQ(result, c.result) << c.message;
    }
  }
  EXPECT_FALSE(h.host.QuitReceived());
}

TEST(MessageLoop, MatchesHotkeysAndEndsWhenTheHiddenWindowIsClosed) {
  AppHarness h;
  h.host.PostThread(kWmHotkey, FakeHotkeyRegistrar::PressLParam(kAlt, kF2));
  h.host.PostToHidden(kWmClose);
  ASSERT_EQ(h.Start(), std::nullopt);
  EXPECT_TRUE(h.host.QuitReceived());
  EXPECT_EQ(h.host.DryReads(), 0);
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
  const auto& d = h.host.Deliveries();
  ASSERT_GE(d.size(), 2u);
  EXPECT_EQ(d[d.size() - 2].message, kWmHotkey);  // dispatched too, and dropped: no window
  EXPECT_FALSE(d[d.size() - 2].handled);
  EXPECT_EQ(d.back().message, kWmClose);
  EXPECT_TRUE(d.back().handled);
  EXPECT_EQ(d.back().result, 0);
  EXPECT_TRUE(h.windows.Exists(h.host.Hidden()));  // closing does not destroy it
}

}  // namespace
}  // namespace vt
