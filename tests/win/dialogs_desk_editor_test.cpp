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

#include "dialog_test_support.h"
#include "dialogs/desk_edit_dlg.h"
#include "dialogs/desktops_dlg.h"
#include "fakes/app_harness.h"
#include "modal_probe.h"
#include "res/resource.h"

namespace dialog_test {
namespace {

HWND NameField() {
  return GetDlgItem(Editor(), IDC_DESK_NAME);
}
WORD HotkeyField() {
  return HotkeyOf(Editor(), IDC_DESK_HOTKEY);
}
// Types into the editor's two fields; 0 empties the hot-key control.
void Fill(const char* name, WORD hotkey) {
  SetWindowTextA(NameField(), name);
  SetHotkey(Editor(), IDC_DESK_HOTKEY, hotkey);
}

class DeskEditorFixture : public StartedAppFixture {
 protected:
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
    PostKey(NameField(), VK_RETURN);
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
      PostKey(NameField(), VK_ESCAPE);
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
    PostClick(options, IDC_ADD);
  });
  script.When("the editor shown", Shown(kEditorTitle), [&] {
    EXPECT_EQ(GetWindow(Editor(), GW_OWNER), options);
    EXPECT_FALSE(IsWindowEnabled(options));
    Click(Editor(), IDCANCEL);
  });
  script.When("the editor gone", Gone(kEditorTitle), [&] {
    EXPECT_TRUE(IsWindowEnabled(options));
    Close(options);
  });
  CDesktopsDlg dialog(&h.app());
  INT_PTR result = -2;
  EXPECT_TRUE(script.Run([&] { result = dialog.DoModal(); }));
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(Options(), nullptr);
}

}  // namespace
}  // namespace dialog_test
