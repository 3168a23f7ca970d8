// The options dialog run for real, from its own template and in DialogBoxParamA's own loop, over
// an application built on the in-memory fakes: its refusals come back as message texts and no
// real hotkey is taken. Each test drives the dialog with messages from inside that loop (see
// modal_probe.h). They need a display; without one they skip.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "dialog_test_support.h"
#include "dialogs/desktops_dlg.h"
#include "dialogs/more_dlg.h"
#include "fakes/app_harness.h"
#include "modal_probe.h"
#include "res/resource.h"

namespace dialog_test {
namespace {

using Registrations = std::map<int, FakeHotkeyRegistrar::Combo>;

constexpr COLORREF kCurrentBlue = RGB(0, 0, 160);
constexpr char kOptionsKey[] = "Software\\veilswitcher";
// The previous and next desktop hotkeys a started application holds.
constexpr HotkeyCode kAltLeft = Code(MOD_ALT, VK_LEFT);
constexpr HotkeyCode kAltRight = Code(MOD_ALT, VK_RIGHT);

// ---- The options dialog's controls --------------------------------------------------------------

HWND List() {
  return GetDlgItem(Options(), IDC_DESK_LIST);
}
HWND LabelEditor() {
  return reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETEDITCONTROL, 0, 0));
}

int ItemCount(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}
std::string ItemText(HWND list, int index) {
  char text[64] = {};
  LVITEMA item = {};
  item.iSubItem = 0;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  SendMessageA(list, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
  return text;
}
Strings ItemTexts(HWND list) {
  Strings texts;
  for (int i = 0; i < ItemCount(list); ++i) texts.push_back(ItemText(list, i));
  return texts;
}
LPARAM ItemData(HWND list, int index) {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  item.lParam = -7;  // left alone by a failed read
  SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item.lParam;
}
std::vector<LPARAM> ItemDatas(HWND list) {
  std::vector<LPARAM> datas;
  for (int i = 0; i < ItemCount(list); ++i) datas.push_back(ItemData(list, i));
  return datas;
}
int Selected(HWND list) {
  return static_cast<int>(
      SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}
void Select(HWND list, int index) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

UINT CheckOf(HWND dialog, int id) {
  return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

// ---- The fixture --------------------------------------------------------------------------------

class OptionsDialogFixture : public StartedAppFixture {
 protected:
  // Runs the options dialog over `app` with `script` ticking inside its loop.
  static INT_PTR RunOptions(CVirtualDeskApp& app, Script& script) {
    CDesktopsDlg options(&app);
    INT_PTR result = -2;
    EXPECT_TRUE(script.Run([&] { result = options.DoModal(); }));
    EXPECT_EQ(options.Window(), nullptr);
    EXPECT_EQ(Options(), nullptr);
    return result;
  }
  INT_PTR RunOptions(Script& script) { return RunOptions(h.app(), script); }
};

bool SameOptions(const OptionsBlock& a, const OptionsBlock& b) {
  return a.prevHotkey == b.prevHotkey && a.nextHotkey == b.nextHotkey &&
         a.showNotice == b.showNotice && a.startAtLogon == b.startAtLogon;
}

// ---- Opening ------------------------------------------------------------------------------------

class OptionsDialogOpening : public OptionsDialogFixture {};

// A custom-draw notification as the list sends it while painting, answered by the dialog.
struct DrawAnswer {
  LRESULT result;
  COLORREF text;
};
DrawAnswer AskCustomDraw(HWND dialog, DWORD stage, int item, HDC dc) {
  NMLVCUSTOMDRAW draw = {};
  draw.nmcd.hdr.hwndFrom = GetDlgItem(dialog, IDC_DESK_LIST);
  draw.nmcd.hdr.idFrom = IDC_DESK_LIST;
  draw.nmcd.hdr.code = NM_CUSTOMDRAW;
  draw.nmcd.dwDrawStage = stage;
  draw.nmcd.hdc = dc;
  draw.nmcd.dwItemSpec = item;
  draw.clrText = RGB(1, 2, 3);  // a colour nobody sets
  draw.clrTextBk = RGB(4, 5, 6);
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, -1);
  SendMessageA(dialog, WM_NOTIFY, IDC_DESK_LIST, reinterpret_cast<LPARAM>(&draw));
  return DrawAnswer{GetWindowLongPtrA(dialog, DWLP_MSGRESULT), draw.clrText};
}

TEST_F(OptionsDialogOpening, ListsTheDesktopsInOrderAndMarksOnlyTheCurrentOne) {
  h.app().SwitchToDesktop(2);
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] {
    HWND dialog = Options();
    HWND list = List();
    EXPECT_EQ(ItemTexts(list), kDefaultNames);
    EXPECT_EQ(ItemDatas(list), (std::vector<LPARAM>{0, 1, 0}));
    EXPECT_EQ(Selected(list), -1);

    EXPECT_EQ(AskCustomDraw(dialog, CDDS_PREPAINT, 0, nullptr).result, CDRF_NOTIFYITEMDRAW);
    HDC dc = CreateCompatibleDC(nullptr);
    for (int item = 0; item < 3; ++item) {
      SCOPED_TRACE("item " + std::to_string(item));
      DrawAnswer answer = AskCustomDraw(dialog, CDDS_ITEMPREPAINT, item, dc);
      if (item == 1) {
        EXPECT_EQ(answer.text, kCurrentBlue);
        EXPECT_EQ(answer.result & ~CDRF_NEWFONT, CDRF_DODEFAULT);
      } else {
        EXPECT_EQ(answer.text, RGB(1, 2, 3));
        EXPECT_EQ(answer.result, CDRF_DODEFAULT);
      }
    }
    DeleteDC(dc);
    Close(dialog);
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
}

// What the list really drew: dark blue text in the current desktop's row only.
int BluePixels(HDC dc, const RECT& r) {
  int blue = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      COLORREF c = GetPixel(dc, x, y);
      if (GetBValue(c) >= 100 && GetRValue(c) < 60 && GetGValue(c) < 60) ++blue;
    }
  }
  return blue;
}
int DarkPixels(HDC dc, const RECT& r) {
  int dark = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      COLORREF c = GetPixel(dc, x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++dark;
    }
  }
  return dark;
}

