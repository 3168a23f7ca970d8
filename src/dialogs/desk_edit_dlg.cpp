#include "dialogs/desk_edit_dlg.h"

#include <string>

#include "app/virtual_desk_app.h"
#include "res/resource.h"
#include "shell/hotkey_code.h"

CDeskEditDlg::CDeskEditDlg(CVirtualDeskApp* app, DesktopNumber n, HWND parent)
    : ModalDialog(IDD_DESK_EDIT, parent), m_pApp(app), m_nDesk(n) {}

void CDeskEditDlg::BindControls() {
  Bind(IDC_DESK_NAME, m_editName);
  Bind(IDC_DESK_HOTKEY, m_hkDesk);
}

// Every repaint shows the stored values again, replacing whatever was typed since.
bool CDeskEditDlg::OnPaint() {
  PAINTSTRUCT paint;
  BeginPaint(Window(), &paint);
  m_hkDesk.SetHotKey(HotkeyToControl(m_pApp->GetDesktopHotkey(m_nDesk)));
  m_editName.LimitText(DesktopInfo::kMaxNameChars);
  const char* name = m_pApp->GetDesktopName(m_nDesk);
  m_editName.SetText(name != nullptr ? name : "");
  EndPaint(Window(), &paint);
  return true;
}

// The name goes first and stays even when the hotkey is refused; an empty hot-key control keeps
// the desktop's hotkey, and a refused one is not reported.
void CDeskEditDlg::OnOK() {
  WORD value = m_hkDesk.GetHotKey();
  HotkeyCode code = HotkeyFromControl(value);
  std::string name = ReadShortLine(m_editName.Handle(), DesktopInfo::kMaxNameChars);
  if (name.empty()) {
    m_pApp->ShowInfo("Type desktop name.");
    return;
  }
  if (!m_pApp->SetDesktopName(m_nDesk, name.c_str())) {
    m_pApp->ShowInfo("This desktop name allready exist.");
    return;
  }
  if (value != 0) m_pApp->SetDesktopHotkey(m_nDesk, code);
  ModalDialog::OnOK();
}
