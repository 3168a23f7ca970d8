#include "platform/win32/win32_crash_guard.h"

#include <windows.h>

#include <cstdlib>
#include <exception>

namespace {

HiddenWindowRescue* g_rescue = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;
std::terminate_handler g_previousTerminate = nullptr;
volatile LONG g_rescued = 0;

// Once only: a fault inside the rescue itself comes back here, and then only the old way is left.
void RescueOnce() {
  if (InterlockedExchange(&g_rescued, 1) == 0 && g_rescue != nullptr) {
    g_rescue->ShowHiddenWindowsNow();
  }
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
  RescueOnce();
  return g_previousFilter != nullptr ? g_previousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}

void OnTerminate() {
  RescueOnce();
  if (g_previousTerminate != nullptr) g_previousTerminate();
  std::abort();
}

}  // namespace

void InstallCrashGuard(HiddenWindowRescue* rescue) {
  g_rescue = rescue;
  g_previousFilter = SetUnhandledExceptionFilter(OnUnhandledException);
  g_previousTerminate = std::set_terminate(OnTerminate);
}
