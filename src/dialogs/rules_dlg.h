#pragma once

#include <windows.h>

#include <vector>

#include "dialogs/list_controls.h"
#include "dialogs/modal_dialog.h"
#include "res/resource.h"
#include "rules/window_rules.h"

class CVirtualDeskApp;

// The window rules in the order they are tried. Like the desktops in the options dialog, every
// change is stored at once; the rules are read back from the store before each one, so a rename
// of a desktop made meanwhile in the options dialog is never written over.
class CRulesDlg : public ModalDialog {
 public:
  explicit CRulesDlg(CVirtualDeskApp* app, HWND parent = nullptr);

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD notifyCode, HWND control) override;

 private:
  void Fill(int select);
  int SelectedRule();
  bool RunEditor(WindowRule* rule);
  void Store(int select);
  void OnAdd();
  void OnEdit();
  void OnDelete();
  void OnMove(int step);

  ReportList List() const { return ReportList(Item(IDC_RULE_LIST)); }

  CVirtualDeskApp* m_pApp;
  std::vector<WindowRule> m_rules;  // as stored when last read
};