TEST_F(OptionsDialogOpening, DrawnListShowsOnlyTheCurrentDesktopInBlue) {
  h.app().SwitchToDesktop(2);
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] {
    HWND list = List();
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(list);
    for (int item = 0; item < 3; ++item) {
      SCOPED_TRACE("item " + std::to_string(item));
      RECT label = {};
      label.left = LVIR_LABEL;
      ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&label)));
      if (item == 1) {
        EXPECT_GT(BluePixels(dc, label), 0);
      } else {
        EXPECT_EQ(BluePixels(dc, label), 0);
        EXPECT_GT(DarkPixels(dc, label), 0)
            << "the row's text was not drawn where it was looked for";
      }
    }
    ReleaseDC(list, dc);
    Close(Options());
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
}

TEST_F(OptionsDialogOpening, ShowsTheOptionsInItsOwnTaskbarWindowAndCloseEndsWithCancel) {
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] {
    HWND dialog = Options();
    // The arrows are extended keys: without the flag they would read as Num 4 and Num 6.
    EXPECT_EQ(HotkeyOf(dialog, IDC_PREV_HOTKEY), Control(HOTKEYF_ALT | HOTKEYF_EXT, VK_LEFT));
    EXPECT_EQ(HotkeyOf(dialog, IDC_NEXT_HOTKEY), Control(HOTKEYF_ALT | HOTKEYF_EXT, VK_RIGHT));
    EXPECT_EQ(CheckOf(dialog, IDC_SHOW_NOTICE), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(CheckOf(dialog, IDC_AUTOSTART), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(TextOf(dialog), kOptionsTitle);
    EXPECT_NE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    LRESULT icon =
        reinterpret_cast<LRESULT>(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN)));
    ASSERT_NE(icon, 0);
    EXPECT_EQ(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), icon);
    // The caption's picture is the one drawn for its size, not the big one.
    ICONINFO small = {};
    ASSERT_TRUE(GetIconInfo(
        reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0)), &small));
    BITMAP colour = {};
    GetObjectA(small.hbmColor, sizeof(colour), &colour);
    DeleteObject(small.hbmColor);
    DeleteObject(small.hbmMask);
    EXPECT_EQ(colour.bmWidth, GetSystemMetrics(SM_CXSMICON));
    Close(dialog);
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
}

