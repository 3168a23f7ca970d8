#include "platform/win32/common_controls.h"

#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

void LoadCommonControls() {
  static bool loaded = false;
  if (loaded) return;
  loaded = true;
  // Kept loaded for the rest of the run: the controls' classes live in it.
  HMODULE library = LoadLibraryA("comctl32.dll");
  if (library == nullptr) return;
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = reinterpret_cast<InitFunction>(
      reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
  if (init == nullptr) return;
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES;
  init(&controls);
}
