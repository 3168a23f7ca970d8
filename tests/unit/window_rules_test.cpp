#include "rules/window_rules.h"

#include "test_support.h"

namespace vt {
namespace {

constexpr const char* kRules = "Software\\veilswitcher\\rules";
constexpr std::uint32_t kDword = 4;
const std::string kOn("\x01\0\0\0", 4);

TEST(WindowRulePatterns, StarsQuestionMarksAndCase) {
  const struct {
    const char* pattern;
    const char* text;
    bool matches;
  } cases[] = {
      {"", "anything", true},
      {"notepad.exe", "NOTEPAD.EXE", true},
      {"*.exe", "mail.exe", true},
      {"*.exe", "mail.exe.bak", false},
      {"*a*b", "xaxbxab", true},
      {"*a*b", "xaxbx", false},
      {"Loading?", "Loading.", true},
      {"Loading?", "Loading", false},
      {"?", "\xc3\xa9", true},
      {"??", "\xf0\x9f\x98\x80", false},
      {"\xc3\xa9*", "\xc3\xa9t\xc3\xa9", true},
      {"mail**", "Mail", true},
      {"a", "", false},
      {"*", "", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PatternMatches(c.pattern, c.text), c.matches) << c.pattern << " / " << c.text;
}

// Only canonical positive numbers name rules, tried in number order; a value of the wrong type
// or form counts as missing, and nothing else in the key is read or removed.
TEST(StoredWindowRules, MalformedKeysAreIgnoredAndSavingKeepsWhatIsNoRule) {
  FakeSettingsStore store;
  store.Seed(kRules, "1", kSz, "a value of the key itself");
  for (const char* name : {"0", "01", "-1", "x", "4294967296"})
    store.Seed(std::string(kRules) + "\\" + name, "Program", kSz, "ignored.exe");
  const std::string ten = std::string(kRules) + "\\10", two = std::string(kRules) + "\\2";
  store.Seed(ten, "Program", kSz, "ten.exe");
  store.Seed(ten, "Pin", kDword, kOn);
  store.Seed(two, "Program", kSz, std::string("two.exe\0junk", 12));
  store.Seed(two, "Title", kBinary, "binary");
  store.Seed(two, "Desktop", kSz, "Mail");
  store.Seed(two, "Follow", kSz, "1");
  store.Seed(two, "Pin", kDword, std::string("\x02\0\0\0", 4));
  const std::vector<WindowRule> loaded = LoadRules(store);
  EXPECT_EQ(loaded, (std::vector<WindowRule>{{"two.exe", "", "", "Mail", false, false},
                                             {"ten.exe", "", "", "", true, false}}));
  ASSERT_TRUE(SaveRules(store, {{"a.exe", "A", "T*", "Mail", false, true}}));
  EXPECT_EQ(LoadRules(store), (std::vector<WindowRule>{{"a.exe", "A", "T*", "Mail", false, true}}));
  EXPECT_FALSE(store.HasKey(ten));
  EXPECT_TRUE(store.HasKey(std::string(kRules) + "\\01"));
  EXPECT_NE(store.Find(kRules, "1"), nullptr);
  store.Seed(std::string(kRules) + "\\7\\inner", "Program", kSz, "x");  // undeletable rule 7
  EXPECT_FALSE(SaveRules(store, {}));
  EXPECT_EQ(store.OpenHandles(), 0u);
}

}  // namespace
}  // namespace vt
