#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "settings/settings_store.h"

// The settings store on the current user's registry hive.
class Win32SettingsStore : public SettingsStore {
 public:
  bool CreateKey(const std::string& path, Key* key, bool* created) override;
  bool CreateVolatileKey(const std::string& path, Key* key) override;
  bool OpenKey(const std::string& path, Key* key) override;
  bool OpenKeyPlain(const std::string& path, Key* key) override;
  bool QueryValue(Key key, const std::string& name, std::uint32_t capacity,
                  std::string* data) override;
  bool QueryTypedValue(Key key, const std::string& name, std::uint32_t capacity,
                       std::uint32_t* type, std::string* data) override;
  bool EnumSubkeyName(Key key, std::uint32_t index, std::string* name) override;
  Enum EnumValueName(Key key, std::uint32_t index, std::uint32_t capacityChars,
                     std::string* name) override;
  bool SetValue(Key key, const std::string& name, std::uint32_t type,
                const std::string& data) override;
  void DeleteValue(Key key, const std::string& name) override;
  void DeleteKey(const std::string& path) override;
  void CloseKey(Key key) override;
  bool SameValueName(const std::string& a, const std::string& b) const override;
};

// The registry's rule for value names, with the names read in the code page given.
bool SameRegistryName(UINT codePage, const std::string& a, const std::string& b);
