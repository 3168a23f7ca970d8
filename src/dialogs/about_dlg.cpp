#include "dialogs/about_dlg.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg() : ModalDialog(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog() {
  m_editText = Item(IDC_ABOUT_TEXT);
  return ModalDialog::OnInitDialog();
}

bool CAboutDlg::OnPaint() {
  PAINTSTRUCT paint;
  BeginPaint(Window(), &paint);
  SetWindowTextA(m_editText, kAboutThanksText);
  EndPaint(Window(), &paint);
  return true;
}
