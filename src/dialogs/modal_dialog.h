#pragma once

#include <windows.h>

// A dialog template of the program's own module run modally with no owner window. The static
// dialog procedure finds the object through the window's user slot, bound at WM_INITDIALOG, and
// hands each message it knows to a virtual handler; the rest goes to the dialog manager.
class ModalDialog {
 public:
  explicit ModalDialog(int templateId) : templateId_(templateId) {}
  virtual ~ModalDialog() = default;
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  // The value handed to EndDialog, or -1 when the dialog could not be created.
  INT_PTR DoModal();

  // The dialog's window while it runs; null before and after.
  HWND Window() const { return window_; }

 protected:
  // TRUE lets the dialog manager put the focus on the first tab stop.
  virtual BOOL OnInitDialog() { return TRUE; }
  // True when the handler painted; false leaves WM_PAINT to the dialog manager.
  virtual bool OnPaint() { return false; }
  // OK and Cancel (Enter and Esc included) end the dialog with their own number.
  virtual bool OnCommand(WORD id, WORD notifyCode, HWND control);

  void EndDialog(INT_PTR result);
  HWND Item(int id) const { return GetDlgItem(window_, id); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CenterIfNotMoved(const RECT& before);

  int templateId_;
  HWND window_ = nullptr;
};
