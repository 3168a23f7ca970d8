#include "platform/win32/win32_dialog_runner.h"

#include "dialogs/about_dlg.h"

void Win32DialogRunner::RunAbout() {
  CAboutDlg about;
  about.DoModal();
}

void Win32DialogRunner::RunOptions(CVirtualDeskApp&) {
  // The options dialog is not built yet; the caller's guard and save already work around this.
}
