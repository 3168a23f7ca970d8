#pragma once

#include <windows.h>

#include "platform/win32/win32_tray_shell.h"
#include "shell/tray_number.h"

// The number drawn at run time at the small-icon size the shell asks for at the current DPI,
// light digits on a dark taskbar and dark ones on a light taskbar. It owns the one icon it last
// drew and destroys it when it draws the next or gives the tray back its own icon.
class Win32TrayNumber : public TrayNumber {
 public:
  explicit Win32TrayNumber(Win32TrayShell& tray) : tray_(tray) {}
  ~Win32TrayNumber() override;
  Win32TrayNumber(const Win32TrayNumber&) = delete;
  Win32TrayNumber& operator=(const Win32TrayNumber&) = delete;

  void ShowNumber(int number, const char* desktopName) override;
  void ShowPlain() override;

  HICON Icon() const { return icon_; }  // the icon drawn last; null while the tray has its own

  // Draws `number` on a transparent square of `size` pixels; the caller destroys the icon.
  static HICON DrawNumber(int number, int size, bool lightTaskbar);
  // SystemUsesLightTheme under the user's Personalize key; a dark taskbar when it is missing.
  static bool TaskbarIsLight();

 private:
  Win32TrayShell& tray_;
  HICON icon_ = nullptr;
};
