#pragma once

#include <string>

#include "app/platform.h"
#include "platform/win32/scoped_file_handle.h"

// The program's own process: paths, the single-instance lock file, sleeping and exiting.
class Win32Process : public ProcessServices {
 public:
  Win32Process() = default;
  Win32Process(Win32Process&&) = default;
  Win32Process& operator=(Win32Process&&) = default;

  std::string ModulePath() override;
  bool TempDirectory(std::string* dir) override;
  bool OpenLockFile(const std::string& path) override;
  void CloseLockFile() override;
  bool TakeSessionLock() override;
  void ReleaseSessionLock() override;
  std::uint32_t SessionId() override;
  void Pause(unsigned milliseconds) override;
  [[noreturn]] void Exit(int code) override;
  std::string ToUtf8(const std::string& text) override;

  bool HoldsLockFile() const { return lock_.IsValid(); }

 private:
  ScopedFileHandle lock_;
  ScopedFileHandle sessionLock_;  // the mutex
};
