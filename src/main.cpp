// The program's entry point. The platform and the application object are statics of this one
// translation unit, in this order: the application is built after the platform and destroyed
// before it, so its destructor (the shutdown, run on every orderly end through exit) still finds
// every platform service alive.
#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <cstdlib>

#include "app/virtual_desk_app.h"
#include "platform/win32/win32_platform.h"

namespace {
Win32Platform g_platform;
}  // namespace

static CVirtualDeskApp theApp(g_platform.Get());

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The notice's tooltip and the dialogs' list-view and hot-key controls are common controls.
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
  return theApp.InitInstance();
}

// The library's default handler for an uncaught exception demangles the type's name for a
// console the program does not have, and the demangler alone adds some 50 KB to the file.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx
