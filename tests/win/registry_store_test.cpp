// The registry store against Wine's own registry: the meanings the settings rely on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_settings_store.h"

namespace {

const std::string kTestKey = "Software\\veilswitcher-wintest";

// Wine writes REG_SZ and REG_MULTI_SZ data with a terminating zero the caller did not pass, and
// reads it back with it; the text is what must survive.
std::string WithoutTrailingZeros(std::string s) {
  while (!s.empty() && s.back() == '\0') s.pop_back();
  return s;
}

class RegistryStore : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.DeleteKey(kTestKey);
    bool created = false;
    ASSERT_TRUE(store_.CreateKey(kTestKey, &key_, &created));
    ASSERT_TRUE(created);
  }
  void TearDown() override {
    store_.CloseKey(key_);
    store_.DeleteKey(kTestKey);
  }

  std::vector<SettingsStore::Enum> EnumAll(std::vector<std::string>* names) {
    std::vector<SettingsStore::Enum> results;
    for (std::uint32_t i = 0; i < 10; ++i) {
      std::string name;
      SettingsStore::Enum r = store_.EnumValueName(key_, i, 15, &name);
      results.push_back(r);
      if (r == SettingsStore::Enum::kEnd) break;
      if (r == SettingsStore::Enum::kOk) names->push_back(name);
    }
    return results;
  }

  Win32SettingsStore store_;
  SettingsStore::Key key_ = 0;
};

TEST_F(RegistryStore, CreateKeyTellsNewFromExistingAndOpensBothWays) {
  SettingsStore::Key again = 0;
  bool created = true;
  ASSERT_TRUE(store_.CreateKey(kTestKey, &again, &created));
  EXPECT_FALSE(created);
  store_.CloseKey(again);

  SettingsStore::Key opened = 0;
  ASSERT_TRUE(store_.OpenKey(kTestKey, &opened));
  store_.CloseKey(opened);
  ASSERT_TRUE(store_.OpenKeyPlain(kTestKey, &opened));
  store_.CloseKey(opened);
  EXPECT_FALSE(store_.OpenKey(kTestKey + "\\missing", &opened));
}

TEST_F(RegistryStore, DeletedKeyNoLongerOpensAndIsCreatedAnew) {
  store_.CloseKey(key_);
  store_.DeleteKey(kTestKey);
  SettingsStore::Key opened = 0;
  EXPECT_FALSE(store_.OpenKey(kTestKey, &opened));
  EXPECT_FALSE(store_.OpenKeyPlain(kTestKey, &opened));

  bool created = false;
  ASSERT_TRUE(store_.CreateKey(kTestKey, &key_, &created));
  EXPECT_TRUE(created);
}

TEST_F(RegistryStore, BinaryDataComesBackByteForByte) {
  const std::string one("\x01", 1);
  const std::string withZeros("a\0b\0", 4);
  store_.SetValue(key_, "ShowCurDeskMsg", SettingsStore::kBinary, one);
  store_.SetValue(key_, "Blob", SettingsStore::kBinary, withZeros);

  std::string data;
  ASSERT_TRUE(store_.QueryValue(key_, "ShowCurDeskMsg", 275, &data));
  EXPECT_EQ(data, one);
  ASSERT_TRUE(store_.QueryValue(key_, "Blob", 275, &data));
  EXPECT_EQ(data, withZeros);
}

// What the window rules read: each value's type, and the names of a key's subkeys.
TEST_F(RegistryStore, TypesComeBackAndSubkeysAreListed) {
  store_.SetValue(key_, "Pin", SettingsStore::kDword, std::string("\x01\0\0\0", 4));
  std::uint32_t type = 0;
  std::string data;
  ASSERT_TRUE(store_.QueryTypedValue(key_, "pin", 4, &type, &data));
  EXPECT_EQ(type, SettingsStore::kDword);
  for (const char* sub : {"\\1", "\\2"}) {
    SettingsStore::Key key = 0;
    bool created = false;
    ASSERT_TRUE(store_.CreateKey(std::string(kTestKey) + sub, &key, &created));
    store_.CloseKey(key);
  }
  std::vector<std::string> names(1);
  for (std::uint32_t i = 0; store_.EnumSubkeyName(key_, i, &names.back()); ++i)
    names.emplace_back();
  names.pop_back();
  EXPECT_EQ(names, (std::vector<std::string>{"1", "2"}));
  for (const char* sub : {"\\1", "\\2"}) store_.DeleteKey(std::string(kTestKey) + sub);
}

TEST_F(RegistryStore, TextDataKeepsItsTextAndNamesIgnoreCase) {
  store_.SetValue(key_, "NextDesk", SettingsStore::kString, "1 39");
  store_.SetValue(key_, "VirtDesk1", SettingsStore::kMultiString, "1 112\n");

  std::string data;
  ASSERT_TRUE(store_.QueryValue(key_, "nextdesk", 275, &data));
  EXPECT_EQ(WithoutTrailingZeros(data), "1 39");
  EXPECT_LE(data.size(), 5u);
  ASSERT_TRUE(store_.QueryValue(key_, "VIRTDESK1", 275, &data));
  EXPECT_EQ(WithoutTrailingZeros(data), "1 112\n");
}

