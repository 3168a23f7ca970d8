#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "fakes/app_harness.h"
#include "shell/hotkey_code.h"

namespace vt {

// The stored layout, spelled out here rather than taken from the code under test.
constexpr const char* kOptionsKey = "Software\\veilswitcher";
constexpr const char* kDesksKey = "Software\\veilswitcher\\desks";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunValue = "veilswitcher.exe";
constexpr std::uint32_t kSz = 1, kBinary = 3, kMultiSz = 7;
constexpr std::uint32_t kAlt = 1, kCtrl = 2, kShift = 4;
constexpr std::uint32_t kLeft = 0x25, kRight = 0x27, kF1 = 0x70, kF2 = 0x71, kF3 = 0x72;
constexpr unsigned kMbOk = 0x0, kMbIconError = 0x10;
constexpr std::uint32_t kWmHotkey = 0x0312, kWmClose = 0x0010, kWmCreate = 0x0001,
                        kWmNcCreate = 0x0081;

using Value = FakeSettingsStore::Value;
using Values = std::vector<Value>;
using Strings = std::vector<std::string>;
using Ids = std::vector<WindowId>;
using Call = FakeWindowSystem::Call;
using Op = FakeSettingsStore::Op;

// Settings as a user who has run the program before would have them.
struct Stored {
  std::string prev = "1 37\n";
  std::string next = "1 39\n";
  std::string notice = std::string(1, '\0');
  bool logon = false;
  std::vector<std::pair<std::string, std::string>> desks = {
      {"One", "1 112\n"}, {"Two", "1 113\n"}, {"Three", "1 114\n"}};
};

inline void Seed(FakeSettingsStore& store, const Stored& s) {
  store.Seed(kOptionsKey, "NextDesk", kSz, s.next);
  store.Seed(kOptionsKey, "PrevDesk", kSz, s.prev);
  store.Seed(kOptionsKey, "ShowCurDeskMsg", kBinary, s.notice);
  store.SeedKey(kRunKey);
  if (s.logon) store.Seed(kRunKey, kRunValue, kSz, "C:\\old\\veilswitcher.exe");
  store.SeedKey(kDesksKey);
  for (const auto& d : s.desks) store.Seed(kDesksKey, d.first, kMultiSz, d.second);
}

// A running program over stored settings, its start-up already out of the logs.
class Running : public ::testing::Test {
 protected:
  void StartWith(const Stored& s = Stored()) {
    Seed(h.store, s);
    ASSERT_EQ(h.Start(), std::nullopt) << "start-up ended the process";
    h.timeline.Clear();
    h.windows.ClearLog();
    h.hotkeys.ClearLog();
  }
  static Stored WithNotice() {
    Stored s;
    s.notice = "\x01";
    return s;
  }
  AppHarness h;
};

}  // namespace vt
