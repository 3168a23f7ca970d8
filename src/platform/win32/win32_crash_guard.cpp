#include "platform/win32/win32_crash_guard.h"

#include <windows.h>

#include <csignal>
#include <cstdlib>
#include <exception>

namespace {

// What the rescue may use once the stack has overflowed: it shows a window per call, a few
// kilobytes deep inside the system, and the exception's own records come first.
constexpr ULONG kRescueStackBytes = 64 * 1024;

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

// Vectored handlers run before any frame's handler and before the filter, while the stack kept
// in reserve is still unused: by the time the filter ran, the search for a handler through every
// frame might have used it up.
LONG WINAPI OnFirstChance(EXCEPTION_POINTERS* info) {
  if (info->ExceptionRecord->ExceptionCode == EXCEPTION_STACK_OVERFLOW) RescueOnce();
  return EXCEPTION_CONTINUE_SEARCH;
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

// abort() raises SIGABRT and, when the handler returns, ends the process with exit code 3; no
// exception is raised, so neither the filter nor the vectored handler hears of it.
void OnAbort(int) {
  RescueOnce();
}

}  // namespace

void InstallCrashGuard(HiddenWindowRescue* rescue) {
  g_rescue = rescue;
  ULONG reserve = kRescueStackBytes;
  SetThreadStackGuarantee(&reserve);
  AddVectoredExceptionHandler(1, OnFirstChance);
  g_previousFilter = SetUnhandledExceptionFilter(OnUnhandledException);
  g_previousTerminate = std::set_terminate(OnTerminate);
  // The runtime's abort() would first wait on a message box for a program with no console.
  _set_error_mode(_OUT_TO_STDERR);
  std::signal(SIGABRT, OnAbort);
}
