// The "More options" dialog from its own template, over an application on the fakes: what it
// shows, what its close box applies and what Esc drops.
#include <gtest/gtest.h>
#include <windows.h>

#include "dialog_test_support.h"
#include "dialogs/more_dlg.h"
#include "res/resource.h"

namespace dialog_test {
namespace {

constexpr char kMoreTitle[] = "More options";

HWND More() {
  return modal_probe::FindDialog(kMoreTitle);
}

// The four hot-key controls and the four check boxes, as one comparable line.
std::string Shown(HWND d) {
  std::string out;
  for (int id : {IDC_SEND_NEXT_HOTKEY, IDC_SEND_PREV_HOTKEY, IDC_PIN_HOTKEY, IDC_LAST_HOTKEY})
    out += std::to_string(HotkeyOf(d, id)) + " ";
  for (int id : {IDC_SHIFT_SENDS, IDC_SEND_FOLLOWS, IDC_WRAP_AROUND, IDC_TRAY_NUMBER})
    out += std::to_string(SendDlgItemMessageA(d, id, BM_GETCHECK, 0, 0));
  return out;
}

class MoreDialog : public StartedAppFixture {
 protected:
  // Opens the dialog, records what it shows, changes the wrap-around and the pin hotkey, and
  // ends it with `end`.
  INT_PTR RunChanging(void (*end)(HWND)) {
    CMoreOptionsDlg dialog(&h.app());
    Script script;
    script.When("the dialog shown", modal_probe::Shown(kMoreTitle), [this, end] {
      HWND d = More();
      shown = Shown(d) + " | " + TextOf(GetDlgItem(d, IDC_INACTIVE));
      SendDlgItemMessageA(d, IDC_WRAP_AROUND, BM_SETCHECK, BST_CHECKED, 0);
      SetHotkey(d, IDC_PIN_HOTKEY, Control(HOTKEYF_ALT, 'P'));
      end(d);
    });
    INT_PTR result = -2;
    EXPECT_TRUE(script.Run([&] { result = dialog.DoModal(); }));
    EXPECT_EQ(More(), nullptr);
    return result;
  }
  std::string shown;
};

TEST_F(MoreDialog, ShowsTheExtrasAndTheCloseBoxAppliesThem) {
  EXPECT_EQ(RunChanging(Close), IDCANCEL);
  // Alt+Shift+Right and Left in the control's flags (Shift 1, Alt 4), sends on, the rest off.
  EXPECT_EQ(shown, "1319 1317 0 0 1100 | Every hotkey is active.");
  EXPECT_TRUE(h.app().GetMoreOptions().wrapAround);
  EXPECT_EQ(h.app().GetMoreOptions().pinWindow, Code(MOD_ALT, 'P'));
  EXPECT_EQ(h.hotkeys.Registrations().at(0xBFF2), (FakeHotkeyRegistrar::Combo{MOD_ALT, 'P'}));
}

TEST_F(MoreDialog, EscDropsTheChangesAndTheLineNamesAHotkeyHeldElsewhere) {
  h.hotkeys.HoldElsewhere(MOD_ALT | MOD_SHIFT, VK_LEFT);
  h.app().ApplyMoreOptions(h.app().GetMoreOptions());  // registers again, this one refused
  const MoreOptions before = h.app().GetMoreOptions();
  EXPECT_EQ(RunChanging([](HWND d) { PostKey(GetDlgItem(d, IDC_WRAP_AROUND), VK_ESCAPE); }),
            IDCANCEL);
  EXPECT_EQ(shown,
            "1319 1317 0 0 1100 | Not active now (taken elsewhere): Send to previous desktop.");
  EXPECT_EQ(h.app().GetMoreOptions(), before);
}

}  // namespace
}  // namespace dialog_test
