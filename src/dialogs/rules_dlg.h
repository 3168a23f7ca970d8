#pragma once

#include <windows.h>

#include <vector>

#include "dialogs/list_controls.h"
#include "dialogs/modal_dialog.h"
#include "res/resource.h"
#include "rules/window_rules.h"

class CVirtualDeskApp;

// The window rules in the order they are tried. Like the desktops in the options dialog, every
// change is stored at once. The rules are read from the store again before each change: the
// options dialog may be open beside this one, and a desktop renamed there takes its rules along.
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
