#pragma once

#include <cstdint>

#include "core_types.h"
#include "shell/desktop_menu.h"

// The notification-area icon and the popup menu it opens.
class TrayShell {
 public:
  virtual ~TrayShell() = default;
  // Shell_NotifyIconA(NIM_ADD) with the 88-byte record: id 0, callback WM_USER + 1, icon 128,
  // tip "veilswitcher", notifications to `owner`. False when the shell refuses it.
  virtual bool AddIcon(WindowId owner) = 0;
  // Shell_NotifyIconA(NIM_DELETE) with the same record; does nothing useful if never added.
  virtual void RemoveIcon() = 0;
  // RegisterWindowMessageA("TaskbarCreated"): what the shell broadcasts when it has made its
  // taskbar anew, without the icons it held.
  virtual std::uint32_t TaskbarCreatedMessage() = 0;
  // Shell_NotifyIconA(NIM_ADD) again with the record AddIcon filled; nothing before AddIcon.
  virtual void AddIconAgain() = 0;
  // Destroys every menu of the previous build, builds the popup from `model` and tracks it at the
  // cursor with `owner` in the foreground; a chosen item reaches `owner` as WM_COMMAND after the
  // menu has closed.
  virtual void TrackDesktopMenu(const DesktopMenuModel& model, WindowId owner) = 0;
  virtual void DestroyMenus() = 0;  // every menu of the last build
};
