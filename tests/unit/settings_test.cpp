#include <cctype>

#include "test_support.h"

namespace vt {
namespace {

using ::testing::IsEmpty;

const Values kDefaultDesks = {{"VirtDesk1", kMultiSz, "1 112\n"},
                              {"VirtDesk2", kMultiSz, "1 113\n"},
                              {"VirtDesk3", kMultiSz, "1 114\n"}};

TEST(Settings, FirstRunWritesTheDefaultsByteForByteAndLoadsThem) {
  AppHarness h;
  ASSERT_EQ(h.Start(), std::nullopt);
  EXPECT_EQ(h.store.Values(kOptionsKey), (Values{{"PrevDesk", kSz, "1 37"},
                                                 {"NextDesk", kSz, "1 39"},
                                                 {"ShowCurDeskMsg", kBinary, "\x01"}}));
  EXPECT_EQ(h.store.Values(kRunKey), (Values{{kRunValue, kSz, h.process.ModulePath()}}));
  EXPECT_EQ(h.store.Values(kDesksKey), kDefaultDesks);
  const OptionsBlock o = h.app().GetOptions();
  EXPECT_EQ(o.prevHotkey, MakeHotkeyCode(kAlt, kLeft));
  EXPECT_EQ(o.nextHotkey, MakeHotkeyCode(kAlt, kRight));
  EXPECT_EQ(o.showNotice, 1);
  EXPECT_EQ(o.startAtLogon, 1);
  EXPECT_EQ(h.Names(), (Strings{"VirtDesk1", "VirtDesk2", "VirtDesk3"}));
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  EXPECT_EQ(h.store.OpenHandles(), 0u);

  h.Stop();  // the save writes every hotkey with its line feed, in place
  EXPECT_EQ(h.store.Values(kOptionsKey), (Values{{"PrevDesk", kSz, "1 37\n"},
                                                 {"NextDesk", kSz, "1 39\n"},
                                                 {"ShowCurDeskMsg", kBinary, "\x01"}}));
  EXPECT_EQ(h.store.Values(kRunKey), (Values{{kRunValue, kSz, h.process.ModulePath()}}));
  EXPECT_EQ(h.store.Values(kDesksKey), kDefaultDesks);
  EXPECT_EQ(h.store.OpenHandles(), 0u);
  EXPECT_EQ(h.store.BadCloses(), 0);
}

TEST(Settings, DefaultsFollowEachNewKeyOnItsOwn) {
  AppHarness h;
  h.store.Seed(kOptionsKey, "NextDesk", kSz, "2 40\n");
  h.store.SeedKey(kRunKey);  // the system's own key, always there
  const Values options = h.store.Values(kOptionsKey);
  ASSERT_EQ(h.Start(), std::nullopt);
  EXPECT_EQ(h.store.Values(kDesksKey), kDefaultDesks);
  EXPECT_EQ(h.store.Values(kOptionsKey), options);
  EXPECT_THAT(h.store.Values(kRunKey), IsEmpty());
  EXPECT_EQ(h.app().GetOptions().startAtLogon, 0);
  EXPECT_EQ(h.app().GetOptions().nextHotkey, MakeHotkeyCode(2, 40));
}

// The extras' key written before the very first start makes the options key on the way; the
// start writes the defaults all the same, but not over an options value already there.
TEST(Settings, TheExtrasKeyBeforeTheFirstStartLeavesTheDefaultsAsWithout) {
  AppHarness h, kept, rulesFirst;
  for (AppHarness* a : {&h, &kept})
    a->store.Seed("Software\\veilswitcher\\more", "WrapAround", 4, std::string("\x01\0\0\0", 4));
  rulesFirst.store.Seed("Software\\veilswitcher\\rules\\1", "Program", kSz, "mail.exe");
  ASSERT_EQ(rulesFirst.Start(), std::nullopt);
  EXPECT_EQ(rulesFirst.store.Values(kOptionsKey).size(), 3u);
  kept.store.Seed(kOptionsKey, "NextDesk", kSz, "2 40\n");
  kept.store.SeedKey(kRunKey);
  ASSERT_EQ(h.Start(), std::nullopt);
  ASSERT_EQ(kept.Start(), std::nullopt);
  EXPECT_EQ(h.store.Values(kOptionsKey), (Values{{"PrevDesk", kSz, "1 37"},
                                                 {"NextDesk", kSz, "1 39"},
                                                 {"ShowCurDeskMsg", kBinary, "\x01"}}));
  EXPECT_EQ(h.store.Values(kRunKey), (Values{{kRunValue, kSz, h.process.ModulePath()}}));
  EXPECT_EQ(h.store.Values(kDesksKey), kDefaultDesks);
  EXPECT_TRUE(h.app().GetMoreOptions().wrapAround);
  EXPECT_EQ(kept.store.Values(kOptionsKey), (Values{{"NextDesk", kSz, "2 40\n"}}));
  EXPECT_EQ(h.store.OpenHandles(), 0u);
}

// A user who turned start at logon off, and whose options key has lost its values beside the
// extras' key: the options get their defaults, the "off" stays.
TEST(Settings, AnEmptyOptionsKeyAfterEarlierRunsKeepsStartAtLogonOff) {
  AppHarness h;
  Stored s;
  Seed(h.store, s);
  for (const char* name : {"NextDesk", "PrevDesk", "ShowCurDeskMsg"})
    h.store.RemoveValue(kOptionsKey, name);
  h.store.Seed("Software\\veilswitcher\\more", "WrapAround", 4, std::string("\x01\0\0\0", 4));
  ASSERT_EQ(h.Start(), std::nullopt);
  EXPECT_EQ(h.store.Values(kOptionsKey).size(), 3u);
  EXPECT_TRUE(h.store.Values(kRunKey).empty());
  EXPECT_EQ(h.app().GetOptions().startAtLogon, 0);
}

TEST(Settings, AnExistingEmptyDesktopsKeyStaysEmpty) {
  AppHarness h;
  Stored s;
  s.desks.clear();
  Seed(h.store, s);
  ASSERT_EQ(h.Start(), std::nullopt);
  EXPECT_EQ(h.app().Table().Count(), 0u);
  EXPECT_TRUE(h.store.HasKey(kDesksKey));
  EXPECT_THAT(h.store.Values(kDesksKey), IsEmpty());
}

TEST(Settings, LoadsDesktopsInStoreOrderAndSavesThemInNumberOrder) {
  AppHarness h;
  Stored s;
  s.logon = true;  // another program's path still means start at logon
  s.desks = {{"Zeta", "1 112"}, {"Alpha", "2 113 and junk"}, {"Mid", "0 0\n"}};
  Seed(h.store, s);
  h.store.Seed(kDesksKey, "Alpha", kSz, "2 113 and junk");  // the type is not checked
  ASSERT_EQ(h.Start(), std::nullopt);
  EXPECT_EQ(h.Names(), (Strings{"Zeta", "Alpha", "Mid"}));
  EXPECT_EQ(h.Hotkeys(), (std::vector<HotkeyCode>{0x10070, 0x20071, 0}));
  EXPECT_EQ(h.app().GetOptions().startAtLogon, 1);

  ASSERT_TRUE(h.app().SetDesktopName(1, "Omega"));
  h.Stop();
  EXPECT_EQ(h.store.Values(kDesksKey), (Values{{"Omega", kMultiSz, "1 112\n"},
                                               {"Alpha", kMultiSz, "2 113\n"},
                                               {"Mid", kMultiSz, "0 0\n"}}));
  EXPECT_EQ(h.store.Values(kRunKey), (Values{{kRunValue, kSz, h.process.ModulePath()}}));
}

TEST(Settings, DataThatIsMissingTooLongOrNotTwoIntegersGivesNoHotkey) {
  AppHarness h;
  Stored s;
  s.prev = "1 37" + std::string(272, ' ');  // 276 bytes: past the 275-byte buffer
  s.notice = "\x01\x01";                    // two bytes do not fit the one-byte read
  s.desks = {{"Words", "abc"},
             {"Half", "1"},
             {"Long", "1 112" + std::string(300, ' ')},
             {"Full", "1 113" + std::string(270, ' ')},  // exactly 275 bytes
             {"Empty", ""}};
  Seed(h.store, s);
  h.store.RemoveValue(kOptionsKey, "NextDesk");
  h.store.Seed(kRunKey, kRunValue, kSz, std::string(276, 'p'));  // too long: start at logon off

  ASSERT_EQ(h.Start(), std::nullopt);
  const OptionsBlock o = h.app().GetOptions();
  EXPECT_EQ(o.nextHotkey, 0u);
  EXPECT_EQ(o.prevHotkey, 0u);
  EXPECT_EQ(o.showNotice, 0);
  EXPECT_EQ(o.startAtLogon, 0);
  EXPECT_EQ(h.Names(), (Strings{"Words", "Half", "Long", "Full", "Empty"}));
  EXPECT_EQ(h.Hotkeys(), (std::vector<HotkeyCode>{0, 0, 0, MakeHotkeyCode(1, 113), 0}));
}

TEST(Settings, LongValueNamesAreCutTo14CharactersKeptUniqueAndLoadingGoesOn) {
  const struct {
    Strings stored;
    Strings loaded;  // empty: only checked for being short and unique
  } cases[] = {
      {{"One", "A name far too long", "Three"}, {"One", "A name far too", "Three"}},
      {{"ABCDEFGHIJKLMN", "abcdefghijklmnOPQ", "Last"}, {}},
  };
  for (const auto& c : cases) {
    AppHarness h;
    Stored s;
    s.desks = {{c.stored[0], "1 112\n"}, {c.stored[1], "1 113\n"}, {c.stored[2], "1 114\n"}};
    Seed(h.store, s);
    ASSERT_EQ(h.Start(), std::nullopt);
    const Strings names = h.Names();
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(h.Hotkeys(), (std::vector<HotkeyCode>{0x10070, 0x10071, 0x10072}));
    if (!c.loaded.empty()) {
      EXPECT_EQ(names, c.loaded);
      continue;
    }
    EXPECT_EQ(names[0], c.stored[0]);
    EXPECT_EQ(names[2], c.stored[2]);
    EXPECT_LE(names[1].size(), 14u);
    std::string folded0 = names[0], folded1 = names[1];
    for (std::string* n : {&folded0, &folded1}) {
      for (char& ch : *n) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    EXPECT_NE(folded0, folded1) << names[1];
  }
}

TEST(Settings, SavedOptionsDropTheRunValueAndEmptyNamesUseTheDefaultValue) {
  AppHarness h;
  ASSERT_EQ(h.Start(), std::nullopt);
  h.app().ApplyOptions(OptionsBlock{MakeHotkeyCode(kCtrl, kLeft), 0, 0, 0});
  EXPECT_FALSE(h.app().SetDesktopName(4, "VirtDesk1"));  // leaves desktop 4 without a name
  h.Stop();
  EXPECT_EQ(h.store.Values(kOptionsKey),
            (Values{{"PrevDesk", kSz, "2 37\n"},
                    {"NextDesk", kSz, "0 0\n"},
                    {"ShowCurDeskMsg", kBinary, std::string(1, '\0')}}));
  EXPECT_TRUE(h.store.HasKey(kRunKey));
  EXPECT_THAT(h.store.Values(kRunKey), IsEmpty());
  EXPECT_EQ(h.store.Values(kDesksKey).back(), (Value{"", kMultiSz, "0 0\n"}));

  AppHarness again;
  again.store.CopyContentsFrom(h.store);
  ASSERT_EQ(again.Start(), std::nullopt);
  EXPECT_EQ(again.Names(), (Strings{"VirtDesk1", "VirtDesk2", "VirtDesk3", ""}));
  EXPECT_EQ(again.app().GetOptions().startAtLogon, 0);
}

TEST(Settings, AnyNonZeroNoticeByteShowsTheNoticeAndIsWrittenBackAsStored) {
  AppHarness h;
  Stored s;
  s.notice = "\x80";
  Seed(h.store, s);
  ASSERT_EQ(h.Start(), std::nullopt);
  EXPECT_EQ(h.app().GetOptions().showNotice, 0x80);
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(h.notice.ShownTexts(), Strings{"Two"});
  h.Stop();
  EXPECT_EQ(h.store.Find(kOptionsKey, "ShowCurDeskMsg")->data, "\x80");
}

TEST(Settings, NothingIsWrittenByAnObjectThatNeverStarted) {
  AppHarness h;
  Seed(h.store, Stored());
  const auto before = h.store.Snapshot();
  { CVirtualDeskApp idle(h.platform()); }
  EXPECT_EQ(h.store.Snapshot(), before);
}

TEST(SettingsFailures, SaveReportsAKeyItCannotOpenAndGoesOn) {
  const struct {
    Op op;
    const char* path;
    const char* message;
    const char* nextDesk;  // what the store holds afterwards
    const char* runValue;
    bool desksWritten;
  } cases[] = {
      {Op::kOpen, kOptionsKey, "Troubles while opening registry, for saving changes.", "1 39",
       "module", true},
      {Op::kOpenPlain, kRunKey, "Troubles while opening registry, for saving autostart status.",
       "1 39\n", "stale", true},
      {Op::kCreate, kDesksKey, "Cant open registry for saving desktops information.", "1 39\n",
       "module", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    AppHarness h;
    Stored s;
    s.next = "1 39";
    Seed(h.store, s);
    ASSERT_EQ(h.Start(), std::nullopt);
    ASSERT_TRUE(h.app().SetDesktopName(1, "Omega"));
    h.app().ApplyOptions(
        OptionsBlock{MakeHotkeyCode(kAlt, kLeft), MakeHotkeyCode(kAlt, kRight), 0, 1});
    h.store.Seed(kRunKey, kRunValue, kSz, "stale");
    h.store.FailOn(c.op, c.path);
    h.Stop();
    ASSERT_EQ(h.boxes.Boxes().size(), 1u);
    EXPECT_EQ(h.boxes.Boxes()[0].text, c.message);
    EXPECT_EQ(h.boxes.Boxes()[0].caption, "Error :(");
    EXPECT_EQ(h.boxes.Boxes()[0].style, kMbIconError);
    EXPECT_EQ(h.process.ExitCode(), std::nullopt);
    EXPECT_EQ(h.store.Find(kOptionsKey, "NextDesk")->data, c.nextDesk);
    const std::string run = c.runValue == std::string("module") ? h.process.ModulePath() : "stale";
    EXPECT_EQ(h.store.Find(kRunKey, kRunValue)->data, run);
    EXPECT_EQ(h.store.Find(kDesksKey, "Omega") != nullptr, c.desksWritten);
    EXPECT_EQ(h.store.Find(kDesksKey, "One"), nullptr);
    EXPECT_EQ(h.store.OpenHandles(), 0u);
  }
}

TEST(SettingsFailures, StartUpFailuresAreFatalAndLeaveTheStoreAsItWas) {
  const struct {
    Op op;
    const char* path;
    bool seeded;
    const char* message;
  } cases[] = {
      {Op::kCreate, kOptionsKey, false, "Cant open registry for setting default options."},
      {Op::kCreate, kRunKey, false, "Cant open registry for setting autostart."},
      {Op::kCreate, kDesksKey, false,
       "Cant open registry for setting default desktops information."},
      {Op::kOpen, kOptionsKey, true, "Cant open registry for options reading."},
      {Op::kOpenPlain, kRunKey, true,
       "Troubles while opening registry. Cant read autostart status."},
      {Op::kOpen, kDesksKey, true,
       "Troubles while opening registry, cant read desktops information."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    AppHarness h;
    if (c.seeded) Seed(h.store, Stored());
    h.store.FailOn(c.op, c.path);
    EXPECT_EQ(h.Start(), 1);
    const auto atExit = h.store.Snapshot();
    h.Stop();
    ASSERT_EQ(h.boxes.Boxes().size(), 1u);
    EXPECT_EQ(h.boxes.Boxes()[0].text, c.message);
    EXPECT_EQ(h.boxes.Boxes()[0].caption, "Error :(");
    EXPECT_EQ(h.boxes.Boxes()[0].style, kMbIconError);
    EXPECT_EQ(h.store.Snapshot(), atExit);
    EXPECT_TRUE(h.hotkeys.Registrations().empty());
    EXPECT_FALSE(h.process.HoldsLock());
  }
}

}  // namespace
}  // namespace vt
