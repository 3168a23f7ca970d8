#include "platform/win32/win32_dialog_runner.h"

#include "dialogs/about_dlg.h"
#include "dialogs/desktops_dlg.h"
#include "dialogs/more_dlg.h"

void Win32DialogRunner::RunAbout() {
  CAboutDlg about;
  about.DoModal();
}

void Win32DialogRunner::RunOptions(CVirtualDeskApp& app) {
  CDesktopsDlg options(&app);
  options.DoModal();
}

void Win32DialogRunner::RunMoreOptions(CVirtualDeskApp& app) {
  CMoreOptionsDlg more(&app);
  more.DoModal();
}
