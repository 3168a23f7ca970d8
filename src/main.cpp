// The program's entry point. The platform and the application object are statics of this one
// translation unit, in this order: the application is built after the platform and destroyed
// before it, so its destructor (the shutdown, run on every orderly end through exit) still finds
// every platform service alive.
#include <windows.h>

#include <cstdlib>

#include "app/virtual_desk_app.h"
#include "platform/win32/win32_crash_guard.h"
#include "platform/win32/win32_platform.h"

namespace {
Win32Platform g_platform;
}  // namespace

static CVirtualDeskApp theApp(g_platform.Get());

// The common controls are loaded when the notice or a dialog first needs them.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InstallCrashGuard(&theApp);
  return theApp.InitInstance();
}

// The library's default handler for an uncaught exception demangles the type's name for a
// console the program does not have, and the demangler alone adds some 50 KB to the file.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx
