#include "dialogs/more_dlg.h"

#include <string>

#include "app/virtual_desk_app.h"
#include "dialogs/rules_dlg.h"
#include "res/resource.h"
#include "shell/hotkey_code.h"

// A shared icon from LoadIcon: never destroyed.
CMoreOptionsDlg::CMoreOptionsDlg(CVirtualDeskApp* app, HWND parent)
    : ModalDialog(IDD_MORE, parent),
      m_pApp(app),
      m_hIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN))) {}

void CMoreOptionsDlg::BindControls() {
  Bind(IDC_SEND_NEXT_HOTKEY, m_hkSendNext);
  Bind(IDC_SEND_PREV_HOTKEY, m_hkSendPrev);
  Bind(IDC_PIN_HOTKEY, m_hkPin);
  Bind(IDC_LAST_HOTKEY, m_hkLast);
  Bind(IDC_SHIFT_SENDS, m_chkShiftSends);
  Bind(IDC_SEND_FOLLOWS, m_chkSendFollows);
  Bind(IDC_WRAP_AROUND, m_chkWrapAround);
  Bind(IDC_TRAY_NUMBER, m_chkTrayNumber);
}

BOOL CMoreOptionsDlg::OnInitDialog() {
  SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  const MoreOptions more = m_pApp->GetMoreOptions();
  m_hkSendNext.SetHotKey(HotkeyToControl(more.sendNext));
  m_hkSendPrev.SetHotKey(HotkeyToControl(more.sendPrev));
  m_hkPin.SetHotKey(HotkeyToControl(more.pinWindow));
  m_hkLast.SetHotKey(HotkeyToControl(more.lastDesk));
  m_chkShiftSends.SetCheck(more.shiftSends ? 1 : 0);
  m_chkSendFollows.SetCheck(more.sendFollows ? 1 : 0);
  m_chkWrapAround.SetCheck(more.wrapAround ? 1 : 0);
  m_chkTrayNumber.SetCheck(more.trayNumber ? 1 : 0);
  const std::string inactive = m_pApp->InactiveHotkeys();
  const std::string line = inactive.empty() ? "Every hotkey is active."
                                            : "Not active now (taken elsewhere): " + inactive + ".";
  SetDlgItemTextA(Window(), IDC_INACTIVE, line.c_str());
  return TRUE;
}

bool CMoreOptionsDlg::OnCommand(WORD id, WORD notifyCode, HWND) {
  if (id != IDC_RULES || notifyCode != BN_CLICKED) return false;
  OpenRules();
  return true;
}

// This dialog stays open, and counted as open, underneath: hotkeys do nothing meanwhile. A click
// that reaches the disabled button anyway (a queued one) opens no second rules dialog.
void CMoreOptionsDlg::OpenRules() {
  if (m_bRulesOpen) return;
  m_bRulesOpen = true;
  CRulesDlg rules(m_pApp);
  rules.DoModal();
  m_bRulesOpen = false;
  m_pApp->RulesChanged();
}

// A hotkey that cannot be registered is left out, never an error: nothing here is refused.
bool CMoreOptionsDlg::OnClose() {
  MoreOptions more;
  more.sendNext = HotkeyFromControl(m_hkSendNext.GetHotKey());
  more.sendPrev = HotkeyFromControl(m_hkSendPrev.GetHotKey());
  more.pinWindow = HotkeyFromControl(m_hkPin.GetHotKey());
  more.lastDesk = HotkeyFromControl(m_hkLast.GetHotKey());
  more.shiftSends = m_chkShiftSends.GetCheck() != 0;
  more.sendFollows = m_chkSendFollows.GetCheck() != 0;
  more.wrapAround = m_chkWrapAround.GetCheck() != 0;
  more.trayNumber = m_chkTrayNumber.GetCheck() != 0;
  m_pApp->ApplyMoreOptions(more);
  return false;
}
