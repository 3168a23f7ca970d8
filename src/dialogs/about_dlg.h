#pragma once

#include <windows.h>

#include "dialogs/modal_dialog.h"

// The thanks text of the About box: CR LF lines, the names in two columns split by two tabs.
constexpr char kAboutThanksText[] =
    "For everyone who keeps too many windows open\r\n"
    "and still wants a tidy desk.\r\n"
    "\r\n"
    "With thanks to:\r\n"
    "nightowl\t\tdeskhopper\r\n"
    "tabjuggler\t\taltright\r\n"
    "windowsill\t\tquietkeys\r\n"
    "\r\n"
    "P.S. Every hidden window comes back when you quit.";

// The About box over template IDD_ABOUTBOX. It changes nothing in the program.
class CAboutDlg : public ModalDialog {
 public:
  CAboutDlg();

 protected:
  BOOL OnInitDialog() override;
  // Puts the whole thanks text back on every repaint, so whatever was typed into it lasts only
  // until then; the dialog manager draws everything else.
  bool OnPaint() override;

 private:
  HWND m_editText = nullptr;
};
