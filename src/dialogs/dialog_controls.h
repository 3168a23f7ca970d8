#pragma once

#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <cstdint>
#include <string>

// Pixels at 96 DPI in pixels at the screen's DPI, which the dialog manager sizes the dialogs for.
int ScreenPixels(int at96);

// A control of a running dialog, attached to its window when the dialog opens and detached when
// the dialog's window goes. Every call on a detached control does nothing.
class DialogControl {
 public:
  DialogControl() = default;
  virtual ~DialogControl() = default;
  DialogControl(const DialogControl&) = delete;
  DialogControl& operator=(const DialogControl&) = delete;

  HWND Handle() const { return window_; }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  void Attach(HWND window);
  void Detach() { window_ = nullptr; }
  // A notification this control sent its dialog, handed back to it first; true when it answered.
  virtual bool OnReflectedNotify(NMHDR*, LRESULT*) { return false; }

 protected:
  // Runs once the window is attached: the place to prepare what the control needs for its life.
  virtual void OnAttach() {}

 private:
  HWND window_ = nullptr;
};

class CheckBox : public DialogControl {
 public:
  std::uint8_t GetCheck() const { return static_cast<std::uint8_t>(Send(BM_GETCHECK)); }
  void SetCheck(std::uint8_t state) const { Send(BM_SETCHECK, state); }
};

// The hot-key control's value: HOTKEYF_ flags in the high byte, the virtual key in the low byte.
class HotkeyField : public DialogControl {
 public:
  WORD GetHotKey() const { return static_cast<WORD>(Send(HKM_GETHOTKEY)); }
  void SetHotKey(WORD value) const { Send(HKM_SETHOTKEY, value); }
};

class EditField : public DialogControl {
 public:
  void LimitText(int chars) const { Send(EM_LIMITTEXT, static_cast<WPARAM>(chars)); }
  void SetText(const char* text) const { SetWindowTextA(Handle(), text); }
};

// The first line of an edit control, read the way a 16-byte name buffer can hold it: never more
// than `maxChars` characters, however much text the control holds.
std::string ReadShortLine(HWND edit, int maxChars);
