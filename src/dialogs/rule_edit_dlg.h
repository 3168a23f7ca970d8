#pragma once

#include <windows.h>

#include <vector>

#include "dialogs/dialog_controls.h"
#include "dialogs/list_controls.h"
#include "dialogs/modal_dialog.h"
#include "res/resource.h"
#include "rules/rule_rows.h"
#include "rules/window_rules.h"

class CVirtualDeskApp;

// One rule's three patterns, where the window goes and whether the view follows. It stores
// nothing itself: OK hands the rule back through Rule() and the rules dialog stores it.
class CRuleEditDlg : public ModalDialog {
 public:
  CRuleEditDlg(CVirtualDeskApp* app, const WindowRule& rule, HWND parent = nullptr);
  const WindowRule& Rule() const { return m_rule; }

 protected:
  void BindControls() override;
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
  void OnOK() override;

 private:
  void FillDesktops();
  void FillOpenWindows();
  void TakeOpenWindow();
  DropDown From() const { return DropDown(Item(IDC_RULE_FROM)); }
  DropDown Desktops() const { return DropDown(Item(IDC_RULE_DESKTOP)); }

  CVirtualDeskApp* m_pApp;
  WindowRule m_rule;
  std::vector<OpenWindow> m_windows;
  EditField m_editProgram;
  EditField m_editClass;
  EditField m_editTitle;
  CheckBox m_chkFollow;
};
