#include "settings/hidden_journal.h"

#include "test_support.h"

namespace vt {
namespace {

constexpr const char* kJournalKey = "Software\\veilswitcher\\hidden\\1";  // session 1
constexpr std::uint32_t kOurs = 0x4d0;  // the process every fake window belongs to at first

// The stored journal, one "desktop:title" per record: "missing" without its key.
Strings Journal(AppHarness& h) {
  if (!h.store.HasKey(kJournalKey)) return {"missing"};
  const Value* v = h.store.Find(kJournalKey, "windows");
  std::vector<JournalRecord> records;
  if (!v || v->type != kBinary || !DecodeJournal(v->data, &records)) return {"malformed"};
  Strings out;
  for (const auto& r : records) out.push_back(r.desktopName + ":" + h.windows.TitleOf(r.window));
  return out;
}

class HiddenJournalKept : public Running {};

TEST_F(HiddenJournalKept, FollowsEveryChangeOfTheHiddenSetAndAnOrderlyEndEmptiesIt) {
  StartWith();
  h.OpenWindows({"A", "B"});
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(Journal(h), (Strings{"One:A", "One:B"}));
  h.windows.Open("C");
  h.app().SwitchToDesktop(3);
  EXPECT_EQ(Journal(h), (Strings{"One:A", "One:B", "Two:C"}));
  h.app().RestoreWindow(1);
  EXPECT_EQ(Journal(h), (Strings{"One:B", "Two:C"}));
  ASSERT_TRUE(h.app().DeleteDesktop(2));
  EXPECT_EQ(Journal(h), (Strings{"One:B"}));
  h.Stop();
  EXPECT_EQ(Journal(h), (Strings{"missing"}));
}

TEST_F(HiddenJournalKept, OnlyWindowsStillHiddenAsRecordedComeBackAtStart) {
  const Ids w = h.OpenWindows({"Two", "One", "Gone", "Reused", "Reclassed", "Shown", "Closed"});
  const char* desks[] = {"Two", "One", "NoSuchDesk", "Two", "Two", "Two", "Two"};
  std::vector<JournalRecord> records;
  for (std::size_t i = 0; i < w.size(); ++i)
    records.push_back({w[i], kOurs, 2, desks[i], "TestWindow"});
  for (WindowId id : w) h.windows.SetVisibleByOwner(id, id == w[5]);
  h.windows.SetOwnerAndClass(w[3], kOurs + 4, "TestWindow");
  h.windows.SetOwnerAndClass(w[4], kOurs, "Other");
  h.windows.Destroy(w[6]);
  h.store.Seed(kJournalKey, "windows", kBinary, EncodeJournal(records));
  StartWith();
  EXPECT_EQ(h.Titles(2), (Strings{"Two"}));  // still hidden: switching there shows it
  const std::vector<bool> visible = {false, true, true, false, false, true};
  for (std::size_t i = 0; i < visible.size(); ++i)
    EXPECT_EQ(h.windows.IsVisible(w[i]), visible[i]) << h.windows.TitleOf(w[i]);
  EXPECT_EQ(Journal(h), (Strings{"Two:Two"}));
}

// A hidden window closes and the system hands its handle to a new window of another program,
// which appears on the desktop shown now: it is journalled as what it is, and switching back to
// the first desktop does not show it.
TEST_F(HiddenJournalKept, AReusedHandleIsNeitherShownNorJournalledAsTheWindowItOnceNamed) {
  StartWith();
  const WindowId mail = h.OpenWindows({"Mail"})[0];
  h.app().SwitchToDesktop(2);
  h.windows.SetOwnerAndClass(mail, kOurs + 8, "Chat");
  h.windows.SetTitle(mail, "Chat");
  h.windows.SetVisibleByOwner(mail, true);
  h.app().SwitchToDesktop(3);
  std::vector<JournalRecord> records;
  ASSERT_TRUE(DecodeJournal(h.store.Find(kJournalKey, "windows")->data, &records));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1], (JournalRecord{mail, kOurs + 8, 2, "Two", "Chat"}));
  h.app().SwitchToDesktop(1);
  EXPECT_FALSE(h.windows.IsVisible(mail));
  EXPECT_TRUE(h.Titles(1).empty());
  EXPECT_EQ(Journal(h), (Strings{"Two:Chat"}));
}

// The journal as it stood at the last wait before the first hide of an operation.
class WriteAhead : public Running {
 protected:
  void SetUp() override {
    StartWith();
    h.windows.WhileWaiting([this] {
      if (h.windows.CallsOf(Call::kHideAsync).empty()) beforeHide_ = Journal(h);
      return false;
    });
  }
  Strings beforeHide_ = {"no wait"};
};

TEST_F(WriteAhead, EveryWindowAboutToBeHiddenIsJournalledFirst) {
  h.OpenWindows({"A"});
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(beforeHide_, (Strings{"One:A"}));
  h.windows.Open("B");
  h.windows.ClearLog();
  h.app().SwitchToDesktop(2);  // to the current desktop: its own windows are hidden a moment
  EXPECT_EQ(beforeHide_, (Strings{"One:A", "Two:B"}));
  EXPECT_EQ(Journal(h), (Strings{"One:A"}));
  h.windows.ClearLog();
  ASSERT_TRUE(h.app().DeleteDesktop(1));  // its windows come to desktop "Two", now number 1
  EXPECT_EQ(beforeHide_, (Strings{"Two:B", "Two:A"}));
  EXPECT_EQ(Journal(h), (Strings{"missing"}));
}

TEST_F(HiddenJournalKept, RenamesAreJournalledAndAFailedWriteIsMadeAgain) {
  StartWith();
  h.OpenWindows({"A"});
  h.app().SwitchToDesktop(2);
  ASSERT_TRUE(h.app().SetDesktopName(1, "Uno"));
  EXPECT_EQ(Journal(h), (Strings{"Uno:A"}));
  h.store.FailOn(Op::kSetValue, kJournalKey);
  h.windows.Open("B");
  h.app().SwitchToDesktop(3);
  EXPECT_EQ(Journal(h), (Strings{"Uno:A"}));
  h.store.ClearFailures();
  ASSERT_TRUE(h.app().SetDesktopName(3, "Tres"));  // changes no record, yet the write is due
  EXPECT_EQ(Journal(h), (Strings{"Uno:A", "Two:B"}));
  EXPECT_FALSE(h.store.IsVolatile("Software\\veilswitcher"));
  EXPECT_TRUE(h.store.IsVolatile(kJournalKey));
}

// The killed copy's hide is still queued for a program that does not answer: a show goes behind
// it, and the window stays in the journal until its program has answered.
TEST_F(HiddenJournalKept, AHideQueuedBeforeAKillIsUndoneWhenItsProgramWakes) {
  const WindowId w = h.windows.Open("Slow", true, 2);
  h.store.Seed(kJournalKey, "windows", kBinary,
               EncodeJournal({JournalRecord{w, kOurs, 2, "Two", "TestWindow"}}));
  h.windows.Hang(2);
  EXPECT_TRUE(h.windows.HideAsync(w));  // made by the copy that was killed
  StartWith();
  EXPECT_EQ(Journal(h), (Strings{"One:Slow"}));  // where the show it waits for puts it
  h.windows.Wake(2);
  EXPECT_TRUE(h.windows.IsVisible(w));
  h.app().SwitchToDesktop(2);
  EXPECT_EQ(h.Titles(1), (Strings{"Slow"}));
  EXPECT_FALSE(h.windows.IsVisible(w));
}

TEST_F(HiddenJournalKept, ACrashShowsWhatTheJournalHoldsEvenMidSwitch) {
  StartWith();
  const Ids ids = h.OpenWindows({"A", "B"});
  h.windows.WhileWaiting([&] {
    h.app().ShowHiddenWindowsNow();
    return true;
  });
  h.app().SwitchToDesktop(2);
  EXPECT_THAT(h.windows.CallsOf(Call::kShowNoActivateAsync),
              ::testing::UnorderedElementsAre(ids[0], ids[1]));
}

TEST(HiddenJournal, HoldsTwoThousandWindowsWithLongNames) {
  std::vector<JournalRecord> records(
      2000, JournalRecord{1, 2, 3, std::string(14, 'n'), std::string(256, 'c')});
  for (std::size_t i = 0; i < records.size(); ++i) records[i].window = static_cast<WindowId>(i);
  std::size_t encoded = 0;
  std::vector<JournalRecord> back;
  ASSERT_TRUE(DecodeJournal(EncodeJournal(records, &encoded), &back));
  EXPECT_EQ(encoded, 2000u);
  EXPECT_EQ(back, records);
}

TEST(HiddenJournal, MalformedOrOverlongDataReadsAsNothingAndIsReplaced) {
  const std::string good = EncodeJournal({JournalRecord{0x10010, 0x4d0, 2, "Two", "TestWindow"}});
  const std::string cases[] = {good,
                               "",
                               "XSJ1" + good.substr(4),
                               good + "\x01",
                               good.substr(0, good.size() - 1),
                               good + std::string(journal::kCapacity, 'x')};
  for (const std::string& data : cases) {
    FakeSettingsStore store;
    store.Seed(kJournalKey, "windows", kBinary, data);
    HiddenJournal journal(store);
    journal.SetSession(1);
    EXPECT_EQ(journal.Read().size(), &data == &cases[0] ? 1u : 0u) << data.size();
    journal.Write({});
    EXPECT_FALSE(store.HasKey(kJournalKey)) << data.size();
  }
}

}  // namespace
}  // namespace vt