TEST_F(RegistryStore, EmptyNameIsTheDefaultValue) {
  store_.SetValue(key_, "", SettingsStore::kMultiString, "0 0\n");
  std::string data;
  ASSERT_TRUE(store_.QueryValue(key_, "", 275, &data));
  EXPECT_EQ(WithoutTrailingZeros(data), "0 0\n");

  std::vector<std::string> names;
  EnumAll(&names);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], "");
}

TEST_F(RegistryStore, ValueLargerThanTheBufferFails) {
  const std::string ten("0123456789");
  store_.SetValue(key_, "Ten", SettingsStore::kBinary, ten);
  std::string data = "untouched";
  EXPECT_FALSE(store_.QueryValue(key_, "Ten", 9, &data));
  EXPECT_EQ(data, "untouched");
  ASSERT_TRUE(store_.QueryValue(key_, "Ten", 10, &data));
  EXPECT_EQ(data, ten);
  EXPECT_FALSE(store_.QueryValue(key_, "Absent", 275, &data));
}

TEST_F(RegistryStore, EnumRefusesLongNamesAndGoesOnAfterThem) {
  // Names chosen so that creation order and sorted order agree.
  store_.SetValue(key_, "VirtDesk1", SettingsStore::kMultiString, "0 0\n");
  store_.SetValue(key_, "VirtDesk2_0123456789", SettingsStore::kMultiString, "0 0\n");  // 20
  store_.SetValue(key_, "VirtDesk3_12345", SettingsStore::kMultiString, "0 0\n");  // 15: too long
  store_.SetValue(key_, "VirtDesk4_1234", SettingsStore::kMultiString, "0 0\n");   // 14: fits

  std::vector<std::string> names;
  std::vector<SettingsStore::Enum> results = EnumAll(&names);
  using E = SettingsStore::Enum;
  EXPECT_EQ(results, (std::vector<E>{E::kOk, E::kNameTooLong, E::kNameTooLong, E::kOk, E::kEnd}));
  EXPECT_EQ(names, (std::vector<std::string>{"VirtDesk1", "VirtDesk4_1234"}));
}

TEST_F(RegistryStore, DeletedValueIsGoneAndOthersStay) {
  store_.SetValue(key_, "PrevDesk", SettingsStore::kString, "1 37");
  store_.SetValue(key_, "NextDesk", SettingsStore::kString, "1 39");
  store_.DeleteValue(key_, "PREVDESK");

  std::string data;
  EXPECT_FALSE(store_.QueryValue(key_, "PrevDesk", 275, &data));
  std::vector<std::string> names;
  EnumAll(&names);
  EXPECT_EQ(names, (std::vector<std::string>{"NextDesk"}));
}

TEST_F(RegistryStore, SetValueReplacesEarlierData) {
  store_.SetValue(key_, "ShowCurDeskMsg", SettingsStore::kBinary, std::string("\x01", 1));
  store_.SetValue(key_, "ShowCurDeskMsg", SettingsStore::kBinary, std::string("\x00", 1));
  std::string data;
  ASSERT_TRUE(store_.QueryValue(key_, "ShowCurDeskMsg", 275, &data));
  EXPECT_EQ(data, std::string("\x00", 1));
}

}  // namespace

// Two names are one value exactly when the store's rule says so: the registry itself decides.
TEST_F(RegistryStore, SameValueNameAgreesWithTheRegistryInTheActiveCodePage) {
  const std::pair<std::string, std::string> pairs[] = {
      {"desk", "DESK"}, {"\xE9t\xE9", "\xC9T\xC9"}, {"\xFF", "\x9F"}, {"\xFF", "\xDF"}};
  for (const auto& [stored, asked] : pairs) {
    store_.DeleteValue(key_, stored);
    store_.SetValue(key_, stored, REG_BINARY, "x");
    std::string data;
    bool registryFolds = store_.QueryValue(key_, asked, 1, &data);
    EXPECT_EQ(store_.SameValueName(stored, asked), registryFolds) << stored << " / " << asked;
    store_.DeleteValue(key_, stored);
  }
}

TEST(RegistryNames, LettersFoldByTheirCodePage) {
  EXPECT_TRUE(SameRegistryName(1251, "\xFF\xF7", "\xDF\xD7"));  // я ч, Я Ч
  EXPECT_FALSE(SameRegistryName(1251, "\xFF", "\x9F"));         // я, џ
  EXPECT_TRUE(SameRegistryName(1250, "\xB3\xBF", "\xA3\xAF"));  // ł ż, Ł Ż
  EXPECT_TRUE(SameRegistryName(1252, "\xFF", "\x9F"));          // ÿ, Ÿ
  EXPECT_FALSE(SameRegistryName(1252, "\xB3", "\xA3"));         // ³, £
  EXPECT_TRUE(SameRegistryName(1252, "", ""));                  // both the key's default value
  EXPECT_FALSE(SameRegistryName(1252, "", "a"));
}
