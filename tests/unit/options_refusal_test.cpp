// Options that registration would refuse end the program and, once saved, every later start; the
// options dialog asks for the refusal before it applies anything.
#include "test_support.h"

namespace vt {
namespace {

using ::testing::IsEmpty;

class OptionsRefusal : public Running {
 protected:
  void SetUp() override { StartWith(); }
  std::string Refusal(HotkeyCode prev, HotkeyCode next) {
    return h.app().OptionsRefusal(OptionsBlock{prev, next, 0, 0});
  }
  const HotkeyCode altLeft = MakeHotkeyCode(kAlt, kLeft);
  const HotkeyCode altRight = MakeHotkeyCode(kAlt, kRight);
};

TEST_F(OptionsRefusal, TheProgramsOwnCombinationsNeedNoTrial) {
  EXPECT_EQ(Refusal(altLeft, altRight), "");
  EXPECT_EQ(Refusal(altRight, altLeft), "");  // swapped: both are free once withdrawn
  EXPECT_EQ(Refusal(0, 0), "");
  EXPECT_EQ(Refusal(altLeft, 0), "");
  EXPECT_THAT(h.hotkeys.Log(), IsEmpty());
}

TEST_F(OptionsRefusal, AFreeCombinationIsTriedAndGivenBack) {
  EXPECT_EQ(Refusal(altLeft, MakeHotkeyCode(kCtrl | kAlt, 'N')), "");
  EXPECT_EQ(h.hotkeys.RegisteredIds(), (std::vector<int>{kProbeHotkeyId}));
  EXPECT_EQ(h.hotkeys.UnregisteredIds(), (std::vector<int>{kProbeHotkeyId}));
  EXPECT_EQ(h.hotkeys.Registrations().count(kProbeHotkeyId), 0u);
  EXPECT_EQ(h.app().GetOptions().nextHotkey, altRight);  // asking applies nothing
}

TEST_F(OptionsRefusal, ClashesWithTheProgramsOtherHotkeysAreNamed) {
  EXPECT_EQ(Refusal(altRight, altRight), "Previous and next desktop hotkeys must differ.");
  EXPECT_EQ(Refusal(MakeHotkeyCode(kAlt, kF1), altRight),
            "Previous desktop hotkey is already used by \"One\".");
  EXPECT_EQ(Refusal(altLeft, MakeHotkeyCode(kAlt, kF3)),
            "Next desktop hotkey is already used by \"Three\".");
  EXPECT_THAT(h.hotkeys.Log(), IsEmpty());
}

TEST_F(OptionsRefusal, ADesktopWithoutANameIsNamedByNumber) {
  EXPECT_FALSE(h.app().SetDesktopName(4, "One"));  // desktop 4 now exists, unnamed
  ASSERT_TRUE(h.app().SetDesktopHotkey(4, MakeHotkeyCode(kCtrl, 'D')));
  EXPECT_EQ(Refusal(altLeft, MakeHotkeyCode(kCtrl, 'D')),
            "Next desktop hotkey is already used by desktop 4.");
}

TEST_F(OptionsRefusal, ACombinationHeldByAnotherProgramIsRefused) {
  h.hotkeys.HoldElsewhere(kCtrl | kShift, 'P');
  EXPECT_EQ(Refusal(MakeHotkeyCode(kCtrl | kShift, 'P'), altRight),
            "Previous desktop hotkey is used by another program.");
  EXPECT_EQ(Refusal(altLeft, MakeHotkeyCode(kCtrl | kShift, 'P')),
            "Next desktop hotkey is used by another program.");
  // Nothing of the program's was withdrawn or moved while asking.
  EXPECT_THAT(h.hotkeys.UnregisteredIds(), IsEmpty());
  EXPECT_EQ(h.hotkeys.Registrations().at(kNextHotkeyId),
            (FakeHotkeyRegistrar::Combo{kAlt, kRight}));
  EXPECT_EQ(h.app().GetOptions().prevHotkey, altLeft);
}

}  // namespace
}  // namespace vt
