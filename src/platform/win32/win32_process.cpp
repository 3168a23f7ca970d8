#include "platform/win32/win32_process.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/win32/win32_same_user.h"
#include "platform/win32/win32_text.h"

namespace {
constexpr DWORD kPathBuffer = 275;
}  // namespace

std::string Win32Process::ModulePath() {
  char buffer[kPathBuffer] = {};
  GetModuleFileNameA(nullptr, buffer, kPathBuffer);
  // Older systems leave a path that fills the buffer unterminated.
  return std::string(buffer, strnlen(buffer, kPathBuffer));
}

bool Win32Process::TempDirectory(std::string* dir) {
  std::vector<char> buffer(kPathBuffer, '\0');
  DWORD length = GetTempPathA(kPathBuffer, buffer.data());
  // A result larger than the buffer is the size it needs; the path may change between calls
  // (another thread setting TMP), so ask until it fits.
  while (length >= buffer.size()) {
    buffer.assign(length, '\0');
    length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  if (length == 0) return false;
  dir->assign(buffer.data(), length);
  return true;
}

bool Win32Process::OpenLockFile(const std::string& path) {
  lock_.Close();
  lock_ =
      ScopedFileHandle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS,
                                   FILE_FLAG_DELETE_ON_CLOSE | FILE_ATTRIBUTE_TEMPORARY, nullptr));
  return lock_.IsValid();
}

void Win32Process::CloseLockFile() {
  lock_.Close();
}

// "Local\\" is the session's namespace; the user's SID in the name keeps another user who runs
// a copy in the same session (with runas, say) from being refused by this one.
bool Win32Process::TakeSessionLock() {
  const std::string name = "Local\\veilswitcher.lock." + OwnUserSid();
  ScopedFileHandle mutex(CreateMutexA(nullptr, FALSE, name.c_str()));
  // Another copy's mutex, or one this user may not open: either way a copy holds it.
  if (!mutex.IsValid() || GetLastError() == ERROR_ALREADY_EXISTS) return false;
  sessionLock_ = std::move(mutex);
  return true;
}

void Win32Process::ReleaseSessionLock() {
  sessionLock_.Close();
}

std::uint32_t Win32Process::SessionId() {
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  return session;
}

void Win32Process::Pause(unsigned milliseconds) {
  Sleep(milliseconds);
}

void Win32Process::Exit(int code) {
  std::exit(code);
}

std::string Win32Process::ToUtf8(const std::string& text) {
  return AnsiToUtf8(text);
}
