#include "settings/hotkey_text.h"
#include "test_support.h"

namespace vt {
namespace {

using Entry = FakeHotkeyRegistrar::LogEntry;
using Combo = FakeHotkeyRegistrar::Combo;

TEST(HotkeyCode, ControlValueToCodeSwapsShiftAndAltAndDropsExt) {
  const struct {
    std::uint16_t control;
    HotkeyCode code;
  } cases[] = {
      {0x0000, 0},
      {0x0174, MakeHotkeyCode(kShift, 0x74)},
      {0x0274, MakeHotkeyCode(kCtrl, 0x74)},
      {0x0474, MakeHotkeyCode(kAlt, 0x74)},
      {0x0374, 0x00060074},  // Ctrl+Shift+F5: modifiers 6, key 116
      {0x0C27, MakeHotkeyCode(kAlt, kRight)},
      {0x0827, MakeHotkeyCode(0, kRight)},
      {0xF527, MakeHotkeyCode(kAlt | kShift, kRight)},
  };
  for (const auto& c : cases) EXPECT_EQ(HotkeyFromControl(c.control), c.code) << c.control;
}

// HOTKEYF_EXT (0x08 in the high byte) goes with the extended keys alone, and never comes back.
TEST(HotkeyCode, CodeToControlLooksAtLowBitsOnlyAndMarksExtendedKeys) {
  const struct {
    HotkeyCode code;
    std::uint16_t control;
  } cases[] = {
      {0, 0},
      {0x00060074, 0x0374},
      {MakeHotkeyCode(kAlt, kLeft), 0x0C25},
      {MakeHotkeyCode(kShift, kF1), 0x0170},
      {MakeHotkeyCode(kAlt | 8, kRight), 0x0C27},      // MOD_WIN has no place in a control
      {MakeHotkeyCode(0x100 | kCtrl, 0x1FF), 0x02FF},  // only low 8 bits of each half
      {MakeHotkeyCode(kCtrl, 0x125), 0x0A25},          // Left, once the high bits are gone
      {MakeHotkeyCode(0, 0x2E), 0x082E},               // Delete
      {MakeHotkeyCode(kAlt, 0x6F), 0x0C6F},            // Num /
      {MakeHotkeyCode(kAlt, 0x90), 0x0C90},            // Num Lock
      {MakeHotkeyCode(kAlt, 0x2C), 0x042C},            // Print Screen
      {MakeHotkeyCode(kAlt, 0x20), 0x0420},            // Space, just below Page Up
      {MakeHotkeyCode(kAlt, 0x29), 0x0429},            // Select, just past Down
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HotkeyToControl(c.code), c.control) << c.code;
    EXPECT_EQ(HotkeyFromControl(c.control), c.code & 0x000700FF) << c.code;
  }
  EXPECT_EQ(MakeHotkeyCode(6, 116), 0x00060074u);
}

TEST(HotkeyCode, FlagConversionsAreTheSameBitExchange) {
  const std::pair<std::uint8_t, std::uint8_t> cases[] = {{0, 0}, {1, 4}, {2, 2}, {4, 1},
                                                         {5, 5}, {7, 7}, {8, 0}, {0xF8, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(HotkeyFlagsToModifiers(c.first), c.second) << int(c.first);
    EXPECT_EQ(ModifiersToHotkeyFlags(c.first), c.second) << int(c.first);
  }
  EXPECT_EQ(ModifiersToHotkeyFlags(0x104), 1);
}

TEST(HotkeyText, FormatsModifiersThenKey) {
  EXPECT_EQ(FormatHotkeyText(MakeHotkeyCode(kAlt, kRight)), "1 39\n");
  EXPECT_EQ(FormatHotkeyText(MakeHotkeyCode(kAlt, kRight), false), "1 39");
  EXPECT_EQ(FormatHotkeyText(0), "0 0\n");
  EXPECT_EQ(FormatHotkeyText(0xFFFFFFFF), "65535 65535\n");
}

TEST(HotkeyText, ParsesTwoLeadingIntegersOrGivesNoHotkey) {
  const struct {
    std::string text;
    HotkeyCode code;
  } cases[] = {
      {"1 39", MakeHotkeyCode(1, 39)},
      {"1 39\n", MakeHotkeyCode(1, 39)},
      {" \t1\n 39 and then junk", MakeHotkeyCode(1, 39)},
      {"1 39junk", MakeHotkeyCode(1, 39)},
      {"+2 113", MakeHotkeyCode(2, 113)},
      {std::string("1 3"), MakeHotkeyCode(1, 3)},  // nothing past the data's end is read
      {"0 0\n", 0},
      {"", 0},
      {"1", 0},
      {"1 \n", 0},
      {"1 x", 0},
      {"abc 1 2", 0},
      {"99999999999 1", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseHotkeyText(c.text), c.code) << '"' << c.text << '"';
}

class Hotkeys : public Running {};

TEST_F(Hotkeys, RegistersDesktopsByNumberThenNextThenPreviousAndSkipsZeroCodes) {
  Stored s;
  s.desks = {{"One", "1 112\n"}, {"Two", "0 0\n"}, {"Three", "2 114\n"}};
  Seed(h.store, s);
  ASSERT_EQ(h.Start(), std::nullopt);
  // The extras follow: send next and previous, then each desktop's hotkey with Shift added.
  EXPECT_EQ(h.hotkeys.Log(), (std::vector<Entry>{{true, 3, {1, 112}, true},
                                                 {true, 5, {2, 114}, true},
                                                 {true, 1, {1, 39}, true},
                                                 {true, 2, {1, 37}, true},
                                                 {true, 0xBFF0, {5, 39}, true},
                                                 {true, 0xBFF1, {5, 37}, true},
                                                 {true, 0x8101, {5, 112}, true},
                                                 {true, 0x8103, {6, 114}, true}}));
  h.hotkeys.ClearLog();
  h.Stop();
  EXPECT_EQ(h.hotkeys.UnregisteredIds(),
            (std::vector<int>{3, 4, 5, 1, 2, 0xBFF0, 0xBFF1, 0x8101, 0x8103}));
  EXPECT_TRUE(h.hotkeys.Registrations().empty());
}

TEST_F(Hotkeys, EmptyNextAndPreviousAreNotRegistered) {
  Stored s;
  s.prev = s.next = "0 0\n";
  StartWith(s);
  EXPECT_EQ(h.hotkeys.Registrations().count(1) + h.hotkeys.Registrations().count(2), 0u);
  EXPECT_EQ(h.hotkeys.Registrations().size(), 8u);  // with Shift added too, and the two sends
  EXPECT_FALSE(h.Press(0, 0));
}

TEST(HotkeyFailures, EachIsFatalAndStopsFurtherRegistrations) {
  const struct {
    Combo heldElsewhere;
    const char* message;
    std::vector<int> registeredBefore;
  } cases[] = {
      {{kAlt, kF2}, "Cant register hotkey.", {3}},
      {{kAlt, kRight}, "Cant register next desktop hotkey.", {3, 4, 5}},
      {{kAlt, kLeft}, "Cant register previous desktop hotkey.", {3, 4, 5, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    AppHarness h;
    Stored s;
    s.next = "1 39";
    Seed(h.store, s);
    h.hotkeys.HoldElsewhere(c.heldElsewhere.first, c.heldElsewhere.second);
    EXPECT_EQ(h.Start(), 1);
    ASSERT_EQ(h.boxes.Boxes().size(), 1u);
    EXPECT_EQ(h.boxes.Boxes()[0].text, c.message);
    EXPECT_EQ(h.boxes.Boxes()[0].caption, "Error :(");
    EXPECT_EQ(h.boxes.Boxes()[0].style, kMbIconError);
    EXPECT_EQ(h.hotkeys.RegisteredIds(), c.registeredBefore);
    h.Stop();  // loaded before the failure, so the way out saves
    EXPECT_EQ(h.store.Find(kOptionsKey, "NextDesk")->data, "1 39\n");
  }
}

TEST_F(Hotkeys, PressesSwitchWithoutWrappingAround) {
  StartWith();
  const struct {
    std::uint32_t mods, key;
    DesktopNumber after;
  } presses[] = {{kAlt, kF2, 2},   {kAlt, kRight, 3}, {kAlt, kRight, 3}, {kAlt, kF1, 1},
                 {kAlt, kLeft, 1}, {kAlt, kF3, 3},    {kAlt, kLeft, 2}};
  for (const auto& p : presses) {
    EXPECT_TRUE(h.Press(p.mods, p.key));
    EXPECT_EQ(h.app().CurrentDesktop(), p.after) << p.key;
  }
}

TEST_F(Hotkeys, MessageCarriesModifiersInLowWordAndKeyInHighWord) {
  StartWith();
  h.app().MatchHotkey(0x00010071);  // key 1, modifiers 0x71: no such combination
  EXPECT_EQ(h.app().CurrentDesktop(), 1);
  h.app().MatchHotkey(0x00710001);  // Alt+F2
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
}

// A hand-edited store can give a desktop the next-desktop combination. Its registration is
// refused, but a press still shows the order of the rules: desktops first, then next.
TEST_F(Hotkeys, EveryMatchingRuleActsDesktopsBeforeNext) {
  Stored s = WithNotice();
  s.desks[0].second = "1 39\n";
  Seed(h.store, s);
  ASSERT_EQ(h.Start(), 1);
  h.app().MatchHotkey(FakeHotkeyRegistrar::PressLParam(kAlt, kRight));
  EXPECT_EQ(h.notice.ShownTexts(), (Strings{"One", "Two"}));
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
}

}  // namespace
}  // namespace vt