TEST_F(OptionsDialogOpening, FlagsThatAreOffShowUnchecked) {
  OptionsBlock options = h.app().GetOptions();
  options.showNotice = 0;
  options.startAtLogon = 0;
  options.prevHotkey = Code(MOD_CONTROL | MOD_SHIFT, 'P');
  h.app().ApplyOptions(options);
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] {
    HWND dialog = Options();
    EXPECT_EQ(CheckOf(dialog, IDC_SHOW_NOTICE), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(CheckOf(dialog, IDC_AUTOSTART), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(HotkeyOf(dialog, IDC_PREV_HOTKEY), Control(HOTKEYF_CONTROL | HOTKEYF_SHIFT, 'P'));
    Close(dialog);
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
}

// ---- Add ----------------------------------------------------------------------------------------

class OptionsDialogAdd : public OptionsDialogFixture {};

// Opens the editor with the Add button, hands it `name` and `hotkey` and presses OK.
void AddDesktop(Script& script, const char* name, WORD hotkey) {
  script.When("the options dialog shown", Shown(kOptionsTitle),
              [] { PostClick(Options(), IDC_ADD); });
  script.When("the editor shown", Shown(kEditorTitle), [name, hotkey] {
    HWND editor = Editor();
    SetDlgItemTextA(editor, IDC_DESK_NAME, name);
    SetHotkey(editor, IDC_DESK_HOTKEY, hotkey);
    Click(editor, IDOK);
  });
}

TEST_F(OptionsDialogAdd, CancelledEditorLeavesTheNamesAndRefillsTheListWithoutMarkOrSelection) {
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] {
    Select(List(), 1);
    ASSERT_EQ(Selected(List()), 1);
    ASSERT_EQ(ItemData(List(), 0), 1);
    PostClick(Options(), IDC_ADD);
  });
  script.When("the editor shown", Shown(kEditorTitle), [] {
    EXPECT_EQ(TextOf(GetDlgItem(Editor(), IDC_DESK_NAME)), "");
    Click(Editor(), IDCANCEL);
  });
  script.When("the editor gone", Gone(kEditorTitle), [] {
    EXPECT_EQ(ItemTexts(List()), kDefaultNames);
    EXPECT_EQ(ItemDatas(List()), (std::vector<LPARAM>{0, 0, 0}));
    EXPECT_EQ(Selected(List()), -1);
    Close(Options());
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
  EXPECT_EQ(h.Names(), kDefaultNames);
  EXPECT_TRUE(h.boxes.Texts().empty());
}

TEST_F(OptionsDialogAdd, TakenNameLeavesAnUnnamedFourthDesktopInTableAndList) {
  Script script;
  AddDesktop(script, "VirtDesk1", 0);
  script.Then("the refusal", [this] {
    EXPECT_EQ(h.boxes.Texts(), Strings{"This desktop name allready exist."});
    ASSERT_NE(Editor(), nullptr) << "a refused name closed the editor";
    Click(Editor(), IDCANCEL);
  });
  script.When("the editor gone", Gone(kEditorTitle), [] {
    EXPECT_EQ(ItemTexts(List()), (Strings{"VirtDesk1", "VirtDesk2", "VirtDesk3", ""}));
    Close(Options());
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
  EXPECT_EQ(h.Names(), (Strings{"VirtDesk1", "VirtDesk2", "VirtDesk3", ""}));
  EXPECT_EQ(h.app().GetDesktopHotkey(4), 0u);
}

TEST_F(OptionsDialogAdd, FreeNameAndHotkeyMakeTheFourthDesktopAndRegisterItsHotkey) {
  Script script;
  AddDesktop(script, "Work", Control(HOTKEYF_CONTROL | HOTKEYF_ALT, 'W'));
  script.When("the editor gone", Gone(kEditorTitle), [] {
    EXPECT_EQ(ItemTexts(List()), (Strings{"VirtDesk1", "VirtDesk2", "VirtDesk3", "Work"}));
    Close(Options());
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
  EXPECT_TRUE(h.boxes.Texts().empty());
  EXPECT_EQ(h.Names(), (Strings{"VirtDesk1", "VirtDesk2", "VirtDesk3", "Work"}));
  EXPECT_EQ(h.app().GetDesktopHotkey(4), Code(MOD_CONTROL | MOD_ALT, 'W'));
  ASSERT_EQ(h.hotkeys.Registrations().count(6), 1u);
  EXPECT_EQ(h.hotkeys.Registrations().at(6),
            (FakeHotkeyRegistrar::Combo{MOD_CONTROL | MOD_ALT, 'W'}));
}

TEST_F(OptionsDialogAdd, EmptyHotkeyControlGivesTheNewDesktopNoHotkey) {
  Script script;
  AddDesktop(script, "Work", 0);
  script.When("the editor gone", Gone(kEditorTitle), [] { Close(Options()); });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
  EXPECT_TRUE(h.boxes.Texts().empty());
  EXPECT_EQ(h.Names(), (Strings{"VirtDesk1", "VirtDesk2", "VirtDesk3", "Work"}));
  EXPECT_EQ(h.app().GetDesktopHotkey(4), 0u);
  EXPECT_EQ(h.hotkeys.Registrations().count(6), 0u);
}

// ---- Edit and Delete ----------------------------------------------------------------------------

class OptionsDialogEditDelete : public OptionsDialogFixture {};

TEST_F(OptionsDialogEditDelete, EditAndDeleteWithNothingSelectedAskForASelection) {
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] {
    ASSERT_EQ(Selected(List()), -1);
    PostClick(Options(), IDC_EDIT);
  });
  script.Then("after Edit", [this] {
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(h.boxes.Texts(), Strings{"Select what desktop you want to edit."});
    PostClick(Options(), IDC_DELETE);
  });
  script.Then("after Delete", [this] {
    EXPECT_EQ(h.boxes.Texts(), (Strings{"Select what desktop you want to edit.",
                                        "Select what desktop you want to delete."}));
    EXPECT_EQ(ItemCount(List()), 3);
    Close(Options());
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
  EXPECT_EQ(h.Names(), kDefaultNames);
}

TEST_F(OptionsDialogEditDelete, EditOpensTheEditorOnTheSelectedDesktopAndTheListShowsTheNewName) {
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] {
    Select(List(), 2);
    PostClick(Options(), IDC_EDIT);
  });
  script.When("the editor shown", Shown(kEditorTitle), [] {
    HWND editor = Editor();
    EXPECT_EQ(TextOf(GetDlgItem(editor, IDC_DESK_NAME)), "VirtDesk3");
    EXPECT_EQ(HotkeyOf(editor, IDC_DESK_HOTKEY), Control(HOTKEYF_ALT, VK_F3));
    SetDlgItemTextA(editor, IDC_DESK_NAME, "Mail");
    Click(editor, IDOK);
  });
  script.When("the editor gone", Gone(kEditorTitle), [] {
    EXPECT_EQ(ItemTexts(List()), (Strings{"VirtDesk1", "VirtDesk2", "Mail"}));
    Close(Options());
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
  EXPECT_EQ(h.Names(), (Strings{"VirtDesk1", "VirtDesk2", "Mail"}));
  EXPECT_TRUE(h.boxes.Texts().empty());
}

TEST_F(OptionsDialogEditDelete, CurrentDesktopIsNotDeleted) {
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] {
    Select(List(), 0);
    PostClick(Options(), IDC_DELETE);
  });
  script.Then("after Delete", [this] {
    EXPECT_EQ(h.boxes.Texts(), Strings{"Cannot delete current desktop."});
    EXPECT_EQ(ItemTexts(List()), kDefaultNames);
    Close(Options());
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
  EXPECT_EQ(h.Names(), kDefaultNames);
}

TEST_F(OptionsDialogEditDelete, LastDesktopIsNotDeletedAndASelectionIsAskedForFirst) {
  ASSERT_TRUE(h.app().DeleteDesktop(3));
  ASSERT_TRUE(h.app().DeleteDesktop(2));
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] {
    ASSERT_EQ(ItemCount(List()), 1);
    PostClick(Options(), IDC_DELETE);
  });
  script.Then("after Delete with nothing selected", [this] {
    EXPECT_EQ(h.boxes.Texts(), Strings{"Select what desktop you want to delete."});
    Select(List(), 0);
    PostClick(Options(), IDC_DELETE);
  });
  script.Then("after Delete of the only desktop", [this] {
    EXPECT_EQ(h.boxes.Texts(), (Strings{"Select what desktop you want to delete.",
                                        "We cant delete desktops anymore."}));
    EXPECT_EQ(ItemTexts(List()), Strings{"VirtDesk1"});
    Close(Options());
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
  EXPECT_EQ(h.Names(), Strings{"VirtDesk1"});
}

TEST_F(OptionsDialogEditDelete, DeletingTheFirstDesktopKeepsTheMarkOnTheCurrentAndRenumbers) {
  h.app().SwitchToDesktop(3);
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] {
    Select(List(), 0);
    PostClick(Options(), IDC_DELETE);
  });
  script.Then("after Delete", [] {
    EXPECT_EQ(ItemTexts(List()), (Strings{"VirtDesk2", "VirtDesk3"}));
    EXPECT_EQ(ItemDatas(List()), (std::vector<LPARAM>{0, 1}));
    Close(Options());
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
  EXPECT_TRUE(h.boxes.Texts().empty());
  EXPECT_EQ(h.Names(), (Strings{"VirtDesk2", "VirtDesk3"}));
  EXPECT_EQ(h.app().CurrentDesktop(), 2);
  const Registrations& held = h.hotkeys.Registrations();
  EXPECT_EQ(held.at(3), (FakeHotkeyRegistrar::Combo{MOD_ALT, VK_F2}));
  EXPECT_EQ(held.at(4), (FakeHotkeyRegistrar::Combo{MOD_ALT, VK_F3}));
  EXPECT_EQ(held.count(5), 0u);
}

// ---- Renaming in place --------------------------------------------------------------------------

class OptionsDialogRename : public OptionsDialogFixture {};

// Edits item `item`'s label in place, types `name` (null: leaves the item's text as the editor
// opened with it, all of it selected) and ends the edit with `key` (Enter or Esc),
// the key queued as the user's would be: the dialog manager must leave it to the label editor.
// The editor's limit is read while it is open.
void Rename(Script& script, int item, const char* name, WPARAM key, LRESULT* limit) {
  script.When("the options dialog shown", Shown(kOptionsTitle), [item] {
    HWND list = List();
    Select(list, item);
    SetFocus(list);
    SendMessageA(list, LVM_EDITLABELA, item, 0);
  });
  script.When(
      "the label editor open", [] { return LabelEditor() != nullptr; },
      [name, key, limit] {
        HWND edit = LabelEditor();
        *limit = SendMessageA(edit, EM_GETLIMITTEXT, 0, 0);
        if (name != nullptr) SetWindowTextA(edit, name);
        PostKey(edit, key);
      });
  script.When(
      "the label editor closed", [] { return LabelEditor() == nullptr; },
      [] { ASSERT_NE(Options(), nullptr) << "the key ended the dialog rather than the edit"; });
}

struct RenameCase {
  const char* typed;
  WPARAM key;
  const char* message;  // null: accepted
  const char* shown;    // item 1's text afterwards
};

TEST_F(OptionsDialogRename, EnterAndEscBothRenameAndRefusedNamesKeepTheOldOne) {
  const RenameCase cases[] = {
      {"Mail", VK_RETURN, nullptr, "Mail"},
      {"Web", VK_ESCAPE, nullptr, "Web"},  // the editor is read, not the notification
      {"", VK_RETURN, "Type desktop name.", "VirtDesk2"},
      {"VirtDesk1", VK_RETURN, "This desktop name allready exist.", "VirtDesk2"},
      {"virtdesk3", VK_RETURN, "This desktop name allready exist.", "VirtDesk2"},
      {"ABCDEFGHIJKLMNOPQRS", VK_RETURN, nullptr, "ABCDEFGHIJKLMN"},  // set past the limit
      {nullptr, VK_ESCAPE, nullptr, "VirtDesk2"},  // given up at once: the text stays selected
      {nullptr, VK_RETURN, nullptr, "VirtDesk2"},
  };
  for (const RenameCase& c : cases) {
    SCOPED_TRACE(std::string("typed \"") + (c.typed ? c.typed : "(nothing)") +
                 (c.key == VK_RETURN ? "\" Enter" : "\" Esc"));
    AppHarness own;
    ASSERT_EQ(own.Start(), std::nullopt);
    Script script;
    LRESULT limit = 0;
    Rename(script, 1, c.typed, c.key, &limit);
    script.Then("after the edit", [&] {
      EXPECT_EQ(ItemTexts(List()), (Strings{"VirtDesk1", c.shown, "VirtDesk3"}));
      Close(Options());
    });
    EXPECT_EQ(RunOptions(own.app(), script), IDCANCEL);
    EXPECT_EQ(limit, 14);
    EXPECT_EQ(own.Names(), (Strings{"VirtDesk1", c.shown, "VirtDesk3"}));
    EXPECT_EQ(own.boxes.Texts(), c.message ? Strings{c.message} : Strings{});
  }
}

TEST_F(OptionsDialogRename, ItsOwnNameIsAcceptedAndMarksTheSettingsChanged) {
  LoadedApp loaded;
  ASSERT_FALSE(loaded.app.IsDirty());
  Script script;
  LRESULT limit = 0;
  Rename(script, 1, "VirtDesk2", VK_RETURN, &limit);
  script.Then("after the edit", [] {
    EXPECT_EQ(ItemText(List(), 1), "VirtDesk2");
    HWND box = GetDlgItem(Options(), IDC_AUTOSTART);
    SetFocus(box);
    PostKey(box, VK_ESCAPE);
  });
  EXPECT_EQ(RunOptions(loaded.app, script), IDCANCEL);
  EXPECT_TRUE(loaded.h.boxes.Texts().empty());
  EXPECT_EQ(NamesOf(loaded.app), kDefaultNames);
  EXPECT_TRUE(loaded.app.IsDirty()) << "Esc applies nothing, so only the rename raised it";
}

// ---- Closing ------------------------------------------------------------------------------------

class OptionsDialogClosing : public OptionsDialogFixture {};

TEST_F(OptionsDialogClosing, CloseAppliesTheControlsAndRegistersTheNewNextHotkey) {
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] {
    HWND dialog = Options();
    SetHotkey(dialog, IDC_NEXT_HOTKEY, Control(HOTKEYF_CONTROL | HOTKEYF_SHIFT, 'N'));
    SendDlgItemMessageA(dialog, IDC_SHOW_NOTICE, BM_SETCHECK, BST_UNCHECKED, 0);
    Close(dialog);
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
  OptionsBlock options = h.app().GetOptions();
  EXPECT_EQ(options.nextHotkey, Code(MOD_CONTROL | MOD_SHIFT, 'N'));
  EXPECT_EQ(options.prevHotkey, kAltLeft);
  EXPECT_EQ(options.showNotice, 0);
  EXPECT_EQ(options.startAtLogon, 1);
  const Registrations& held = h.hotkeys.Registrations();
  ASSERT_EQ(held.count(1), 1u);
  EXPECT_EQ(held.at(1), (FakeHotkeyRegistrar::Combo{MOD_CONTROL | MOD_SHIFT, 'N'}));
  EXPECT_EQ(held.at(2), (FakeHotkeyRegistrar::Combo{MOD_ALT, VK_LEFT}));
  EXPECT_TRUE(h.boxes.Texts().empty());
}

// The arrows' controls hold HOTKEYF_EXT (see ShowsTheOptions...), which is never stored.
TEST_F(OptionsDialogClosing, CloseWithoutChangesStillAppliesAndReRegistersEveryHotkey) {
  LoadedApp loaded;
  ASSERT_FALSE(loaded.app.IsDirty());
  const Registrations before = loaded.h.hotkeys.Registrations();
  ASSERT_EQ(before.size(), 10u);  // with the extras: send next and previous, Shift+Alt+F1..F3
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] { Close(Options()); });
  EXPECT_EQ(RunOptions(loaded.app, script), IDCANCEL);
  const std::pair<const char*, const char*> stored[] = {{"PrevDesk", "1 37\n"},
                                                        {"NextDesk", "1 39\n"}};
  for (const auto& [name, text] : stored) loaded.h.store.RemoveValue(kOptionsKey, name);
  loaded.app.SaveSettings();
  for (const auto& [name, text] : stored) {
    const FakeSettingsStore::Value* saved = loaded.h.store.Find(kOptionsKey, name);
    EXPECT_EQ(saved ? saved->data : "missing", text) << name;
  }
  EXPECT_TRUE(loaded.app.IsDirty());
  const std::vector<int> all = {3, 4, 5, 1, 2, 0xBFF0, 0xBFF1, 0x8101, 0x8102, 0x8103};
  EXPECT_EQ(loaded.h.hotkeys.UnregisteredIds(), all);
  EXPECT_EQ(loaded.h.hotkeys.RegisteredIds(), all);
  EXPECT_EQ(loaded.h.hotkeys.Registrations(), before);
  EXPECT_EQ(loaded.app.GetOptions().nextHotkey, kAltRight);
}

TEST_F(OptionsDialogClosing, EscAndEnterEndItWithoutApplyingAChangedOption) {
  const struct {
    WPARAM key;
    int focus;
    INT_PTR result;
  } cases[] = {
      {VK_ESCAPE, IDC_SHOW_NOTICE, IDCANCEL},
      {VK_RETURN, IDC_SHOW_NOTICE, IDOK},
      {VK_RETURN, IDC_NEXT_HOTKEY, IDOK},
  };
  const OptionsBlock before = h.app().GetOptions();
  for (const auto& c : cases) {
    SCOPED_TRACE("key " + std::to_string(c.key) + " in control " + std::to_string(c.focus));
    Script script;
    script.When("the options dialog shown", Shown(kOptionsTitle), [&c] {
      HWND dialog = Options();
      SetHotkey(dialog, IDC_NEXT_HOTKEY, Control(HOTKEYF_CONTROL, 'N'));
      SendDlgItemMessageA(dialog, IDC_SHOW_NOTICE, BM_SETCHECK, BST_UNCHECKED, 0);
      HWND focus = GetDlgItem(dialog, c.focus);
      SetFocus(focus);
      PostKey(focus, c.key);
    });
    EXPECT_EQ(RunOptions(script), c.result);
    EXPECT_TRUE(SameOptions(h.app().GetOptions(), before));
    EXPECT_TRUE(h.hotkeys.Log().empty());
  }
}

// "More options" keeps the options dialog's rule: Esc drops a changed hotkey and switch, and
// the close box then applies them and registers the new hotkey.
TEST_F(OptionsDialogClosing, MoreOptionsEscDropsTheChangesAndTheCloseBoxAppliesThem) {
  constexpr char kMoreTitle[] = "More options";
  for (const bool esc : {true, false}) {
    SCOPED_TRACE(esc ? "Esc" : "close box");
    Script script;
    script.When("the More options dialog shown", Shown(kMoreTitle), [esc, &kMoreTitle] {
      HWND dialog = modal_probe::FindDialog(kMoreTitle);
      SetHotkey(dialog, IDC_PIN_HOTKEY, Control(HOTKEYF_CONTROL | HOTKEYF_ALT, 'P'));
      SendDlgItemMessageA(dialog, IDC_WRAP_AROUND, BM_SETCHECK, BST_CHECKED, 0);
      HWND focus = GetDlgItem(dialog, IDC_WRAP_AROUND);
      SetFocus(focus);
      esc ? PostKey(focus, VK_ESCAPE) : Close(dialog);
    });
    CMoreOptionsDlg more(&h.app());
    INT_PTR result = -2;
    EXPECT_TRUE(script.Run([&] { result = more.DoModal(); }));
    EXPECT_EQ(result, IDCANCEL);
    const MoreOptions after = h.app().GetMoreOptions();
    EXPECT_EQ(after.pinWindow, esc ? 0u : Code(MOD_CONTROL | MOD_ALT, 'P'));
    EXPECT_EQ(after.wrapAround, !esc);
    EXPECT_EQ(h.hotkeys.Registrations().count(0xBFF2), esc ? 0u : 1u);
  }
}

TEST_F(OptionsDialogClosing, EmptiedHotkeyControlHandsBackNoHotkey) {
  Script script;
  script.When("the options dialog shown", Shown(kOptionsTitle), [] {
    SetHotkey(Options(), IDC_PREV_HOTKEY, 0);
    Close(Options());
  });
  EXPECT_EQ(RunOptions(script), IDCANCEL);
  EXPECT_EQ(h.app().GetOptions().prevHotkey, 0u);
  EXPECT_EQ(h.app().GetOptions().nextHotkey, kAltRight);
  EXPECT_EQ(h.hotkeys.Registrations().count(2), 0u);
  EXPECT_EQ(h.hotkeys.Registrations().count(1), 1u);
}

// ---- Refusing clashing options ------------------------------------------------------------------

class OptionsDialogRefusal : public OptionsDialogFixture {};

struct RefusalCase {
  const char* name;
  int control;
  WORD value;
  const char* message;
};

TEST_F(OptionsDialogRefusal, ClashingHotkeysAreRefusedAndTheDialogStaysOpenUntilMended) {
  const RefusalCase cases[] = {
      {"next equal to previous", IDC_NEXT_HOTKEY, Control(HOTKEYF_ALT, VK_LEFT),
       "Previous and next desktop hotkeys must differ."},
      {"next equal to desktop 1's", IDC_NEXT_HOTKEY, Control(HOTKEYF_ALT, VK_F1),
       "Next desktop hotkey is already used by \"VirtDesk1\"."},
      {"previous equal to desktop 3's", IDC_PREV_HOTKEY, Control(HOTKEYF_ALT, VK_F3),
       "Previous desktop hotkey is already used by \"VirtDesk3\"."},
      {"previous held by another program", IDC_PREV_HOTKEY,
       Control(HOTKEYF_CONTROL | HOTKEYF_ALT, 'P'),
       "Previous desktop hotkey is used by another program."},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    AppHarness own;
    ASSERT_EQ(own.Start(), std::nullopt);
    own.hotkeys.HoldElsewhere(MOD_CONTROL | MOD_ALT, 'P');
    const OptionsBlock before = own.app().GetOptions();
    const Registrations held = own.hotkeys.Registrations();
    HWND refusedIn = nullptr;
    Script script;
    script.When("the options dialog shown", Shown(kOptionsTitle), [&] {
      refusedIn = Options();
      SetHotkey(refusedIn, c.control, c.value);
      Close(refusedIn);
    });
    script.Then("after the refused close", [&] {
      EXPECT_EQ(own.boxes.Texts(), Strings{c.message});
      EXPECT_TRUE(IsWindow(refusedIn)) << "the dialog closed on refused options";
      EXPECT_TRUE(SameOptions(own.app().GetOptions(), before));
      EXPECT_EQ(own.hotkeys.Registrations(), held);
      SetHotkey(refusedIn, c.control, Control(HOTKEYF_CONTROL | HOTKEYF_SHIFT, VK_F9));
      Close(refusedIn);
    });
    EXPECT_EQ(RunOptions(own.app(), script), IDCANCEL);
    EXPECT_EQ(own.boxes.Texts().size(), 1u);
    OptionsBlock after = own.app().GetOptions();
    HotkeyCode mended = Code(MOD_CONTROL | MOD_SHIFT, VK_F9);
    EXPECT_EQ(c.control == IDC_NEXT_HOTKEY ? after.nextHotkey : after.prevHotkey, mended);
    EXPECT_EQ(own.hotkeys.Registrations().at(c.control == IDC_NEXT_HOTKEY ? 1 : 2),
              (FakeHotkeyRegistrar::Combo{MOD_CONTROL | MOD_SHIFT, VK_F9}));
  }
}

}  // namespace
}  // namespace dialog_test
