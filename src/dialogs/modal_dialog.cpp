#include "dialogs/modal_dialog.h"

INT_PTR ModalDialog::DoModal() {
  LPARAM self = reinterpret_cast<LPARAM>(this);
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), nullptr,
                         DialogProc, self);
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    reinterpret_cast<ModalDialog*>(lParam)->window_ = window;
  }
  // WM_SETFONT and the like arrive before WM_INITDIALOG, when nothing is bound yet.
  auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  if (self == nullptr) return FALSE;
  INT_PTR handled = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, DWLP_USER, 0);
    self->window_ = nullptr;
  }
  return handled;
}

INT_PTR ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      RECT before = {};
      GetWindowRect(window_, &before);
      BOOL focus = OnInitDialog();
      CenterIfNotMoved(before);
      return focus;
    }
    case WM_PAINT:
      return OnPaint() ? TRUE : FALSE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE
                                                                                       : FALSE;
    default:
      return FALSE;
  }
}

// The templates leave the position at 0, 0: a box its handler did not move opens in the middle of
// its monitor's work area, since it has no owner to be centred over.
void ModalDialog::CenterIfNotMoved(const RECT& before) {
  RECT now = {};
  GetWindowRect(window_, &now);
  if (now.left != before.left || now.top != before.top) return;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  int x = work.left + (work.right - work.left - (now.right - now.left)) / 2;
  int y = work.top + (work.bottom - work.top - (now.bottom - now.top)) / 2;
  SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ModalDialog::OnCommand(WORD id, WORD, HWND) {
  if (id != IDOK && id != IDCANCEL) return false;
  EndDialog(id);
  return true;
}

void ModalDialog::EndDialog(INT_PTR result) {
  ::EndDialog(window_, result);
}
