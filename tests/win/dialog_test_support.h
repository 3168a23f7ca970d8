// What the options dialog and desktop editor tests share: the application both dialogs run over,
// the values it starts with, and the few ways the tests press and read the two dialogs. Expected
// values are spelled out here rather than converted by the code under test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/app_harness.h"
#include "modal_probe.h"

namespace dialog_test {

// The probe's names every test of the two dialogs uses.
using modal_probe::Gone;
using modal_probe::PostKey;
using modal_probe::Script;
using modal_probe::Shown;
using modal_probe::TextOf;
using Strings = std::vector<std::string>;

inline constexpr char kOptionsTitle[] = "veilswitcher";
inline constexpr char kEditorTitle[] = "Edit desktop options";

// The program's hotkey codes (MOD_ flags in the high word) and the hot-key control's values
// (HOTKEYF_ flags in the high byte).
constexpr HotkeyCode Code(UINT mods, UINT vk) {
  return (mods << 16) | vk;
}
constexpr WORD Control(BYTE flags, BYTE vk) {
  return static_cast<WORD>((flags << 8) | vk);
}
inline constexpr HotkeyCode kAltF1 = Code(MOD_ALT, VK_F1);
inline constexpr HotkeyCode kAltF2 = Code(MOD_ALT, VK_F2);
inline constexpr HotkeyCode kAltF3 = Code(MOD_ALT, VK_F3);
inline const Strings kDefaultNames = {"VirtDesk1", "VirtDesk2", "VirtDesk3"};
inline const std::vector<HotkeyCode> kDefaultHotkeys = {kAltF1, kAltF2, kAltF3};

// ---- The dialogs and their controls -------------------------------------------------------------

inline HWND Options() {
  return modal_probe::FindDialog(kOptionsTitle);
}
inline HWND Editor() {
  return modal_probe::FindDialog(kEditorTitle);
}

inline WORD HotkeyOf(HWND dialog, int id) {
  return static_cast<WORD>(SendDlgItemMessageA(dialog, id, HKM_GETHOTKEY, 0, 0));
}
// 0 empties the control.
inline void SetHotkey(HWND dialog, int id, WORD value) {
  SendDlgItemMessageA(dialog, id, HKM_SETHOTKEY, value, 0);
}
// A click handled before this returns: for buttons that end a dialog rather than open one.
inline void Click(HWND dialog, int id) {
  SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
// A click as the user makes it: queued, so that a dialog it opens runs in the probed loop.
inline void PostClick(HWND dialog, int id) {
  PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
inline void Close(HWND dialog) {
  SendMessageA(dialog, WM_CLOSE, 0, 0);
}

// ---- The application ----------------------------------------------------------------------------

// The harness reads names and hotkeys only from the application it started itself.
inline Strings NamesOf(const CVirtualDeskApp& app) {
  Strings names;
  for (const auto& desk : app.Table()) names.push_back(desk.second.name);
  return names;
}
inline std::vector<HotkeyCode> HotkeysOf(const CVirtualDeskApp& app) {
  std::vector<HotkeyCode> codes;
  for (const auto& desk : app.Table()) codes.push_back(desk.second.hotkey);
  return codes;
}

// An application that has read its settings and taken its hotkeys but never started. A start
// raises the dirty flag for good; here it is still clear, so whatever raises it shows. No
// desktop is current.
struct LoadedApp {
  LoadedApp() : app(h.platform()) {
    app.WriteDefaultSettings();
    app.LoadSettings();
    app.RegisterHotkeys();
    h.hotkeys.ClearLog();
  }
  AppHarness h;
  CVirtualDeskApp app;
};

// The list view and the hot-key control are common controls; their classes are registered once
// for the whole program.
inline bool CommonControlsReady() {
  static const bool ready = [] {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  return ready;
}

// A started application over the fakes: desktops VirtDesk1..3 on Alt+F1..F3, previous and next
// on Alt+Left and Alt+Right, the notice and the autostart on; desktop 1 current. Skips without a
// display.
class StartedAppFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!modal_probe::CanCreateWindows()) GTEST_SKIP() << modal_probe::kNoDisplay;
    ASSERT_TRUE(CommonControlsReady());
    ASSERT_EQ(h.Start(), std::nullopt) << "start-up ended the process";
    ASSERT_EQ(h.Names(), kDefaultNames);
    ASSERT_EQ(h.Hotkeys(), kDefaultHotkeys);
    h.hotkeys.ClearLog();
  }

  AppHarness h;
};

}  // namespace dialog_test
