#include "test_support.h"

namespace vt {
namespace {

using Log = std::vector<FakeWindowSystem::LogEntry>;
using ::testing::IsEmpty;

constexpr std::uint32_t kWmCommand = 0x0111, kWmTrayNotify = 0x0401;
constexpr std::intptr_t kMouseMove = 0x0200, kLButtonDown = 0x0201, kLButtonUp = 0x0202,
                        kLButtonDblClk = 0x0203, kRButtonDown = 0x0204, kRButtonUp = 0x0205,
                        kRButtonDblClk = 0x0206, kMButtonDown = 0x0207, kMButtonUp = 0x0208,
                        kMButtonDblClk = 0x0209;
constexpr std::uint32_t kLastWindowItem = 899;

// The hidden window's procedure, called as the dispatcher of any loop (nested or not) calls it.
std::intptr_t Send(AppHarness& h, std::uint32_t message, std::uintptr_t wParam,
                   std::intptr_t lParam) {
  std::intptr_t result = -7;
  EXPECT_TRUE(h.app().OnWindowMessage(message, wParam, lParam, &result)) << message;
  return result;
}
void Command(AppHarness& h, std::uint32_t id) {
  EXPECT_EQ(Send(h, kWmCommand, id, 0), 0) << id;
}
void Tray(AppHarness& h, std::intptr_t mouse) {
  EXPECT_EQ(Send(h, kWmTrayNotify, 0, mouse), 0) << mouse;
}

// Dispatches what is queued for the hidden window, such as the command of a closed menu.
void Pump(AppHarness& h) {
  std::uint32_t message = 0, lParam = 0;
  while (h.host.NextMessage(&message, &lParam)) h.host.DispatchCurrent();
}

void RightClick(AppHarness& h) {
  Tray(h, kRButtonDown);
  Pump(h);
}

// One line per item, top to bottom: "905 Two *" is the checked desktop item, "  3 P" a window
// item, "  5 empty ;| (off)" an item that cannot be chosen.
Strings Lines(const DesktopMenuModel& model) {
  Strings lines;
  for (const DesktopSubmenu& d : model.desktops) {
    lines.push_back(std::to_string(d.itemId) + " " + d.name + (d.current ? " *" : ""));
    for (const MenuEntry& e : d.entries)
      lines.push_back("  " + std::to_string(e.id) + " " + e.text + (e.enabled ? "" : " (off)"));
  }
  return lines;
}

std::size_t Entries(AppHarness& h) {
  std::size_t n = 0;
  for (const auto& d : h.app().Table()) n += d.second.windows.size();
  return n;
}

// Chooses every window item, highest number first so that the numbers still to come keep their
// meaning, and checks that each number reaches the window whose title it shows.
void ExpectEachItemRestoresItsWindow(AppHarness& h, const DesktopMenuModel& model) {
  struct Item {
    std::uint32_t id;
    std::string title;
    bool onCurrent;
  };
  std::vector<Item> items;
  for (const DesktopSubmenu& d : model.desktops) {
    for (const MenuEntry& e : d.entries) {
      EXPECT_EQ(e.title, e.enabled) << e.text;  // every item that can be chosen, and no note
      if (e.title) items.push_back(Item{e.id, e.text, d.current});
    }
  }
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    h.windows.ClearLog();
    Command(h, it->id);
    ASSERT_EQ(h.windows.Log().size(), 1u) << it->id;
    EXPECT_EQ(h.windows.TitleOf(h.windows.Log()[0].window), it->title) << it->id;
    EXPECT_EQ(h.windows.Log()[0].call, it->onCurrent ? Call::kBringToFront : Call::kShow) << it->id;
  }
}

class TrayMenu : public Running {
 protected:
  const DesktopMenuModel& Menu() {
    RightClick(h);
    EXPECT_FALSE(h.tray.Tracked().empty());
    return h.tray.Tracked().back();
  }
};

TEST_F(TrayMenu, NumbersWindowsAcrossDesktopsAndChoosingOneOfTheCurrentBringsItForward) {
  StartWith();
  h.OpenWindows({"A", "B"});
  h.app().SwitchToDesktop(2);
  const WindowId q = h.OpenWindows({"Q", "P"})[0];
  EXPECT_THAT(h.Titles(2), IsEmpty());
  h.windows.ClearLog();
  h.tray.PickNext(4);
  EXPECT_EQ(Lines(Menu()), (Strings{"904 One", "  1 A", "  2 B", "905 Two *", "  3 P", "  4 Q",
                                    "906 Three", "  5 empty ;| (off)"}));
  EXPECT_EQ(h.windows.Log(), (Log{{Call::kBringToFront, q}}));
  EXPECT_EQ(h.windows.ForegroundWindow(), q);
  EXPECT_EQ(h.Titles(2), (Strings{"P"}));  // refreshed by the menu, then Q's entry went
  EXPECT_EQ(h.Titles(1), (Strings{"A", "B"}));
  EXPECT_EQ(h.host.Deliveries().back().message, kWmCommand);
}

TEST_F(TrayMenu, EmptyDesktopsShowThePlaceholderAndLeaveTheNumberFree) {
  StartWith();
  h.app().SwitchToDesktop(2);
  h.windows.Open("W");
  h.app().SwitchToDesktop(3);
  EXPECT_EQ(Lines(Menu()), (Strings{"904 One", "  1 empty ;| (off)", "905 Two", "  1 W",
                                    "906 Three *", "  2 empty ;| (off)"}));
}

TEST_F(TrayMenu, WithoutDesktopsListsNothing) {
  Stored s;
  s.desks.clear();
  StartWith(s);
  h.windows.Open("V");
  EXPECT_THAT(Menu().desktops, IsEmpty());
  Command(h, 1);
  EXPECT_THAT(h.windows.Log(), IsEmpty());
}

TEST_F(TrayMenu, EveryListedNumberRestoresTheWindowItShows) {
  Stored s;
  s.desks.push_back({"Four", "1 115\n"});
  StartWith(s);
  h.OpenWindows({"A1", "A2"});
  h.app().SwitchToDesktop(3);  // desktop 2 stays empty
  h.OpenWindows({"C1", "C2", "C3"});
  h.app().SwitchToDesktop(4);
  h.OpenWindows({"D1", "D2"});
  const DesktopMenuModel model = Menu();
  EXPECT_EQ(Lines(model),
            (Strings{"904 One", "  1 A1", "  2 A2", "905 Two", "  3 empty ;| (off)", "906 Three",
                     "  3 C1", "  4 C2", "  5 C3", "907 Four *", "  6 D2", "  7 D1"}));
  ExpectEachItemRestoresItsWindow(h, model);
  EXPECT_EQ(Entries(h), 0u);
}

// The model keeps each title as the window has it; only the item's text doubles its `&`.
TEST_F(TrayMenu, TitlesAreKeptExactlyAndOnlyTheMenuTextDoublesAmpersands) {
  StartWith();
  const std::string unicode = "\xd0\x9f\xd1\x80\xd0\xb8 \xe4\xb8\x96 \xf0\x9f\x98\x80";
  h.OpenWindows({"Tom & Jerry", unicode});
  h.app().SwitchToDesktop(2);
  const DesktopMenuModel model = Menu();
  EXPECT_EQ(Lines(model), (Strings{"904 One", "  1 Tom & Jerry", "  2 " + unicode, "905 Two *",
                                   "  3 empty ;| (off)", "906 Three", "  3 empty ;| (off)"}));
  ExpectEachItemRestoresItsWindow(h, model);
  EXPECT_EQ(MenuItemText("&&a & b&"), "&&&&a && b&&");
  EXPECT_EQ(MenuItemText(unicode), unicode);
}

// 500 hidden windows on desktop 1, none on 2, 401 hidden on 3, 4 visible on the current
// desktop 4, none on 5: 905 windows, of which the first 899 can be listed.
class TrayMenuCap : public TrayMenu {
 protected:
  void SetUp() override {
    Stored s;
    s.desks = {{"One", "1 112\n"},
               {"Two", "1 113\n"},
               {"Three", "1 114\n"},
               {"Four", "1 115\n"},
               {"Five", "1 116\n"}};
    StartWith(s);
    Open(1, 500);
    h.app().SwitchToDesktop(2);
    h.app().SwitchToDesktop(3);
    Open(501, 401);
    h.app().SwitchToDesktop(4);
    Open(902, 4);
    h.windows.ClearLog();
  }
  void Open(int first, int count) {
    for (int i = first; i < first + count; ++i) h.windows.Open("W" + std::to_string(i));
  }
  static Strings EntryLines(const DesktopSubmenu& d) {
    DesktopMenuModel one;
    one.desktops.push_back(d);
    Strings lines = Lines(one);
    lines.erase(lines.begin());
    return lines;
  }
};

TEST_F(TrayMenuCap, ListsNoMoreThan899AndSaysHowManyAreLeftOut) {
  const DesktopMenuModel model = Menu();
  ASSERT_EQ(model.desktops.size(), 5u);
  std::vector<std::uint32_t> windowIds;
  for (const DesktopSubmenu& d : model.desktops) {
    for (const MenuEntry& e : d.entries) {
      EXPECT_LE(e.id, kLastWindowItem) << e.text;  // so never Exit, About or a desktop item
      if (e.enabled) windowIds.push_back(e.id);
    }
  }
  std::vector<std::uint32_t> expected(kLastWindowItem);
  for (std::uint32_t i = 0; i < kLastWindowItem; ++i) expected[i] = i + 1;
  EXPECT_EQ(windowIds, expected);
  EXPECT_EQ(model.desktops[0].entries.back().text, "W500");
  EXPECT_EQ(EntryLines(model.desktops[1]), (Strings{"  501 empty ;| (off)"}));
  const auto& third = model.desktops[2].entries;
  ASSERT_EQ(third.size(), 400u);
  EXPECT_EQ(third[398].id, kLastWindowItem);
  EXPECT_EQ(third[398].text, "W899");
  EXPECT_EQ(EntryLines(model.desktops[2]).back(), "  0 (2 more windows not listed) (off)");
  EXPECT_EQ(EntryLines(model.desktops[3]), (Strings{"  0 (4 more windows not listed) (off)"}));
  EXPECT_EQ(EntryLines(model.desktops[4]), (Strings{"  0 empty ;| (off)"}));
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(model.desktops[i].itemId, 904 + i);
  EXPECT_TRUE(model.desktops[3].current);
}

TEST_F(TrayMenuCap, NumbersPastTheListedOnesRestoreNothing) {
  const DesktopMenuModel model = Menu();
  for (std::uint32_t id : {0u, 900u, 901u, 904u, 908u, 950u}) h.app().RestoreWindow(id);
  for (std::uint32_t id : {902u, 903u, 904u, 908u, 950u}) Command(h, id);
  EXPECT_THAT(h.windows.Log(), IsEmpty());
  EXPECT_EQ(Entries(h), 905u);
  EXPECT_EQ(h.dialogs.AboutRuns(), 0);
  ExpectEachItemRestoresItsWindow(h, model);
  EXPECT_EQ(Entries(h), 905u - kLastWindowItem);
}

class Routing : public Running {
 protected:
  void SetUp() override { StartWith(); }
};

TEST_F(Routing, AnswersCreationAndCloseEndsTheLoopWithoutDestroyingTheWindow) {
  const struct {
    std::uint32_t message;
    std::intptr_t result;
  } cases[] = {{kWmCreate, 0}, {kWmNcCreate, 1}, {kWmClose, 0}};
  for (const auto& c : cases) EXPECT_EQ(Send(h, c.message, 0, 0), c.result) << c.message;
  EXPECT_FALSE(h.host.QuitReceived());
  Pump(h);
  EXPECT_TRUE(h.host.QuitReceived());
  EXPECT_TRUE(h.windows.Exists(h.host.Hidden()));
  EXPECT_EQ(h.process.ExitCode(), std::nullopt);
}

TEST(RoutingExit, EndsWithZeroAndTheShutdownGivesEverythingBack) {
  for (bool optionsOpen : {false, true}) {
    SCOPED_TRACE(optionsOpen ? "options dialog open" : "from the menu");
    AppHarness h;
    Seed(h.store, Stored());
    ASSERT_EQ(h.Start(), std::nullopt);
    const Ids ids = h.OpenWindows({"A", "B"});
    h.app().SwitchToDesktop(2);
    h.store.RemoveValue(kOptionsKey, "NextDesk");
    h.tray.PickNext(900);
    if (optionsOpen) {
      h.dialogs.onOptions = [&h](CVirtualDeskApp&) { RightClick(h); };
      EXPECT_THROW(Tray(h, kLButtonDown), ProcessExit);
    } else {
      EXPECT_THROW(RightClick(h), ProcessExit);
    }
    EXPECT_EQ(h.process.ExitCode(), 0);
    h.Stop();
    EXPECT_TRUE(h.windows.IsVisible(ids[0]) && h.windows.IsVisible(ids[1]));
    EXPECT_FALSE(h.tray.IconShown());
    EXPECT_EQ(h.tray.IconsInArea(), 0u);
    EXPECT_EQ(h.tray.MenusAlive(), 0);
    EXPECT_NE(h.store.Find(kOptionsKey, "NextDesk"), nullptr);
    EXPECT_FALSE(h.process.HoldsLock());
  }
}

TEST_F(Routing, AboutOpensOnceAtATimeAndAgainAfterItClosed) {
  int runsInside = -1;
  h.dialogs.onAbout = [&] {
    if (h.dialogs.AboutRuns() > 1) return;  // only the first box gets the second command
    h.tray.PickNext(901);                   // chosen from the menu over the open box
    RightClick(h);
    runsInside = h.dialogs.AboutRuns();
  };
  Command(h, 901);
  EXPECT_EQ(runsInside, 1);
  EXPECT_EQ(h.tray.Tracked().size(), 1u);
  EXPECT_EQ(h.dialogs.AboutRuns(), 1);
  Command(h, 901);
  EXPECT_EQ(h.dialogs.AboutRuns(), 2);
  EXPECT_EQ(h.dialogs.OptionsRuns(), 0);
}

TEST_F(Routing, LeftClickOpensTheOptionsOnceAndSavesAfterTheyClose) {
  const std::string next = h.store.Find(kOptionsKey, "NextDesk")->data;
  h.store.RemoveValue(kOptionsKey, "NextDesk");
  bool savedWhileOpen = true;
  h.dialogs.onOptions = [&](CVirtualDeskApp&) {
    if (h.dialogs.OptionsRuns() > 1) return;  // a dialog opened twice; counted below
    for (std::intptr_t m : {kLButtonUp, kLButtonDblClk, kLButtonUp, kLButtonDown}) Tray(h, m);
    Tray(h, kRButtonDown);  // the menu still opens over the dialog
    Command(h, 901);        // and so does the About box
    savedWhileOpen = h.store.Find(kOptionsKey, "NextDesk") != nullptr;
  };
  Tray(h, kLButtonDown);
  EXPECT_EQ(h.dialogs.OptionsRuns(), 1);
  EXPECT_EQ(h.tray.Tracked().size(), 1u);
  EXPECT_EQ(h.dialogs.AboutRuns(), 1);
  EXPECT_FALSE(savedWhileOpen);
  const auto* saved = h.store.Find(kOptionsKey, "NextDesk");
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(saved->data, next);
  h.dialogs.onOptions = nullptr;
  Tray(h, kLButtonDown);
  EXPECT_EQ(h.dialogs.OptionsRuns(), 2);
}

TEST_F(Routing, OtherMouseMessagesOnTheIconDoNothing) {
  h.OpenWindows({"A"});
  h.app().SwitchToDesktop(2);
  h.timeline.Clear();
  h.windows.ClearLog();
  for (std::intptr_t m : {kMouseMove, kLButtonUp, kLButtonDblClk, kRButtonUp, kRButtonDblClk,
                          kMButtonDown, kMButtonUp, kMButtonDblClk})
    Tray(h, m);
  EXPECT_EQ(h.dialogs.OptionsRuns() + h.dialogs.AboutRuns(), 0);
  EXPECT_THAT(h.tray.Tracked(), IsEmpty());
  EXPECT_THAT(h.timeline.Events(), IsEmpty());
  EXPECT_THAT(h.windows.Log(), IsEmpty());
  EXPECT_EQ(h.Titles(1), (Strings{"A"}));
}

TEST_F(Routing, EachRightClickBuildsTheMenuAnewAndShutdownDestroysIt) {
  EXPECT_EQ(h.tray.MenusAlive(), 0);
  h.OpenWindows({"A"});
  h.app().SwitchToDesktop(2);
  h.windows.ClearLog();
  RightClick(h);
  RightClick(h);
  ASSERT_EQ(h.tray.Tracked().size(), 2u);
  EXPECT_EQ(Lines(h.tray.Tracked()[0]), Lines(h.tray.Tracked()[1]));
  EXPECT_EQ(h.tray.MenusAlive(), 4);  // the last popup and its three submenus only
  h.windows.Open("N");
  RightClick(h);
  EXPECT_EQ(Lines(h.tray.Tracked()[2]),
            (Strings{"904 One", "  1 A", "905 Two *", "  2 N", "906 Three", "  3 empty ;| (off)"}));
  EXPECT_THAT(h.windows.Log(), IsEmpty());  // closed without a choice
  h.Stop();
  EXPECT_EQ(h.tray.MenusAlive(), 0);
}

TEST(TrayStartUp, IconIsAddedForTheHiddenWindowAfterLoadingAndBeforeHotkeys) {
  AppHarness h;
  Seed(h.store, Stored());
  ASSERT_EQ(h.Start(), std::nullopt);
  const Timeline& t = h.timeline;
  const long add = t.Find("tray.Add");
  EXPECT_LT(t.Find("reg.Open Software\\veilswitcher\\desks"), add);
  EXPECT_LT(t.FindLast("reg."), add);
  EXPECT_LT(add, t.Find("hk.Register"));
  EXPECT_EQ(t.FindLast("tray.Add"), add);
  EXPECT_TRUE(h.tray.IconShown());
  EXPECT_EQ(h.tray.IconOwner(), h.host.Hidden());
  EXPECT_NE(h.host.Hidden(), 0u);
}

TEST(TrayStartUp, RefusedIconIsFatalAndTheShutdownStillSaves) {
  AppHarness h;
  Seed(h.store, Stored());
  h.tray.FailAddIcon();
  EXPECT_EQ(h.Start(), 1);
  ASSERT_EQ(h.boxes.Boxes().size(), 1u);
  EXPECT_EQ(h.boxes.Boxes()[0].text, "Cant go to systray.");
  EXPECT_EQ(h.boxes.Boxes()[0].caption, "Error :(");
  EXPECT_EQ(h.boxes.Boxes()[0].style, kMbIconError);
  EXPECT_EQ(h.timeline.Find("hk.Register"), -1);
  h.store.RemoveValue(kOptionsKey, "NextDesk");
  h.Stop();
  EXPECT_NE(h.store.Find(kOptionsKey, "NextDesk"), nullptr);
  EXPECT_EQ(h.tray.IconsInArea(), 0u);
  EXPECT_FALSE(h.process.HoldsLock());
}

TEST(TrayStartUp, RefusedSecondCopyLeavesTheRunningCopysIconShown) {
  AppHarness first;
  Seed(first.store, Stored());
  ASSERT_EQ(first.Start(), std::nullopt);
  AppHarness second;
  second.process.ShareLocksWith(first.process);
  second.tray.ShareAreaWith(first.tray);
  second.store.CopyContentsFrom(first.store);
  EXPECT_EQ(second.Start(), 1);
  second.Stop();
  EXPECT_EQ(second.timeline.Find("tray.Add"), -1);
  EXPECT_GE(second.timeline.Find("tray.Remove"), 0);  // on its own, never filled record
  EXPECT_TRUE(first.tray.IconShown());
  EXPECT_EQ(first.tray.IconsInArea(), 1u);
  first.Stop();
  EXPECT_EQ(first.tray.IconsInArea(), 0u);
}

}  // namespace
}  // namespace vt
