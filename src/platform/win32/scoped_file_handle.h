#pragma once

#include <windows.h>

// Owns one kernel handle; both null and INVALID_HANDLE_VALUE mean "none". Move-only, so that a
// handle is closed exactly once.
class ScopedFileHandle {
 public:
  ScopedFileHandle() = default;
  explicit ScopedFileHandle(HANDLE h) : handle_(h) {}
  ~ScopedFileHandle() { Close(); }
  ScopedFileHandle(const ScopedFileHandle&) = delete;
  ScopedFileHandle& operator=(const ScopedFileHandle&) = delete;
  ScopedFileHandle(ScopedFileHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedFileHandle& operator=(ScopedFileHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = other.Release();
    }
    return *this;
  }

  bool IsValid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (IsValid()) CloseHandle(handle_);
    handle_ = nullptr;
  }
  HANDLE Release() {
    HANDLE h = handle_;
    handle_ = nullptr;
    return h;
  }

 private:
  HANDLE handle_ = nullptr;
};
