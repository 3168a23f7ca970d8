// The fakes stand in for the platform in every other suite; these pin down the semantics the
// logic relies on, so that a lenient fake cannot hide a fault.
#include "test_support.h"

namespace vt {
namespace {

TEST(FakeRegistry, BehavesLikeTheCurrentUsersHive) {
  FakeSettingsStore s;
  SettingsStore::Key k = 0;
  bool created = false;
  ASSERT_TRUE(s.CreateKey("Software\\A\\B", &k, &created));
  EXPECT_TRUE(created && s.HasKey("software\\a"));  // parents come with it
  s.SetValue(k, "First", kSz, "1");
  s.SetValue(k, "", kSz, "default");
  s.SetValue(k, "FIRST", kBinary, std::string("x\0y", 3));  // same value, keeps its place
  EXPECT_EQ(s.Values("SOFTWARE\\a\\b"),
            (Values{{"First", kBinary, std::string("x\0y", 3)}, {"", kSz, "default"}}));
  std::string out;
  EXPECT_TRUE(s.QueryValue(k, "first", 3, &out));
  EXPECT_EQ(out.size(), 3u);
  EXPECT_FALSE(s.QueryValue(k, "first", 2, &out));
  s.SetValue(k, "FifteenCharName", kSz, "");
  EXPECT_EQ(s.EnumValueName(k, 2, 15, &out), SettingsStore::Enum::kNameTooLong);
  EXPECT_EQ(s.EnumValueName(k, 2, 16, &out), SettingsStore::Enum::kOk);
  EXPECT_EQ(s.EnumValueName(k, 3, 15, &out), SettingsStore::Enum::kEnd);
  ASSERT_TRUE(s.CreateKey("software\\a\\B", &k, &created));
  EXPECT_FALSE(created);
  s.DeleteKey("Software\\A");  // refused: it has a subkey
  s.DeleteKey("Software\\A\\B");
  EXPECT_TRUE(s.HasKey("Software\\A") && !s.HasKey("Software\\A\\B"));
  EXPECT_EQ(s.OpenHandles(), 2u);
  s.CloseKey(k);
  s.CloseKey(k);
  EXPECT_EQ(s.BadCloses(), 1);
}

TEST(FakeWindows, WalkShowsHidesAndForgetsDestroyedWindows) {
  FakeWindowSystem ws;
  const WindowId low = ws.Open("Low"), top = ws.Open("A long title");
  EXPECT_EQ(ws.FirstWindow(low), top);
  EXPECT_EQ(ws.NextWindow(top), low);
  EXPECT_EQ(ws.NextWindow(low), 0u);
  EXPECT_EQ(ws.ReadTitle(top, 5), "A lo");
  ws.Hide(top);
  EXPECT_FALSE(ws.IsVisible(top));
  EXPECT_EQ(ws.FirstWindow(0), top);  // hidden windows keep their place
  ws.Destroy(top);
  ws.Show(top);
  EXPECT_FALSE(ws.Exists(top) || ws.IsVisible(top));
  EXPECT_EQ(ws.ZOrder(), (Ids{low}));
}

TEST(FakeHotkeys, ACombinationHasOneHolder) {
  FakeHotkeyRegistrar r;
  r.HoldElsewhere(kAlt, kF1);
  EXPECT_FALSE(r.Register(3, kAlt, kF1));
  EXPECT_TRUE(r.Register(4, kAlt, kF2));
  EXPECT_FALSE(r.Register(5, kAlt, kF2));
  EXPECT_FALSE(r.Register(4, kAlt, kF3));
  r.Unregister(9);
  std::uint32_t lParam = 0;
  EXPECT_TRUE(r.Press(kAlt, kF2, &lParam));
  EXPECT_EQ(lParam, 0x00710001u);
  EXPECT_FALSE(r.Press(kAlt, kF1, &lParam));
}

}  // namespace
}  // namespace vt
