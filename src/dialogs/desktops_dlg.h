#pragma once

#include <windows.h>

#include "dialogs/desk_list_ctrl.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/modal_dialog.h"

class CVirtualDeskApp;

// The options dialog: the desktops (add, edit, delete, rename in place) and the four global
// options. Desktop changes act on the table at once; the options are handed back only when the
// dialog is closed with its close command. Esc and Enter end it without handing them back.
class CDesktopsDlg : public ModalDialog {
 public:
  explicit CDesktopsDlg(CVirtualDeskApp* app, HWND parent = nullptr);

 protected:
  void BindControls() override;
  BOOL OnInitDialog() override;
  bool OnPaint() override;
  bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT* result) override;
  bool OnClose() override;

 private:
  void FillDeskList();
  void ShowOptions();
  void OnAdd();
  void OnEdit();
  void OnDelete();
  void RunEditor(int desk);
  LRESULT OnBeginLabelEdit();
  LRESULT OnEndLabelEdit();

  CVirtualDeskApp* m_pApp;
  CheckBox m_chkAutostart;
  CheckBox m_chkShowNotice;
  HotkeyField m_hkNext;
  HotkeyField m_hkPrev;
  CDeskListCtrl m_listDesks;
  HICON m_hIcon;
};
