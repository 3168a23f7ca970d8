// The desktop editor run for real, from its own template and in DialogBoxParamA's own loop, over
// an application built on the in-memory fakes: opened on its own, and from the options dialog's
// buttons. Each test drives it with messages from inside that loop (see modal_probe.h). They
// need a display; without one they skip.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialogs/desk_edit_dlg.h"
#include "dialogs/desktops_dlg.h"
#include "fakes/app_harness.h"
#include "modal_probe.h"
#include "res/resource.h"

namespace {

using modal_probe::FindDialog;
using modal_probe::Script;
using modal_probe::Settled;
using modal_probe::TextOf;
using Strings = std::vector<std::string>;

constexpr char kEditorTitle[] = "Edit desktop options";
constexpr char kOptionsTitle[] = "veilswitcher";

// The program's hotkey codes (MOD_ flags in the high word) and the hot-key control's values
// (HOTKEYF_ flags in the high byte), spelled out rather than converted by the code under test.
constexpr HotkeyCode Code(UINT mods, UINT vk) {
  return (mods << 16) | vk;
}
constexpr WORD Control(BYTE flags, BYTE vk) {
  return static_cast<WORD>((flags << 8) | vk);
}
constexpr HotkeyCode kAltF1 = Code(MOD_ALT, VK_F1);
constexpr HotkeyCode kAltF2 = Code(MOD_ALT, VK_F2);
constexpr HotkeyCode kAltF3 = Code(MOD_ALT, VK_F3);
const Strings kDefaultNames = {"VirtDesk1", "VirtDesk2", "VirtDesk3"};
const std::vector<HotkeyCode> kDefaultHotkeys = {kAltF1, kAltF2, kAltF3};

HWND Editor() {
  return FindDialog(kEditorTitle);
}
HWND Options() {
  return FindDialog(kOptionsTitle);
}
HWND NameField() {
  return GetDlgItem(Editor(), IDC_DESK_NAME);
}
WORD HotkeyField() {
  return static_cast<WORD>(SendDlgItemMessageA(Editor(), IDC_DESK_HOTKEY, HKM_GETHOTKEY, 0, 0));
}
// Types into the editor's two fields; 0 empties the hot-key control.
void Fill(const char* name, WORD hotkey) {
  SetWindowTextA(NameField(), name);
  SendDlgItemMessageA(Editor(), IDC_DESK_HOTKEY, HKM_SETHOTKEY, hotkey, 0);
}
void Click(HWND dialog, int id) {
  SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
Script::Ready Shown(const char* title) {
  return [title] { return Settled(FindDialog(title)); };
}
Script::Ready Gone(const char* title) {
  return [title] { return FindDialog(title) == nullptr; };
}

Strings NamesOf(const CVirtualDeskApp& app) {
  Strings names;
  for (const auto& desk : app.Table()) names.push_back(desk.second.name);
  return names;
}
std::vector<HotkeyCode> HotkeysOf(const CVirtualDeskApp& app) {
  std::vector<HotkeyCode> codes;
  for (const auto& desk : app.Table()) codes.push_back(desk.second.hotkey);
  return codes;
}

// A started application over the fakes: desktops VirtDesk1..3 on Alt+F1..F3, previous and next
// on Alt+Left and Alt+Right; desktop 1 current.
class DeskEditorFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!modal_probe::CanCreateWindows()) GTEST_SKIP() << modal_probe::kNoDisplay;
    static bool controlsReady = [] {
      INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
      return InitCommonControlsEx(&controls) != FALSE;
    }();
    ASSERT_TRUE(controlsReady);
    ASSERT_EQ(h.Start(), std::nullopt) << "start-up ended the process";
    ASSERT_EQ(h.Names(), kDefaultNames);
    ASSERT_EQ(h.Hotkeys(), kDefaultHotkeys);
    h.hotkeys.ClearLog();
  }

  // Runs the editor on desktop `n` of `app` with `script` ticking inside its loop.
  static INT_PTR RunEditor(CVirtualDeskApp& app, DesktopNumber n, Script& script) {
    CDeskEditDlg editor(&app, n);
    INT_PTR result = -2;
    EXPECT_TRUE(script.Run([&] { result = editor.DoModal(); }));
    EXPECT_EQ(editor.Window(), nullptr);
    EXPECT_EQ(Editor(), nullptr);
    return result;
  }
  INT_PTR RunEditor(DesktopNumber n, Script& script) { return RunEditor(h.app(), n, script); }

  AppHarness h;
};

