#pragma once

#include <windows.h>

#include "dialogs/dialog_controls.h"
#include "dialogs/modal_dialog.h"

class CVirtualDeskApp;

// The extras: four hotkeys and four switches, and a line naming the hotkeys that are not active
// now. Like the options dialog, its close box applies and saves; Esc and Enter drop the changes.
class CMoreOptionsDlg : public ModalDialog {
 public:
  explicit CMoreOptionsDlg(CVirtualDeskApp* app, HWND parent = nullptr);

 protected:
  void BindControls() override;
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
  bool OnClose() override;

 private:
  void OpenRules();

  CVirtualDeskApp* m_pApp;
  bool m_bRulesOpen = false;
  HotkeyField m_hkSendNext;
  HotkeyField m_hkSendPrev;
  HotkeyField m_hkPin;
  HotkeyField m_hkLast;
  CheckBox m_chkShiftSends;
  CheckBox m_chkSendFollows;
  CheckBox m_chkWrapAround;
  CheckBox m_chkTrayNumber;
  HICON m_hIcon;
};
