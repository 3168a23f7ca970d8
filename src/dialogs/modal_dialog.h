#pragma once

#include <windows.h>

#include <vector>

#include "dialogs/dialog_controls.h"

// A dialog template of the program's own module run modally. With no parent given, the thread's
// active window (the dialog that opened this one, say) becomes the owner and stays disabled until
// this one ends. The static dialog procedure finds the object through the window's user slot,
// bound at WM_INITDIALOG, and hands each message it knows to a virtual handler; the rest goes to
// the dialog manager.
class ModalDialog {
 public:
  explicit ModalDialog(int templateId, HWND parent = nullptr)
      : templateId_(templateId), parent_(parent) {}
  virtual ~ModalDialog() = default;
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  // The value handed to EndDialog, or -1 when the dialog could not be created.
  INT_PTR DoModal();

  // The dialog's window while it runs; null before and after.
  HWND Window() const { return window_; }

 protected:
  // Attaches the controls to their member objects (Bind); runs before OnInitDialog.
  virtual void BindControls() {}
  // TRUE lets the dialog manager put the focus on the first tab stop.
  virtual BOOL OnInitDialog() { return TRUE; }
  // True when the handler painted; false leaves WM_PAINT to the dialog manager.
  virtual bool OnPaint() { return false; }
  // Commands other than OK and Cancel; true when handled.
  virtual bool OnCommand(WORD id, WORD notifyCode, HWND control);
  // A notification no bound control took for itself; true when handled, with its answer.
  virtual bool OnNotify(NMHDR* header, LRESULT* result);
  // True keeps the dialog open; false lets the dialog manager turn WM_CLOSE into Cancel.
  virtual bool OnClose() { return false; }
  // The OK command (the OK button, or Enter) and the Cancel command (Cancel, Esc, the close box).
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }

  void Bind(int id, DialogControl& control);
  void EndDialog(INT_PTR result);
  HWND Item(int id) const { return GetDlgItem(window_, id); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  BOOL InitDialog();
  bool RouteCommand(WORD id, WORD notifyCode, HWND control);
  INT_PTR RouteNotify(NMHDR* header);
  void Detach();
  HWND ChooseOwner() const;
  void CenterIfNotMoved(const RECT& before);

  int templateId_;
  HWND parent_;
  HWND owner_ = nullptr;
  HWND window_ = nullptr;
  std::vector<DialogControl*> bound_;
};
