#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core_types.h"
#include "desktops/desktop_table.h"
#include "desktops/window_system.h"
#include "settings/settings_store.h"

namespace journal {
// Beside the settings, not below the desktops key: saving deletes that key, and a key that holds
// a subkey cannot be deleted. Volatile, so it goes at logoff, when its handles mean nothing.
constexpr const char* kParentKey = "Software\\veilswitcher";
constexpr const char* kKey = "Software\\veilswitcher\\hidden";
// Each session's copy keeps its own journal in a subkey named by the session's number, so that
// copies of one user in two sessions never take each other's windows.
std::string SessionKey(std::uint32_t session);
constexpr const char* kValue = "windows";
// The most the journal reads back; a longer one is ignored, so it is never written longer. With
// names of at most 255 and classes of at most 256 characters it holds 2,000 windows whatever
// their names.
constexpr std::uint32_t kCapacity = 1024 * 1024;
}  // namespace journal

// One window the program holds hidden, with what recognises it after the program has gone.
struct JournalRecord {
  WindowId window = 0;
  std::uint32_t process = 0;
  DesktopNumber desktop = 0;
  std::string desktopName;
  std::string windowClass;
  bool operator==(const JournalRecord& o) const {
    return window == o.window && process == o.process && desktop == o.desktop &&
           desktopName == o.desktopName && windowClass == o.windowClass;
  }
};

// Every window the table holds hidden: the lists of all desktops but the one shown, whose list
// holds visible windows (except those whose show is still pending); with `shown` 0, every list.
// Each goes with the identity its entry was captured with.
std::vector<JournalRecord> HiddenWindowRecords(const DesktopTable& table, DesktopNumber shown,
                                               const PendingCalls& pending, WindowSystem& windows);

// The stored form: "VSJ1", then per record the window and the process (32 bits each), the
// desktop number (16 bits), the desktop name after its 8-bit length and the class name after its
// 16-bit length, all little-endian. Records that would pass kCapacity are left out, and
// `encoded` (when given) says how many went in.
std::string EncodeJournal(const std::vector<JournalRecord>& records,
                          std::size_t* encoded = nullptr);
// False, with no records, for anything that is not exactly that form.
bool DecodeJournal(const std::string& data, std::vector<JournalRecord>* records);

// The journal in the store. Knows what it last found or wrote there, so that a change of the
// hidden set costs one write and no change costs none; a write that failed, or that could not
// hold every record, is made again at the next call.
class HiddenJournal {
 public:
  explicit HiddenJournal(SettingsStore& store) : store_(store) {}
  void SetSession(std::uint32_t session) { key_ = journal::SessionKey(session); }
  std::vector<JournalRecord> Read();  // empty when missing, too long or malformed
  // No records: the key goes. False when the store does not hold all of them now.
  bool Write(const std::vector<JournalRecord>& records);

 private:
  bool Store(const std::string& data);

  SettingsStore& store_;
  std::string key_ = journal::SessionKey(0);
  std::optional<std::string> stored_;  // unknown until read or written
};

// The windows a crash must show, kept so that a handler that interrupts the program at any
// moment reads a whole list: the new list is built in the spare one of two buffers, which then
// becomes the one read, in one store.
class RescueList {
 public:
  void Publish(const std::vector<JournalRecord>& records);
  template <typename Fn>
  void ForEach(Fn fn) const {
    const std::vector<WindowId>& ids = buffers_[active_.load(std::memory_order_acquire)];
    const WindowId* w = ids.data();
    for (std::size_t i = 0, n = ids.size(); i < n; ++i) fn(w[i]);
  }

 private:
  std::vector<WindowId> buffers_[2];
  std::atomic<int> active_{0};
};
