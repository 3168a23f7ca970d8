#pragma once

#include <cstdint>

#include "core_types.h"

// The four global options, in the order the options dialog receives and returns them.
struct OptionsBlock {
  HotkeyCode prevHotkey = 0;
  HotkeyCode nextHotkey = 0;
  std::uint8_t showNotice = 0;
  std::uint8_t startAtLogon = 0;
};

// Where the settings code reports: a fatal failure ends the process and does not come back.
class FailureReporter {
 public:
  virtual ~FailureReporter() = default;
  [[noreturn]] virtual void FatalError(const char* text) = 0;
  virtual int ShowError(const char* text) = 0;
};
