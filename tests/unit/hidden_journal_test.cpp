#include "settings/hidden_journal.h"

#include "test_support.h"

namespace vt {
namespace {

constexpr const char* kJournalKey = "Software\\veilswitcher\\hidden";
constexpr std::uint32_t kOurs = 0x4d0;  // the fake's windows all belong to this process

class Journal : public Running {
 protected:
  // What the stored journal says, one "desktop:title" per record; "missing" without a key.
  Strings Recorded() {
    if (!h.store.HasKey(kJournalKey)) return {"missing"};
    const Value* v = h.store.Find(kJournalKey, "windows");
    std::vector<JournalRecord> records;
    if (!v || v->type != kBinary || !DecodeJournal(v->data, &records)) return {"malformed"};
    Strings out;
    for (const JournalRecord& r : records)
      out.push_back(r.desktopName + ":" + h.windows.TitleOf(r.window));
    return out;
  }
  void SeedJournal(const std::string& data) { h.store.Seed(kJournalKey, "windows", kBinary, data); }
  JournalRecord RecordOf(WindowId w, const std::string& desk) {
    return JournalRecord{w, kOurs, 2, desk, "TestWindow"};
  }
};

TEST_F(Journal, FollowsEveryChangeOfTheHiddenSetAndAnOrderlyEndEmptiesIt) {
  StartWith();
  const Ids ab = h.OpenWindows({"A", "B"});
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(Recorded(), (Strings{"One:A", "One:B"}));
  std::vector<JournalRecord> records;
  DecodeJournal(h.store.Find(kJournalKey, "windows")->data, &records);
  EXPECT_EQ(records[0], (JournalRecord{ab[0], kOurs, 1, "One", "TestWindow"}));

  AppHarness second;  // a refused second copy leaves the journal as it found it
  second.process.ShareLocksWith(h.process);
  second.store.CopyContentsFrom(h.store);
  EXPECT_EQ(second.Start(), 1);
  second.Stop();
  EXPECT_EQ(second.store.Snapshot(), h.store.Snapshot());

  h.windows.Open("C");
  h.app().SwitchToDesktop(3);
  EXPECT_EQ(Recorded(), (Strings{"One:A", "One:B", "Two:C"}));
  h.app().RestoreWindow(1);
  EXPECT_EQ(Recorded(), (Strings{"One:B", "Two:C"}));
  ASSERT_TRUE(h.app().DeleteDesktop(2));
  EXPECT_EQ(Recorded(), (Strings{"One:B"}));
  h.Stop();
  EXPECT_EQ(Recorded(), (Strings{"missing"}));
}

TEST_F(Journal, AKilledCopysWindowsComeBackAtTheNextStart) {
  StartWith();
  const WindowId a = h.windows.Open("A");
  h.app().SwitchToDesktop(2);
  const WindowId b = h.windows.Open("B");
  h.app().SwitchToDesktop(3);
  h.Kill();
  EXPECT_FALSE(h.windows.IsVisible(a) || h.windows.IsVisible(b));
  ASSERT_EQ(h.Start(), std::nullopt);
  EXPECT_TRUE(h.windows.IsVisible(a));
  EXPECT_FALSE(h.windows.IsVisible(b));
  EXPECT_EQ(h.Titles(2), (Strings{"B"}));
  EXPECT_EQ(Recorded(), (Strings{"Two:B"}));
  ASSERT_TRUE(h.Press(kAlt, kF2));
  EXPECT_TRUE(h.windows.IsVisible(b));
  h.Stop();
  EXPECT_TRUE(h.windows.IsVisible(a) && h.windows.IsVisible(b));
  EXPECT_EQ(Recorded(), (Strings{"missing"}));
}

TEST_F(Journal, OnlyWindowsStillHiddenAsRecordedAreTakenBack) {
  Seed(h.store, vt::Stored{});
  const Ids w = h.OpenWindows({"Two", "One", "Gone", "Reused", "Reclassed", "Shown", "Closed"});
  for (WindowId id : w) h.windows.SetVisibleByOwner(id, id == w[5]);
  h.windows.SetOwnerAndClass(w[3], kOurs + 4, "TestWindow");
  h.windows.SetOwnerAndClass(w[4], kOurs, "Other");
  h.windows.Destroy(w[6]);
  SeedJournal(EncodeJournal({RecordOf(w[0], "Two"), RecordOf(w[1], "One"),
                             RecordOf(w[2], "NoSuchDesk"), RecordOf(w[3], "Two"),
                             RecordOf(w[4], "Two"), RecordOf(w[5], "Two"), RecordOf(w[6], "Two")}));
  ASSERT_EQ(h.Start(), std::nullopt);
  EXPECT_EQ(h.Titles(2), (Strings{"Two"}));
  EXPECT_EQ(h.windows.CallsOf(Call::kShowAsync), (Ids{w[1], w[2]}));
  const std::vector<bool> visible = {false, true, true, false, false, true};
  for (std::size_t i = 0; i < visible.size(); ++i)
    EXPECT_EQ(h.windows.IsVisible(w[i]), visible[i]) << h.windows.TitleOf(w[i]);
  EXPECT_EQ(Recorded(), (Strings{"Two:Two"}));
}

TEST_F(Journal, MalformedOrOverlongDataIsDroppedWithoutTouchingAnyWindow) {
  const WindowId w = FakeWindowSystem().Open("W", false);  // the handle each fresh start will give
  const std::string good = EncodeJournal({RecordOf(w, "Two")});
  const struct {
    std::string data;
    bool taken;
  } cases[] = {{good, true},
               {"", false},
               {"VSJ", false},
               {"XSJ1" + good.substr(4), false},
               {good.substr(0, good.size() - 1), false},
               {good + "\x01", false},
               {good + std::string(journal::kCapacity, 'x'), false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.data.size());
    AppHarness fresh;
    Seed(fresh.store, vt::Stored{});
    ASSERT_EQ(fresh.windows.Open("W", false), w);
    fresh.store.Seed(kJournalKey, "windows", kBinary, c.data);
    ASSERT_EQ(fresh.Start(), std::nullopt);
    EXPECT_FALSE(fresh.windows.IsVisible(w));
    EXPECT_EQ(fresh.Titles(2), c.taken ? Strings{"W"} : Strings{});
    EXPECT_EQ(fresh.store.HasKey(kJournalKey), c.taken);  // the journal describes the new state
  }
}

TEST_F(Journal, LogoffTakesTheJournalAndACrashShowsEveryWindowButKeepsIt) {
  StartWith();
  const WindowId a = h.windows.Open("A");
  h.app().SwitchToDesktop(2);
  const WindowId b = h.windows.Open("B");
  h.app().SwitchToDesktop(3);
  const auto journal = Recorded();
  h.app().ShowHiddenWindowsNow();
  EXPECT_TRUE(h.windows.IsVisible(a) && h.windows.IsVisible(b));
  EXPECT_EQ(Recorded(), journal);
  h.store.Logoff();
  EXPECT_EQ(Recorded(), (Strings{"missing"}));
  EXPECT_TRUE(h.store.HasKey(kOptionsKey));
}

TEST_F(Journal, TaskbarCreatedAddsTheIconAgainForTheSameWindow) {
  StartWith();
  const WindowId owner = h.tray.IconOwner();
  h.tray.RestartShell();
  ASSERT_FALSE(h.tray.IconShown());
  std::intptr_t result = 1;
  EXPECT_TRUE(h.app().OnWindowMessage(FakeTrayShell::kTaskbarCreated, 0, 0, &result));
  EXPECT_TRUE(h.tray.IconShown());
  EXPECT_EQ(h.tray.IconOwner(), owner);
  EXPECT_EQ(h.tray.IconsInArea(), 1u);
}

}  // namespace
}  // namespace vt
