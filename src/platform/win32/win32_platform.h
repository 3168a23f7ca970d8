#pragma once

#include "app/platform.h"
#include "platform/win32/win32_dialog_runner.h"
#include "platform/win32/win32_hotkey_registrar.h"
#include "platform/win32/win32_message_boxes.h"
#include "platform/win32/win32_notice_tip.h"
#include "platform/win32/win32_process.h"
#include "platform/win32/win32_settings_store.h"
#include "platform/win32/win32_tray_number.h"
#include "platform/win32/win32_tray_shell.h"
#include "platform/win32/win32_window_events.h"
#include "platform/win32/win32_window_host.h"
#include "platform/win32/win32_window_system.h"

// Every platform service of the program, implemented with the system's own functions. It must
// outlive the application object, whose destructor still uses it.
struct Win32Platform {
  Win32WindowSystem windows;
  Win32SettingsStore store;
  Win32HotkeyRegistrar hotkeys;
  Win32NoticeTip notice;
  Win32MessageBoxes boxes;
  Win32Process process;
  Win32WindowHost host;
  Win32TrayShell tray;
  Win32DialogRunner dialogs;
  Win32TrayNumber trayNumber{tray};
  Win32WindowEvents events{host};

  Platform Get() {
    return Platform{windows, store, hotkeys, notice,     boxes, process,
                    host,    tray,  dialogs, trayNumber, events};
  }
};
