#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "fakes/timeline.h"
#include "shell/hotkey_registrar.h"

// Global hotkeys of one thread. A combination can be held once in the whole session: by this
// thread under one id, or by another program (seeded by a test). A press reaches this thread only
// for a combination it holds.
class FakeHotkeyRegistrar : public HotkeyRegistrar, public TimelineSource {
 public:
  using Combo = std::pair<std::uint32_t, std::uint32_t>;  // modifiers, key
  struct LogEntry {
    bool registering;
    int id;
    Combo combo;  // {0, 0} for a withdrawal
    bool ok;
    bool operator==(const LogEntry& o) const {
      return registering == o.registering && id == o.id && combo == o.combo && ok == o.ok;
    }
  };

  void HoldElsewhere(std::uint32_t modifiers, std::uint32_t key) {
    elsewhere_.insert({modifiers, key});
  }
  const std::map<int, Combo>& Registrations() const { return registered_; }
  const std::vector<LogEntry>& Log() const { return log_; }
  std::vector<int> RegisteredIds() const;    // ids of the successful registrations, in order
  std::vector<int> UnregisteredIds() const;  // ids withdrawn, in order
  void ClearLog() { log_.clear(); }

  // WM_HOTKEY's lParam: modifiers in the low word, key in the high word.
  static std::uint32_t PressLParam(std::uint32_t modifiers, std::uint32_t key) {
    return (key << 16) | (modifiers & 0xFFFF);
  }
  // True, with the message's lParam, when this thread holds the combination pressed.
  bool Press(std::uint32_t modifiers, std::uint32_t key, std::uint32_t* lParam) const;

  bool Register(int id, std::uint32_t modifiers, std::uint32_t key) override;
  void Unregister(int id) override;

 private:
  std::map<int, Combo> registered_;
  std::set<Combo> elsewhere_;
  std::vector<LogEntry> log_;
};
