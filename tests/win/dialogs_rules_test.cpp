// The rules dialog and its editor over an application on the in-memory fakes, driven inside their
// modal loops (see modal_probe.h); what they store is read back from the fake registry.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include "dialog_test_support.h"
#include "dialogs/more_dlg.h"
#include "dialogs/rules_dlg.h"
#include "res/resource.h"
#include "rules/window_rules.h"

namespace dialog_test {
namespace {

using namespace std::string_literals;
constexpr char kRulesTitle[] = "Window rules";
constexpr char kRuleTitle[] = "Window rule";

// Every row of the rules dialog, its columns joined by '|'.
Strings Rows() {
  HWND list = GetDlgItem(modal_probe::FindDialog(kRulesTitle), IDC_RULE_LIST);
  Strings rows(ListView_GetItemCount(list));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    for (int column = 0; column < 5; ++column) {
      char text[256] = {};
      ListView_GetItemText(list, i, column, text, sizeof(text));
      rows[i] += (column ? "|" : "") + std::string(text);
    }
  }
  return rows;
}

class RulesDialog : public StartedAppFixture {
 protected:
  static void Press(int row, int button) {
    HWND dialog = modal_probe::FindDialog(kRulesTitle);
    ListView_SetItemState(GetDlgItem(dialog, IDC_RULE_LIST), row, LVIS_SELECTED, LVIS_SELECTED);
    Click(dialog, button);
  }
};

// A second click on the button while the rules dialog is open would hold this script's step in
// a second modal loop until the patience ran out. The title's cup is in no 8-bit code page: it is
// stored as '?', which as a pattern matches it.
TEST_F(RulesDialog, OpenedOnceFromMoreOptionsItStoresARuleMadeFromAnOpenWindow) {
  constexpr char kMoreTitle[] = "More options";
  const WindowId w = h.windows.Open("Inbox \xE2\x98\x95 1");
  h.windows.SetProgram(w, "mail.exe");
  h.windows.SetOwnerAndClass(w, h.windows.ProcessOf(w), "MailWnd");
  Script script;
  script.When("More options shown", Shown(kMoreTitle),
              [&] { PostClick(modal_probe::FindDialog(kMoreTitle), IDC_RULES); });
  script.When("the rules shown", Shown(kRulesTitle), [&] {
    SendMessageA(modal_probe::FindDialog(kMoreTitle), WM_COMMAND, IDC_RULES, 0);
    PostClick(modal_probe::FindDialog(kRulesTitle), IDC_ADD);
  });
  script.When("the editor shown", Shown(kRuleTitle), [] {
    HWND editor = modal_probe::FindDialog(kRuleTitle);
    SendDlgItemMessageA(editor, IDC_RULE_FROM, CB_SETCURSEL, 0, 0);
    SendMessageA(editor, WM_COMMAND, MAKEWPARAM(IDC_RULE_FROM, CBN_SELCHANGE), 0);
    SendDlgItemMessageA(editor, IDC_RULE_DESKTOP, CB_SETCURSEL, 1, 0);
    SendDlgItemMessageA(editor, IDC_RULE_FOLLOW, BM_SETCHECK, BST_CHECKED, 0);
    Click(editor, IDOK);
  });
  script.When("the editor gone", Gone(kRuleTitle),
              [] { Close(modal_probe::FindDialog(kRulesTitle)); });
  script.When("the rules gone", Gone(kRulesTitle),
              [&] { SendMessageA(modal_probe::FindDialog(kMoreTitle), WM_COMMAND, IDCANCEL, 0); });
  CMoreOptionsDlg more(&h.app());
  EXPECT_TRUE(script.Run([&] { more.DoModal(); }));
  std::string stored;
  for (const auto& v : h.store.Values(std::string(rules::kKey) + "\\1"))
    stored += v.name + " " + std::to_string(v.type) + " " + v.data + ";";
  EXPECT_EQ(stored,
            "Program 1 mail.exe;Class 1 MailWnd;Title 1 Inbox ? 1;Desktop 1 VirtDesk2;"
            "Pin 4 \0\0\0\0;Follow 4 \1\0\0\0;"s);
}

// A rule naming a missing desktop is marked; Up, Down and Delete store the new order at once.
TEST_F(RulesDialog, MovesAndDeletesRenumberTheStoredRules) {
  ASSERT_TRUE(SaveRules(
      h.store,
      {{"a.exe", "", "", "VirtDesk1"}, {"b.exe", "", "", "Gone"}, {"c.exe", "", "", "", true}}));
  Script script;
  script.When("the rules shown", Shown(kRulesTitle), [this] {
    EXPECT_EQ(Rows(), (Strings{"a.exe|||VirtDesk1|", "(never acts) b.exe|||Gone|",
                               "c.exe|||every desktop|"}));
    Press(2, IDC_UP);
    EXPECT_EQ(LoadRules(h.store).at(1).program, "c.exe");
    Press(1, IDC_DOWN);
    EXPECT_EQ(LoadRules(h.store).at(2).program, "c.exe");
    Press(0, IDC_DELETE);
    EXPECT_FALSE(h.store.HasKey(std::string(rules::kKey) + "\\3"));
    EXPECT_EQ(Rows(), (Strings{"(never acts) b.exe|||Gone|", "c.exe|||every desktop|"}));
    Close(modal_probe::FindDialog(kRulesTitle));
  });
  CRulesDlg rules(&h.app());
  EXPECT_TRUE(script.Run([&] { rules.DoModal(); }));
}

}  // namespace
}  // namespace dialog_test
