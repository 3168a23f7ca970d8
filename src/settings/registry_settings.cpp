#include "settings/registry_settings.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "rules/window_rules.h"
#include "settings/hotkey_text.h"
#include "settings/more_options.h"
#include "shell/hotkey_code.h"

namespace {

// Closes a store key when the scope ends, so that no path through the code leaks one.
class KeyCloser {
 public:
  KeyCloser(SettingsStore& store, SettingsStore::Key key) : store_(store), key_(key) {}
  ~KeyCloser() { store_.CloseKey(key_); }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

 private:
  SettingsStore& store_;
  SettingsStore::Key key_;
};

// The store's longest value name; used only to read names that the 15-character buffer refuses.
constexpr std::uint32_t kLongestValueName = 16384;

struct StoredDesk {
  std::string valueName;  // as the store has it, to read the data by
  std::string name;       // as the desktop will carry it
};

// The names handed out so far, compared by the store's own rule for value names.
class TakenNames {
 public:
  explicit TakenNames(const SettingsStore& store) : store_(store) {}
  bool Has(const std::string& name) const {
    return std::any_of(names_.begin(), names_.end(),
                       [&](const std::string& taken) { return store_.SameValueName(taken, name); });
  }
  void Add(const std::string& name) { names_.push_back(name); }

 private:
  const SettingsStore& store_;
  std::vector<std::string> names_;
};

// A name that did not fit is cut to 14 characters; if that collides with another desktop's
// name, its tail is replaced by the smallest number that makes it unique.
std::string UniqueCutName(const std::string& longName, TakenNames& taken) {
  std::string cut = longName.substr(0, DesktopInfo::kMaxNameChars);
  for (unsigned n = 1; taken.Has(cut); ++n) {
    std::string suffix = std::to_string(n);
    cut = longName.substr(0, DesktopInfo::kMaxNameChars - suffix.size()) + suffix;
  }
  taken.Add(cut);
  return cut;
}

}  // namespace

// The options (with the autostart value) and the desktops each get their defaults only when
// their own key is new. An empty options key beside the extras' gets the options' defaults, but
// the autostart value only on the very first start: where the desktops key is there already, the
// program has run before, and a missing autostart value is its user's "off".
void RegistrySettings::WriteDefaults(const std::string& modulePath) {
  const OptionsKeyWas options = WriteDefaultOptions();
  if (options == OptionsKeyWas::kNew ||
      (options == OptionsKeyWas::kEmptyBesideExtras && !HasKey(reg::kDesksKey)))
    WriteDefaultAutostart(modulePath);
  WriteDefaultDesktops();
}

bool RegistrySettings::HasKey(const char* path) {
  SettingsStore::Key key = 0;
  if (!store_.OpenKey(path, &key)) return false;
  store_.CloseKey(key);
  return true;
}

RegistrySettings::OptionsKeyWas RegistrySettings::WriteDefaultOptions() {
  SettingsStore::Key key = 0;
  bool created = false;
  if (!store_.CreateKey(reg::kOptionsKey, &key, &created))
    report_.FatalError("Cant open registry for setting default options.");
  KeyCloser closer(store_, key);
  OptionsKeyWas was = OptionsKeyWas::kNew;
  if (!created) {
    if (!MadeForTheExtrasOnly(key)) return OptionsKeyWas::kKept;
    was = OptionsKeyWas::kEmptyBesideExtras;
  }
  store_.SetValue(key, reg::kPrevDesk, SettingsStore::kString,
                  FormatHotkeyText(MakeHotkeyCode(kModAlt, kVkLeft), false));
  store_.SetValue(key, reg::kNextDesk, SettingsStore::kString,
                  FormatHotkeyText(MakeHotkeyCode(kModAlt, kVkRight), false));
  store_.SetValue(key, reg::kShowNotice, SettingsStore::kBinary, std::string(1, '\x01'));
  return was;
}

// The extras' key or the rules' can be written before the very first start (by a script, say),
// and the registry makes their parent, the options key, on the way: an options key that holds no
// value beside an existing extras' key is as new as one made now.
bool RegistrySettings::MadeForTheExtrasOnly(SettingsStore::Key options) {
  std::string name;
  if (store_.EnumValueName(options, 0, reg::kNameBufferChars, &name) != SettingsStore::Enum::kEnd)
    return false;
  return HasKey(reg::kMoreKey) || HasKey(rules::kKey);
}

void RegistrySettings::WriteDefaultAutostart(const std::string& modulePath) {
  SettingsStore::Key run = 0;
  bool created = false;
  if (!store_.CreateKey(reg::kRunKey, &run, &created))
    report_.FatalError("Cant open registry for setting autostart.");
  KeyCloser closer(store_, run);
  store_.SetValue(run, reg::kRunValue, SettingsStore::kString, modulePath);
}

void RegistrySettings::WriteDefaultDesktops() {
  SettingsStore::Key key = 0;
  bool created = false;
  if (!store_.CreateKey(reg::kDesksKey, &key, &created))
    report_.FatalError("Cant open registry for setting default desktops information.");
  KeyCloser closer(store_, key);
  if (!created) return;
  for (std::uint32_t i = 0; i < 3; ++i) {
    store_.SetValue(key, "VirtDesk" + std::to_string(i + 1), SettingsStore::kMultiString,
                    FormatHotkeyText(MakeHotkeyCode(kModAlt, kVkF1 + i)));
  }
}

