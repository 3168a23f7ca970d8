#pragma once

#include <windows.h>
// shellapi.h builds on the types of windows.h.
#include <shellapi.h>

#include <vector>

#include "shell/tray_shell.h"

// The notification-area icon and its popup menu, with the shell's and USER32's own functions.
// The menus of the last build live until the next build or DestroyMenus.
class Win32TrayShell : public TrayShell {
 public:
  // The record's first layout (NOTIFYICONDATAA_V1_SIZE): the size the shell is handed, whatever
  // the headers' own structure has grown to.
  static constexpr DWORD kIconRecordSize = NOTIFYICONDATAA_V1_SIZE;

  Win32TrayShell();
  Win32TrayShell(const Win32TrayShell&) = delete;
  Win32TrayShell& operator=(const Win32TrayShell&) = delete;

  bool AddIcon(WindowId owner) override;
  void RemoveIcon() override;
  void TrackDesktopMenu(const DesktopMenuModel& model, WindowId owner) override;
  void DestroyMenus() override;
  std::uint32_t TaskbarCreatedMessage() override;
  void AddIconAgain() override;

  // Another picture and tip for the icon (NIM_MODIFY), kept in the record, so that an icon added
  // again after the shell restarts shows them too. The caller keeps owning `icon`.
  void ReplaceIcon(HICON icon, const char* tip);

  // Destroys the previous build's menus and builds the popup of `model` without showing it.
  HMENU BuildMenu(const DesktopMenuModel& model);

 private:
  void DestroySubmenus();
  void AppendDesktop(const DesktopSubmenu& desktop);
  static void AppendEntry(HMENU submenu, const MenuEntry& entry);

  NOTIFYICONDATAA record_;
  HMENU popup_ = nullptr;
  std::vector<HMENU> submenus_;  // one per desktop of the last build, in table order
};
