#include "dialogs/modal_dialog.h"

#include <algorithm>

#include "platform/win32/common_controls.h"

namespace {

// The program's dialogs that are open now. Each runs its own modal loop, and a loop hands the
// dialog keys (Tab, Enter, Esc, the arrows) only to its own dialog: with two of ours open, the
// one whose loop is not innermost would ignore them. A message filter sees every message those
// loops take and hands a key to whichever of our dialogs it is for.
std::vector<HWND> g_openDialogs;
HHOOK g_keyFilter = nullptr;
int g_modalLoops = 0;
bool g_routingKey = false;

bool IsOpenDialog(HWND window) {
  return std::find(g_openDialogs.begin(), g_openDialogs.end(), window) != g_openDialogs.end();
}

LRESULT CALLBACK RouteDialogKeys(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  bool fromDialogLoop = code == MSGF_DIALOGBOX || code == MSGF_MESSAGEBOX;
  if (fromDialogLoop && !g_routingKey && message->hwnd != nullptr &&
      message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST) {
    HWND dialog = GetAncestor(message->hwnd, GA_ROOT);
    if (IsOpenDialog(dialog)) {
      g_routingKey = true;  // IsDialogMessage asks this filter again
      BOOL handled = IsDialogMessageA(dialog, message);
      g_routingKey = false;
      if (handled) return TRUE;
    }
  }
  return CallNextHookEx(g_keyFilter, code, wParam, lParam);
}

// The filter lives while any of our modal loops runs.
void EnterModalLoop() {
  if (g_modalLoops++ == 0)
    g_keyFilter = SetWindowsHookExA(WH_MSGFILTER, RouteDialogKeys, nullptr, GetCurrentThreadId());
}
void LeaveModalLoop() {
  if (--g_modalLoops == 0 && g_keyFilter != nullptr) {
    UnhookWindowsHookEx(g_keyFilter);
    g_keyFilter = nullptr;
  }
}

}  // namespace

INT_PTR ModalDialog::DoModal() {
  LoadCommonControls();
  owner_ = ChooseOwner();
  LPARAM self = reinterpret_cast<LPARAM>(this);
  EnterModalLoop();
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner_,
                                   DialogProc, self);
  LeaveModalLoop();
  return result;
}

// A dialog opened with no parent belongs to whatever window of this thread is active: a dialog
// opened from another one then keeps its opener disabled until it ends.
HWND ModalDialog::ChooseOwner() const {
  HWND owner = parent_ != nullptr ? parent_ : GetActiveWindow();
  return owner != nullptr ? GetAncestor(owner, GA_ROOT) : nullptr;
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    reinterpret_cast<ModalDialog*>(lParam)->window_ = window;
    g_openDialogs.push_back(window);
  }
  // WM_SETFONT and the like arrive before WM_INITDIALOG, when nothing is bound yet.
  auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  if (self == nullptr) return FALSE;
  INT_PTR handled = self->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, DWLP_USER, 0);
    self->Detach();
  }
  return handled;
}

INT_PTR ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return InitDialog();
    case WM_PAINT:
      return OnPaint() ? TRUE : FALSE;
    case WM_COMMAND:
      return RouteCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
      return RouteNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CLOSE:
      return OnClose() ? TRUE : FALSE;
    default:
      return FALSE;
  }
}

BOOL ModalDialog::InitDialog() {
  RECT before = {};
  GetWindowRect(window_, &before);
  BindControls();
  BOOL focus = OnInitDialog();
  CenterIfNotMoved(before);
  // Opened from the notification area, the program is not the foreground one yet; a dialog of
  // its own that came up behind, inactive, would not take the keys the user types next.
  if (owner_ == nullptr) SetForegroundWindow(window_);
  return focus;
}

bool ModalDialog::RouteCommand(WORD id, WORD notifyCode, HWND control) {
  if (id == IDOK) {
    OnOK();
  } else if (id == IDCANCEL) {
    OnCancel();
  } else {
    return OnCommand(id, notifyCode, control);
  }
  return true;
}

// A control's own notifications go back to its object first, the way the list draws its items;
// the answer travels in the dialog's message result.
INT_PTR ModalDialog::RouteNotify(NMHDR* header) {
  LRESULT result = 0;
  bool handled = false;
  for (DialogControl* control : bound_) {
    if (control->Handle() == header->hwndFrom) {
      handled = control->OnReflectedNotify(header, &result);
      break;
    }
  }
  if (!handled) handled = OnNotify(header, &result);
  if (!handled) return FALSE;
  SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
  return TRUE;
}

bool ModalDialog::OnCommand(WORD, WORD, HWND) {
  return false;
}

bool ModalDialog::OnNotify(NMHDR*, LRESULT*) {
  return false;
}

void ModalDialog::Bind(int id, DialogControl& control) {
  control.Attach(Item(id));
  bound_.push_back(&control);
}

void ModalDialog::Detach() {
  g_openDialogs.erase(std::remove(g_openDialogs.begin(), g_openDialogs.end(), window_),
                      g_openDialogs.end());
  for (DialogControl* control : bound_) control->Detach();
  bound_.clear();
  window_ = nullptr;
}

// The templates leave the position at 0, 0: a box its handler did not move opens over its owner
// when that is visible, otherwise in the middle of its monitor's work area, and never off it.
void ModalDialog::CenterIfNotMoved(const RECT& before) {
  RECT now = {};
  GetWindowRect(window_, &now);
  if (now.left != before.left || now.top != before.top) return;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  RECT around = work;
  if (owner_ != nullptr && IsWindowVisible(owner_) && !IsIconic(owner_))
    GetWindowRect(owner_, &around);
  LONG width = now.right - now.left;
  LONG height = now.bottom - now.top;
  LONG x = around.left + (around.right - around.left - width) / 2;
  LONG y = around.top + (around.bottom - around.top - height) / 2;
  x = std::max(work.left, std::min(x, work.right - width));
  y = std::max(work.top, std::min(y, work.bottom - height));
  SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ModalDialog::EndDialog(INT_PTR result) {
  ::EndDialog(window_, result);
}
