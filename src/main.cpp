// The program's entry point. The platform and the application object are statics of this one
// translation unit, in this order: the application is built after the platform and destroyed
// before it, so its destructor (the shutdown, run on every orderly end through exit) still finds
// every platform service alive.
#include <windows.h>

#include <string>
#include <vector>

#include "app/virtual_desk_app.h"
#include "commands/command_line.h"
#include "platform/win32/win32_command_client.h"
#include "platform/win32/win32_crash_guard.h"
#include "platform/win32/win32_platform.h"

namespace {
Win32Platform g_platform;

// Built only in the copy that stays resident: a client's exit then has no shutdown to run.
int RunResident() {
  static CVirtualDeskApp theApp(g_platform.Get());
  InstallCrashGuard(&theApp);
  return theApp.InitInstance();
}
}  // namespace

// The common controls are loaded when the notice or a dialog first needs them. An option as the
// first argument makes the program a client of the running copy; otherwise it is that copy (or
// the refused second).
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::vector<std::string> args(__argv + 1, __argv + __argc);
  if (AsksRunningCopy(args)) return RunCommandClient(args);
  return RunResident();
}
