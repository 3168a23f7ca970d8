#include <algorithm>

#include "test_support.h"

namespace vt {
namespace {

using Log = std::vector<FakeWindowSystem::LogEntry>;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

std::size_t Entries(AppHarness& h) {
  std::size_t n = 0;
  for (const auto& d : h.app().Table()) n += d.second.windows.size();
  return n;
}

class Switching : public Running {
 protected:
  void SetUp() override { StartWith(); }
};

// The stacking of `ids` alone, top first.
Ids Stack(AppHarness& h, const Ids& ids) {
  Ids out;
  for (WindowId w : h.windows.ZOrder()) {
    if (std::find(ids.begin(), ids.end(), w) != ids.end()) out.push_back(w);
  }
  return out;
}

TEST_F(Switching, CapturesTopDownKeepsBottomToTopAndActivatesFormerTop) {
  Ids zyx = h.OpenWindows({"Z", "Y", "X"});
  const WindowId z = zyx[0], y = zyx[1], x = zyx[2];
  int moves = h.windows.ActivationChanges();
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(h.Titles(1), (Strings{"Z", "Y", "X"}));
  EXPECT_FALSE(h.windows.IsVisible(x) || h.windows.IsVisible(y) || h.windows.IsVisible(z));
  EXPECT_EQ(h.windows.ActivationChanges() - moves, 1);  // handed on once, not down the stack
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
  moves = h.windows.ActivationChanges();
  h.app().SwitchToDesktop(1);
  EXPECT_TRUE(h.windows.IsVisible(x) && h.windows.IsVisible(y) && h.windows.IsVisible(z));
  EXPECT_EQ(Stack(h, zyx), (Ids{x, y, z}));
  EXPECT_EQ(h.windows.ForegroundWindow(), x);
  EXPECT_EQ(h.windows.ActiveWindow(), x);
  EXPECT_EQ(h.windows.ActivationChanges() - moves, 1);  // only the former top is activated
  EXPECT_EQ(h.Titles(1), (Strings{"Z", "Y", "X"}));     // the target's list is kept
}

TEST_F(Switching, FilterLeavesShellEmptyTitledInvisibleAndOwnWindowsAlone) {
  const std::string longTitle = std::string(274, 'L') + " and more";
  // The filter's buffer ends inside the emoji's surrogate pair: 273 units come back, not 274.
  const std::string cutPair = std::string(273, 'L') + "\xf0\x9f\x98\x80 and more";
  h.windows.SetVisibleByOwner(h.host.Hidden(), true);
  const WindowId shell = h.windows.Open("Program Manager");
  const WindowId shellToo = h.windows.Open("Program Managerial");
  const WindowId prefix = h.windows.Open("Program Mana");
  const WindowId untitled = h.windows.Open("");
  const WindowId ghost = h.windows.Open("Ghost", false);
  const WindowId lng = h.windows.Open(longTitle);
  h.windows.Open(cutPair);
  const WindowId cloaked = h.windows.Open("Suspended store app");
  h.windows.SetCloaked(cloaked, true);  // visible to the system, on no screen the user sees
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(h.Titles(1), (Strings{"Program Mana", longTitle, cutPair}));
  EXPECT_FALSE(h.windows.IsVisible(lng) || h.windows.IsVisible(prefix));
  for (WindowId w : {shell, shellToo, untitled, h.host.Hidden(), cloaked})
    EXPECT_TRUE(h.windows.IsVisible(w));
  h.windows.SetVisibleByOwner(cloaked, false);
  h.app().SwitchToDesktop(1);
  EXPECT_FALSE(h.windows.IsVisible(ghost));  // never recorded, so never shown
  EXPECT_FALSE(h.windows.IsVisible(cloaked));
  EXPECT_TRUE(h.windows.IsVisible(lng) && h.windows.IsVisible(prefix));
}

TEST_F(Switching, EmptyTargetActivatesNothing) {
  h.OpenWindows({"A"});
  h.app().SwitchToDesktop(3);
  EXPECT_THAT(h.windows.CallsOf(Call::kShow), IsEmpty());
  EXPECT_THAT(h.windows.CallsOf(Call::kActivate), IsEmpty());
  EXPECT_THAT(h.windows.CallsOf(Call::kBringToFront), IsEmpty());
  EXPECT_EQ(h.app().CurrentDesktop(), 3);
}

TEST_F(Switching, ToTheCurrentDesktopHidesAndShowsEverythingAgain) {
  Ids ids = h.OpenWindows({"Low", "Top"});
  h.app().SwitchToDesktop(1);
  EXPECT_TRUE(h.windows.IsVisible(ids[0]) && h.windows.IsVisible(ids[1]));
  EXPECT_EQ(Stack(h, ids), (Ids{ids[1], ids[0]}));
  EXPECT_EQ(h.windows.ForegroundWindow(), ids[1]);
  EXPECT_EQ(h.Titles(1), (Strings{"Low", "Top"}));
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
}

TEST_F(Switching, TargetsOutsideTheTableDoNothing) {
  h.OpenWindows({"A"});
  for (DesktopNumber target : {0, -1, 4, 32767}) h.app().SwitchToDesktop(target);
  EXPECT_TRUE(h.Press(kAlt, kLeft));  // previous on desktop 1
  EXPECT_THAT(h.windows.Log(), IsEmpty());
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  EXPECT_EQ(h.app().Table().Count(), 3u);
}

TEST_F(Switching, WindowDestroyedWhileHiddenKeepsItsEntry) {
  Ids ids = h.OpenWindows({"Alive", "Doomed"});
  h.app().SwitchToDesktop(2);
  h.windows.Destroy(ids[1]);
  h.app().SwitchToDesktop(1);
  EXPECT_TRUE(h.windows.IsVisible(ids[0]));
  EXPECT_FALSE(h.windows.Exists(ids[1]));
  EXPECT_EQ(h.Titles(1), (Strings{"Alive", "Doomed"}));
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
}

TEST_F(Switching, ShowAllWindowsShowsEveryListInDesktopOrderAndEmptiesThem) {
  const WindowId a = h.windows.Open("A");
  h.app().SwitchToDesktop(3);
  const WindowId c = h.windows.Open("C");
  h.app().SwitchToDesktop(2);
  h.windows.ClearLog();
  h.app().ShowAllWindows();
  EXPECT_EQ(h.windows.CallsOf(Call::kShow), (Ids{a, c}));
  EXPECT_TRUE(h.windows.IsVisible(a) && h.windows.IsVisible(c));
  EXPECT_EQ(Entries(h), 0u);
}

// A window of a program that takes no messages, on top of two of one that does: recorded and
// switched like any other, but never waited on; it follows once its thread wakes.
TEST_F(Switching, AProgramThatTakesNoMessagesIsNeverWaitedOn) {
  constexpr std::uint32_t kHung = 2;
  const Ids low = h.OpenWindows({"Low", "Mid"});
  const WindowId hung = h.windows.Open("Hung", true, kHung);
  const Ids all = {low[0], low[1], hung};
  h.windows.Hang(kHung);
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(h.Titles(1), (Strings{"Low", "Mid", "Hung"}));
  EXPECT_FALSE(h.windows.IsVisible(low[0]) || h.windows.IsVisible(low[1]));
  EXPECT_TRUE(h.windows.IsVisible(hung));
  EXPECT_EQ(h.windows.ProbesSent(), 2);  // once per thread, not per window
  h.windows.Wake(kHung);
  EXPECT_FALSE(h.windows.IsVisible(hung));
  h.windows.Hang(kHung);
  h.app().SwitchToDesktop(1);
  EXPECT_TRUE(h.windows.IsVisible(low[0]) && h.windows.IsVisible(low[1]));
  h.windows.Wake(kHung);
  EXPECT_EQ(Stack(h, all), (Ids{hung, low[1], low[0]}));
  EXPECT_EQ(h.windows.ActiveWindow(), hung);  // its own SW_SHOW activated it
  h.app().SwitchToDesktop(3);
  h.windows.Hang(kHung);
  h.app().RestoreWindow(3);  // Hung, from desktop 1
  h.app().ShowAllWindows();
  h.windows.Wake(kHung);
  for (WindowId w : all) EXPECT_TRUE(h.windows.IsVisible(w));
  EXPECT_EQ(h.windows.WaitsOnHungThreads(), 0);
}

TEST(SwitchingEmptyTable, NoSwitchHappens) {
  AppHarness h;
  Stored s;
  s.desks.clear();
  Seed(h.store, s);
  ASSERT_EQ(h.Start(), std::nullopt);
  const WindowId w = h.windows.Open("W");
  h.app().SwitchToDesktop(1);
  EXPECT_TRUE(h.Press(kAlt, kRight));
  EXPECT_TRUE(h.windows.IsVisible(w));
  EXPECT_THAT(h.windows.Log(), IsEmpty());
  EXPECT_EQ(h.app().Table().Count(), 0u);
}

// Lists of sizes 2, 0 and 3 on desktops 1 to 3, desktop 2 current; gives C1, C2, C3.
Ids BuildRestoreScene(AppHarness& h) {
  Seed(h.store, Stored());
  EXPECT_EQ(h.Start(), std::nullopt);
  h.OpenWindows({"A1", "A2"});
  h.app().SwitchToDesktop(3);
  Ids c = h.OpenWindows({"C1", "C2", "C3"});
  h.app().SwitchToDesktop(2);
  h.windows.ClearLog();
  return c;
}

class RestoreWindow : public ::testing::Test {
 protected:
  AppHarness h;
  Ids c_ = BuildRestoreScene(h);
};

TEST_F(RestoreWindow, OnAnotherDesktopShowsTheItemAndForgetsIt) {
  EXPECT_EQ(h.Titles(1), (Strings{"A1", "A2"}));
  EXPECT_EQ(h.Titles(3), (Strings{"C1", "C2", "C3"}));
  h.app().RestoreWindow(5);
  EXPECT_EQ(h.windows.Log(), (Log{{Call::kShow, c_[2]}}));
  EXPECT_TRUE(h.windows.IsVisible(c_[2]));
  EXPECT_EQ(h.Titles(3), (Strings{"C1", "C2"}));
  h.windows.ClearLog();
  h.app().SwitchToDesktop(3);  // C3 now belongs to desktop 2
  EXPECT_TRUE(h.windows.IsVisible(c_[0]) && h.windows.IsVisible(c_[1]));
  EXPECT_THAT(h.windows.CallsOf(Call::kShowNoActivateAsync), UnorderedElementsAre(c_[0], c_[1]));
  EXPECT_EQ(h.Titles(2), (Strings{"C3"}));
}

TEST_F(RestoreWindow, NumbersItemsAcrossDesktopsInOrder) {
  const struct {
    std::uint32_t item;
    const char* title;  // null: no item
  } cases[] = {{1, "A1"}, {2, "A2"}, {3, "C1"}, {5, "C3"}, {6, nullptr}, {0, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    AppHarness f;
    BuildRestoreScene(f);
    f.app().RestoreWindow(c.item);
    if (!c.title) {
      EXPECT_THAT(f.windows.Log(), IsEmpty());
      EXPECT_EQ(Entries(f), 5u);
      continue;
    }
    ASSERT_EQ(f.windows.Log().size(), 1u);
    EXPECT_EQ(f.windows.Log()[0].call, Call::kShow);
    EXPECT_EQ(f.windows.TitleOf(f.windows.Log()[0].window), c.title);
    EXPECT_EQ(Entries(f), 4u);
  }
}

TEST_F(RestoreWindow, OnTheCurrentDesktopOnlyBringsItForward) {
  h.app().SwitchToDesktop(3);
  h.windows.ClearLog();
  h.app().RestoreWindow(4);
  EXPECT_EQ(h.windows.Log(), (Log{{Call::kBringToFront, c_[1]}}));
  EXPECT_EQ(h.Titles(3), (Strings{"C1", "C3"}));
}

class Notice : public Running {};

TEST_F(Notice, OffShowsNothingAndDoesNotWait) {
  StartWith();
  h.app().SwitchToDesktop(2);
  EXPECT_THAT(h.notice.Events(), IsEmpty());
  EXPECT_EQ(h.process.PausedMs(), 0u);
}

TEST_F(Notice, OnNamesTheNewDesktopAtTheCornerForHalfASecond) {
  StartWith(WithNotice());
  h.app().SwitchToDesktop(2);
  ASSERT_EQ(h.notice.Events().size(), 2u);
  EXPECT_TRUE(h.notice.Events()[0].opened);
  EXPECT_EQ(h.notice.Events()[0].text, "Two");
  EXPECT_EQ(h.notice.Events()[0].x, 0);
  EXPECT_EQ(h.notice.Events()[0].y, 0);
  EXPECT_FALSE(h.notice.IsOpen());
  EXPECT_EQ(h.process.PausedMs(), 500u);
  EXPECT_LT(h.timeline.Find("tip.Open Two"), h.timeline.Find("proc.Pause 500"));
  EXPECT_LT(h.timeline.Find("proc.Pause 500"), h.timeline.Find("tip.Close"));
}

TEST_F(Notice, RefusedSwitchShowsNothing) {
  StartWith(WithNotice());
  h.Press(kAlt, kLeft);
  h.app().SwitchToDesktop(4);
  EXPECT_THAT(h.notice.Events(), IsEmpty());
  EXPECT_EQ(h.process.PausedMs(), 0u);
}

}  // namespace
}  // namespace vt
