#pragma once

#include <windows.h>

#include "core_types.h"
#include "dialogs/dialog_controls.h"
#include "dialogs/modal_dialog.h"

class CVirtualDeskApp;

// Gives one desktop a name and a hotkey, or creates desktop N + 1 by the first name it sets. It
// keeps nothing of its own: the table fills its fields on every paint and takes them back at OK.
class CDeskEditDlg : public ModalDialog {
 public:
  CDeskEditDlg(CVirtualDeskApp* app, DesktopNumber n, HWND parent = nullptr);

 protected:
  void BindControls() override;
  bool OnPaint() override;
  void OnOK() override;

 private:
  EditField m_editName;
  HotkeyField m_hkDesk;
  CVirtualDeskApp* m_pApp;
  DesktopNumber m_nDesk;
};
