// The program's entry point. The platform and the application object are statics of this one
// translation unit, in this order: the application is built after the platform and destroyed
// before it, so its destructor (the shutdown, run on every orderly end through exit) still finds
// every platform service alive.
#include <windows.h>

#include <cstdlib>
#include <exception>
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

// The library's default handler for an uncaught exception demangles the type's name for a
// console the program does not have, and the demangler alone adds some 50 KB to the file.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx

// The library's helpers that throw its standard exceptions: the program catches none, so what
// they report ends it through the terminate handler either way (the crash guard's, which shows
// the hidden windows first); the exception classes they would build bring a second
// implementation of std::string along, some 45 KB.
namespace std {
[[noreturn]] void __throw_bad_alloc() {
  std::terminate();
}
[[noreturn]] void __throw_bad_array_new_length() {
  std::terminate();
}
[[noreturn]] void __throw_bad_cast() {
  std::terminate();
}
[[noreturn]] void __throw_bad_typeid() {
  std::terminate();
}
[[noreturn]] void __throw_bad_exception() {
  std::terminate();
}
[[noreturn]] void __throw_bad_function_call() {
  std::terminate();
}
[[noreturn]] void __throw_logic_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_domain_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_invalid_argument(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_length_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_out_of_range(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
  std::terminate();
}
[[noreturn]] void __throw_runtime_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_range_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_overflow_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_underflow_error(const char*) {
  std::terminate();
}
[[noreturn]] void __throw_system_error(int) {
  std::terminate();
}
}  // namespace std
