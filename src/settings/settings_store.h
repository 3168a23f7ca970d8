#pragma once

#include <cstdint>
#include <string>

// The store operations the settings need, with the registry's meanings: paths are below the
// current user's hive; value names compare without regard to case; the empty name is a key's
// default value; data comes back with the length that was stored.
class SettingsStore {
 public:
  using Key = std::uintptr_t;
  enum class Enum { kOk, kNameTooLong, kEnd };      // kEnd: no more values, or any other failure
  static constexpr std::uint32_t kBinary = 3;       // REG_BINARY
  static constexpr std::uint32_t kString = 1;       // REG_SZ
  static constexpr std::uint32_t kMultiString = 7;  // REG_MULTI_SZ
  static constexpr std::uint32_t kDword = 4;        // REG_DWORD, little-endian

  virtual ~SettingsStore() = default;
  // RegCreateKeyExA(HKCU, path, class "REG_SZ", 0, KEY_ALL_ACCESS): `created` tells whether
  // the key was new.
  virtual bool CreateKey(const std::string& path, Key* key, bool* created) = 0;
  // The same with REG_OPTION_VOLATILE: the key lives until the user logs off, never on disk.
  virtual bool CreateVolatileKey(const std::string& path, Key* key) = 0;
  virtual bool OpenKey(const std::string& path, Key* key) = 0;       // RegOpenKeyExA, all access
  virtual bool OpenKeyPlain(const std::string& path, Key* key) = 0;  // RegOpenKeyA
  // RegQueryValueExA into a buffer of `capacity` bytes. On success `data` holds exactly the
  // bytes the store returned; a value larger than the buffer fails.
  virtual bool QueryValue(Key key, const std::string& name, std::uint32_t capacity,
                          std::string* data) = 0;
  // The same with the value's type (REG_SZ, REG_DWORD, ...).
  virtual bool QueryTypedValue(Key key, const std::string& name, std::uint32_t capacity,
                               std::uint32_t* type, std::string* data) = 0;
  // RegEnumKeyExA: the name of subkey `index` (at most 255 characters); false past the last one.
  virtual bool EnumSubkeyName(Key key, std::uint32_t index, std::string* name) = 0;
  // RegEnumValueA for the name only, with a buffer of `capacityChars` characters (terminator
  // included). A longer name answers kNameTooLong and hands out nothing.
  virtual Enum EnumValueName(Key key, std::uint32_t index, std::uint32_t capacityChars,
                             std::string* name) = 0;
  // RegSetValueExA; false when the store did not take the data.
  virtual bool SetValue(Key key, const std::string& name, std::uint32_t type,
                        const std::string& data) = 0;
  virtual void DeleteValue(Key key, const std::string& name) = 0;
  virtual void DeleteKey(const std::string& path) = 0;  // RegDeleteKeyA(HKCU, path)
  virtual void CloseKey(Key key) = 0;
  // Whether the store keeps one value for both names: the registry converts a name from the
  // active ANSI code page to UTF-16 and compares that without regard to case.
  virtual bool SameValueName(const std::string& a, const std::string& b) const = 0;
};
