#pragma once

#include <string>

#include "desktops/desktop_table.h"
#include "settings/options.h"
#include "settings/settings_store.h"

namespace reg {
constexpr const char* kOptionsKey = "Software\\veilswitcher";
constexpr const char* kDesksKey = "Software\\veilswitcher\\desks";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kNextDesk = "NextDesk";
constexpr const char* kPrevDesk = "PrevDesk";
constexpr const char* kShowNotice = "ShowCurDeskMsg";
constexpr const char* kRunValue = "veilswitcher.exe";
constexpr unsigned kReadBuffer = 275;
constexpr unsigned kNameBufferChars = 15;
}  // namespace reg

// The registry layout: first-run defaults, loading and saving. Holds no state of its own.
class RegistrySettings {
 public:
  RegistrySettings(SettingsStore& store, FailureReporter& report)
      : store_(store), report_(report) {}

  void WriteDefaults(const std::string& modulePath);
  // Fills `options` and appends the stored desktops to the (empty) `table`.
  void Load(OptionsBlock& options, DesktopTable& table);
  void Save(const OptionsBlock& options, const DesktopTable& table, const std::string& modulePath);

 private:
  // What WriteDefaultOptions found: the options key made now, or made earlier by the registry as
  // the extras' key's parent, with no value of its own.
  enum class OptionsKeyWas { kKept, kNew, kEmptyBesideExtras };
  OptionsKeyWas WriteDefaultOptions();
  bool HasKey(const char* path);
  bool MadeForTheExtrasOnly(SettingsStore::Key options);
  void WriteDefaultAutostart(const std::string& modulePath);
  void WriteDefaultDesktops();
  void LoadOptions(OptionsBlock& options);
  void LoadStartAtLogon(OptionsBlock& options);
  void LoadDesktops(DesktopTable& table);
  HotkeyCode ReadHotkey(SettingsStore::Key key, const std::string& name);
  void SaveOptions(const OptionsBlock& options);
  void SaveStartAtLogon(const OptionsBlock& options, const std::string& modulePath);
  void SaveDesktops(const DesktopTable& table);

  SettingsStore& store_;
  FailureReporter& report_;
};