// An application that has read its settings and taken its hotkeys but never started. A start
// raises the dirty flag for good; here it is still clear, so whatever raises it shows.
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

// ---- The fields ---------------------------------------------------------------------------------

class DeskEditorFields : public DeskEditorFixture {};

TEST_F(DeskEditorFields, ShowTheDesktopsNameAndHotkeyAndEveryRepaintPutsThemBack) {
  Script script;
  script.When("the editor shown", Shown(kEditorTitle), [] {
    HWND editor = Editor();
    EXPECT_EQ(TextOf(editor), kEditorTitle);
    EXPECT_NE(GetWindowLongA(editor, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(TextOf(NameField()), "VirtDesk2");
    EXPECT_EQ(HotkeyField(), Control(HOTKEYF_ALT, VK_F2));
    EXPECT_EQ(SendMessageA(NameField(), EM_GETLIMITTEXT, 0, 0), 14);

    Fill("scribble", Control(HOTKEYF_CONTROL, 'S'));
    ASSERT_EQ(TextOf(NameField()), "scribble");
    InvalidateRect(editor, nullptr, TRUE);
    UpdateWindow(editor);
    EXPECT_EQ(TextOf(NameField()), "VirtDesk2");
    EXPECT_EQ(HotkeyField(), Control(HOTKEYF_ALT, VK_F2));
    Click(editor, IDCANCEL);
  });
  EXPECT_EQ(RunEditor(2, script), IDCANCEL);
  EXPECT_EQ(h.Names(), kDefaultNames);
}

TEST_F(DeskEditorFields, NewDesktopOpensWithEmptyFields) {
  Script script;
  script.When("the editor shown", Shown(kEditorTitle), [] {
    EXPECT_EQ(TextOf(NameField()), "");
    EXPECT_EQ(HotkeyField(), 0);
    Click(Editor(), IDCANCEL);
  });
  EXPECT_EQ(RunEditor(4, script), IDCANCEL);
}

// ---- OK -----------------------------------------------------------------------------------------

class DeskEditorOk : public DeskEditorFixture {};

TEST_F(DeskEditorOk, UnchangedFieldsCloseSilentlyAndMarkTheSettingsChanged) {
  LoadedApp loaded;
  ASSERT_FALSE(loaded.app.IsDirty());
  Script script;
  script.When("the editor shown", Shown(kEditorTitle), [] { Click(Editor(), IDOK); });
  EXPECT_EQ(RunEditor(loaded.app, 2, script), IDOK);
  EXPECT_EQ(NamesOf(loaded.app), kDefaultNames);
  EXPECT_EQ(HotkeysOf(loaded.app), kDefaultHotkeys);
  EXPECT_TRUE(loaded.app.IsDirty()) << "setting the same name again is a change";
  EXPECT_TRUE(loaded.h.boxes.Texts().empty());
  EXPECT_TRUE(loaded.h.hotkeys.RegisteredIds().empty()) << "its own hotkey is refused, quietly";
}

// Tabbing into the name field selects all of it, as the dialog manager does for an edit control;
// Enter there is OK and takes the name shown, selected or not.
TEST_F(DeskEditorOk, EnterInTheSelectedNameFieldTakesTheNameShown) {
  Script script;
  script.When("the editor shown", Shown(kEditorTitle), [] {
    SendMessageA(Editor(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(NameField()), TRUE);
    DWORD from = 1, to = 0;
    SendMessageA(NameField(), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                 reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 9u) << "the name is not selected as a tab into it leaves it";
    PostMessageA(NameField(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(NameField(), WM_KEYUP, VK_RETURN, 0xC0000001);
  });
  EXPECT_EQ(RunEditor(2, script), IDOK);
  EXPECT_TRUE(h.boxes.Texts().empty());
  EXPECT_EQ(h.Names(), kDefaultNames);
}

TEST_F(DeskEditorOk, NewNameAndHotkeyAreStoredAndTheHotkeyRegistered) {
  Script script;
  script.When("the editor shown", Shown(kEditorTitle), [] {
    Fill("Mail", Control(HOTKEYF_CONTROL | HOTKEYF_SHIFT, 'M'));
    Click(Editor(), IDOK);
  });
  EXPECT_EQ(RunEditor(2, script), IDOK);
  EXPECT_EQ(h.Names(), (Strings{"VirtDesk1", "Mail", "VirtDesk3"}));
  EXPECT_EQ(h.app().GetDesktopHotkey(2), Code(MOD_CONTROL | MOD_SHIFT, 'M'));
  EXPECT_EQ(h.hotkeys.Registrations().at(4),
            (FakeHotkeyRegistrar::Combo{MOD_CONTROL | MOD_SHIFT, 'M'}));
  EXPECT_TRUE(h.boxes.Texts().empty());
}

TEST_F(DeskEditorOk, NameLongerThanTheLimitIsCutToFourteenCharacters) {
  Script script;
  script.When("the editor shown", Shown(kEditorTitle), [] {
    Fill("ABCDEFGHIJKLMNOPQRSTUVWXYZ", Control(HOTKEYF_ALT, VK_F2));
    Click(Editor(), IDOK);
  });
  EXPECT_EQ(RunEditor(2, script), IDOK);
  EXPECT_EQ(h.Names(), (Strings{"VirtDesk1", "ABCDEFGHIJKLMN", "VirtDesk3"}));
}

TEST_F(DeskEditorOk, RefusedOrClearedHotkeyClosesSilentlyAndKeepsTheOldOne) {
  const struct {
    const char* name;
    WORD control;
  } cases[] = {
      {"desktop 1's", Control(HOTKEYF_ALT, VK_F1)},
      {"the next-desktop hotkey", Control(HOTKEYF_ALT, VK_RIGHT)},
      {"held by another program", Control(HOTKEYF_CONTROL | HOTKEYF_ALT, 'Q')},
      {"an emptied control", 0},
  };
  h.hotkeys.HoldElsewhere(MOD_CONTROL | MOD_ALT, 'Q');
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Script script;
    script.When("the editor shown", Shown(kEditorTitle), [&c] {
      Fill("Mail", c.control);
      Click(Editor(), IDOK);
    });
    EXPECT_EQ(RunEditor(2, script), IDOK);
    EXPECT_EQ(h.app().GetDesktop(2).name, "Mail") << "the name goes in before the hotkey";
    EXPECT_EQ(h.Hotkeys(), kDefaultHotkeys);
    EXPECT_TRUE(h.boxes.Texts().empty());
    EXPECT_TRUE(h.hotkeys.RegisteredIds().empty());
  }
}

TEST_F(DeskEditorOk, EmptyOrTakenNameIsRefusedAndTheEditorStaysOpen) {
  Script script;
  script.When("the editor shown", Shown(kEditorTitle), [] {
    Fill("", Control(HOTKEYF_CONTROL, 'E'));
    Click(Editor(), IDOK);
  });
  script.Then("after the empty name", [this] {
    ASSERT_NE(Editor(), nullptr) << "an empty name closed the editor";
    EXPECT_EQ(h.boxes.Texts(), Strings{"Type desktop name."});
    Fill("virtDESK1", Control(HOTKEYF_CONTROL, 'E'));
    Click(Editor(), IDOK);
  });
  script.Then("after the taken name", [this] {
    ASSERT_NE(Editor(), nullptr) << "a taken name closed the editor";
    EXPECT_EQ(h.boxes.Texts(),
              (Strings{"Type desktop name.", "This desktop name allready exist."}));
    Click(Editor(), IDCANCEL);
  });
  EXPECT_EQ(RunEditor(2, script), IDCANCEL);
  EXPECT_EQ(h.Names(), kDefaultNames);
  EXPECT_EQ(h.Hotkeys(), kDefaultHotkeys) << "a refused name keeps the hotkey out too";
}

// ---- A new desktop, and Cancel ------------------------------------------------------------------

class DeskEditorAdd : public DeskEditorFixture {};

TEST_F(DeskEditorAdd, TakenNameLeavesAnUnnamedDesktopUntilAFreeNameCompletesIt) {
  Script script;
  script.When("the editor shown", Shown(kEditorTitle), [] {
    Fill("VirtDesk1", 0);
    Click(Editor(), IDOK);
  });
  script.Then("after the taken name", [this] {
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(h.boxes.Texts(), Strings{"This desktop name allready exist."});
    EXPECT_EQ(h.Names(), (Strings{"VirtDesk1", "VirtDesk2", "VirtDesk3", ""}));
    Fill("Work", Control(HOTKEYF_ALT, VK_F4));
    Click(Editor(), IDOK);
  });
  EXPECT_EQ(RunEditor(4, script), IDOK);
  EXPECT_EQ(h.Names(), (Strings{"VirtDesk1", "VirtDesk2", "VirtDesk3", "Work"}));
  EXPECT_EQ(h.app().GetDesktopHotkey(4), Code(MOD_ALT, VK_F4));
  EXPECT_EQ(h.hotkeys.Registrations().at(6), (FakeHotkeyRegistrar::Combo{MOD_ALT, VK_F4}));
  EXPECT_EQ(h.boxes.Texts().size(), 1u);
}

TEST_F(DeskEditorAdd, CancelOrEscRightAfterOpeningChangesNothing) {
  const struct {
    DesktopNumber desk;
    bool byKey;
  } cases[] = {{2, false}, {2, true}, {4, false}, {4, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE("desktop " + std::to_string(c.desk) + (c.byKey ? " Esc" : " Cancel"));
    LoadedApp loaded;
    Script script;
    script.When("the editor shown", Shown(kEditorTitle), [&c] {
      if (!c.byKey) return Click(Editor(), IDCANCEL);
      PostMessageA(NameField(), WM_KEYDOWN, VK_ESCAPE, 1);
      PostMessageA(NameField(), WM_KEYUP, VK_ESCAPE, 0xC0000001);
    });
    EXPECT_EQ(RunEditor(loaded.app, c.desk, script), IDCANCEL);
    EXPECT_EQ(NamesOf(loaded.app), kDefaultNames);
    EXPECT_EQ(HotkeysOf(loaded.app), kDefaultHotkeys);
    EXPECT_FALSE(loaded.app.IsDirty());
    EXPECT_TRUE(loaded.h.hotkeys.Log().empty());
    EXPECT_TRUE(loaded.h.boxes.Texts().empty());
  }
}

// ---- Opened from the options dialog -------------------------------------------------------------

class DeskEditorFromOptions : public DeskEditorFixture {};

TEST_F(DeskEditorFromOptions, OptionsDialogOwnsTheEditorAndWaitsDisabledUntilItEnds) {
  HWND options = nullptr;
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [&] {
    options = Options();
    EXPECT_TRUE(IsWindowEnabled(options));
    PostMessageA(GetDlgItem(options, IDC_ADD), BM_CLICK, 0, 0);
  });
  script.When("the editor shown", Shown(kEditorTitle), [&] {
    EXPECT_EQ(GetWindow(Editor(), GW_OWNER), options);
    EXPECT_FALSE(IsWindowEnabled(options));
    Click(Editor(), IDCANCEL);
  });
  script.When("the editor gone", Gone(kEditorTitle), [&] {
    EXPECT_TRUE(IsWindowEnabled(options));
    SendMessageA(options, WM_CLOSE, 0, 0);
  });
  CDesktopsDlg dialog(&h.app());
  INT_PTR result = -2;
  EXPECT_TRUE(script.Run([&] { result = dialog.DoModal(); }));
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(Options(), nullptr);
}

}  // namespace