void RegistrySettings::Load(OptionsBlock& options, DesktopTable& table) {
  LoadOptions(options);
  LoadStartAtLogon(options);
  LoadDesktops(table);
}

HotkeyCode RegistrySettings::ReadHotkey(SettingsStore::Key key, const std::string& name) {
  std::string data;
  if (!store_.QueryValue(key, name, reg::kReadBuffer, &data)) return 0;
  return ParseHotkeyText(data);
}

void RegistrySettings::LoadOptions(OptionsBlock& options) {
  SettingsStore::Key key = 0;
  if (!store_.OpenKey(reg::kOptionsKey, &key))
    report_.FatalError("Cant open registry for options reading.");
  KeyCloser closer(store_, key);
  options.nextHotkey = ReadHotkey(key, reg::kNextDesk);
  options.prevHotkey = ReadHotkey(key, reg::kPrevDesk);
  std::string flag;
  if (store_.QueryValue(key, reg::kShowNotice, 1, &flag) && flag.size() == 1)
    options.showNotice = static_cast<std::uint8_t>(flag[0]);  // kept as stored, written back so
}

void RegistrySettings::LoadStartAtLogon(OptionsBlock& options) {
  SettingsStore::Key run = 0;
  if (!store_.OpenKeyPlain(reg::kRunKey, &run))
    report_.FatalError("Troubles while opening registry. Cant read autostart status.");
  KeyCloser closer(store_, run);
  std::string path;
  options.startAtLogon = store_.QueryValue(run, reg::kRunValue, reg::kReadBuffer, &path) ? 1 : 0;
}

void RegistrySettings::LoadDesktops(DesktopTable& table) {
  SettingsStore::Key key = 0;
  if (!store_.OpenKey(reg::kDesksKey, &key))
    report_.FatalError("Troubles while opening registry, cant read desktops information.");
  KeyCloser closer(store_, key);
  std::vector<StoredDesk> stored;
  std::vector<std::size_t> tooLong;
  TakenNames taken(store_);
  for (std::uint32_t i = 0;; ++i) {
    std::string name;
    SettingsStore::Enum status = store_.EnumValueName(key, i, reg::kNameBufferChars, &name);
    if (status == SettingsStore::Enum::kNameTooLong &&
        store_.EnumValueName(key, i, kLongestValueName, &name) == SettingsStore::Enum::kOk) {
      tooLong.push_back(stored.size());
    } else if (status != SettingsStore::Enum::kOk) {
      break;
    } else {
      taken.Add(name);
    }
    stored.push_back(StoredDesk{name, name});
  }
  // Names that fit are kept as they are; cut names must not take one of theirs.
  for (std::size_t index : tooLong) stored[index].name = UniqueCutName(stored[index].name, taken);
  for (const StoredDesk& desk : stored) {
    DesktopInfo& info = table.GetDesktop(static_cast<DesktopNumber>(table.Count() + 1));
    info.name = desk.name;
    info.hotkey = ReadHotkey(key, desk.valueName);
  }
}

void RegistrySettings::Save(const OptionsBlock& options, const DesktopTable& table,
                            const std::string& modulePath) {
  SaveOptions(options);
  SaveStartAtLogon(options, modulePath);
  SaveDesktops(table);
}

void RegistrySettings::SaveOptions(const OptionsBlock& options) {
  SettingsStore::Key key = 0;
  if (!store_.OpenKey(reg::kOptionsKey, &key)) {
    report_.ShowError("Troubles while opening registry, for saving changes.");
    return;
  }
  KeyCloser closer(store_, key);
  store_.SetValue(key, reg::kNextDesk, SettingsStore::kString,
                  FormatHotkeyText(options.nextHotkey));
  store_.SetValue(key, reg::kPrevDesk, SettingsStore::kString,
                  FormatHotkeyText(options.prevHotkey));
  store_.SetValue(key, reg::kShowNotice, SettingsStore::kBinary,
                  std::string(1, static_cast<char>(options.showNotice)));
}

void RegistrySettings::SaveStartAtLogon(const OptionsBlock& options,
                                        const std::string& modulePath) {
  SettingsStore::Key run = 0;
  if (!store_.OpenKeyPlain(reg::kRunKey, &run)) {
    report_.ShowError("Troubles while opening registry, for saving autostart status.");
    return;
  }
  KeyCloser closer(store_, run);
  store_.DeleteValue(run, reg::kRunValue);
  if (options.startAtLogon)
    store_.SetValue(run, reg::kRunValue, SettingsStore::kString, modulePath);
}

void RegistrySettings::SaveDesktops(const DesktopTable& table) {
  store_.DeleteKey(reg::kDesksKey);
  SettingsStore::Key key = 0;
  bool created = false;
  if (!store_.CreateKey(reg::kDesksKey, &key, &created)) {
    report_.ShowError("Cant open registry for saving desktops information.");
    return;
  }
  KeyCloser closer(store_, key);
  for (const auto& entry : table) {
    store_.SetValue(key, entry.second.name, SettingsStore::kMultiString,
                    FormatHotkeyText(entry.second.hotkey));
  }
}
