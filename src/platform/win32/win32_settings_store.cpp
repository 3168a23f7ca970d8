#include "platform/win32/win32_settings_store.h"

#include <vector>

namespace {

HKEY ToHkey(SettingsStore::Key key) {
  return reinterpret_cast<HKEY>(key);
}
SettingsStore::Key FromHkey(HKEY key) {
  return reinterpret_cast<SettingsStore::Key>(key);
}

// A vector rather than std::wstring: the wide string's instantiation alone would add some 35 KB
// to a program that needs it for this one comparison.
std::vector<wchar_t> Widen(UINT codePage, const std::string& text) {
  int size = static_cast<int>(text.size());
  int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::vector<wchar_t> wide(static_cast<std::size_t>(length > 0 ? length : 0));
  if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

bool SameRegistryName(UINT codePage, const std::string& a, const std::string& b) {
  // An empty name is the key's default value; the comparison below would refuse two of them.
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  std::vector<wchar_t> wa = Widen(codePage, a);
  std::vector<wchar_t> wb = Widen(codePage, b);
  return CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(),
                              static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

bool Win32SettingsStore::SameValueName(const std::string& a, const std::string& b) const {
  return SameRegistryName(CP_ACP, a, b);
}

bool Win32SettingsStore::CreateKey(const std::string& path, Key* key, bool* created) {
  char keyClass[] = "REG_SZ";  // the class parameter is not const in the headers
  HKEY opened = nullptr;
  DWORD disposition = 0;
  LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, keyClass, 0, KEY_ALL_ACCESS,
                            nullptr, &opened, &disposition);
  if (rc != ERROR_SUCCESS) return false;
  *key = FromHkey(opened);
  *created = disposition != REG_OPENED_EXISTING_KEY;
  return true;
}

bool Win32SettingsStore::CreateVolatileKey(const std::string& path, Key* key) {
  HKEY opened = nullptr;
  LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &opened, nullptr);
  if (rc != ERROR_SUCCESS) return false;
  *key = FromHkey(opened);
  return true;
}

bool Win32SettingsStore::OpenKey(const std::string& path, Key* key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS)
    return false;
  *key = FromHkey(opened);
  return true;
}

bool Win32SettingsStore::OpenKeyPlain(const std::string& path, Key* key) {
  HKEY opened = nullptr;
  if (RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), &opened) != ERROR_SUCCESS) return false;
  *key = FromHkey(opened);
  return true;
}

bool Win32SettingsStore::QueryValue(Key key, const std::string& name, std::uint32_t capacity,
                                    std::string* data) {
  std::uint32_t type = 0;
  return QueryTypedValue(key, name, capacity, &type, data);
}

bool Win32SettingsStore::QueryTypedValue(Key key, const std::string& name, std::uint32_t capacity,
                                         std::uint32_t* type, std::string* data) {
  // One spare byte so that a zero capacity still passes a real buffer, as the caller's would.
  std::vector<BYTE> buffer(static_cast<size_t>(capacity) + 1, 0);
  DWORD size = capacity;
  DWORD kind = 0;
  LONG rc = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &kind, buffer.data(), &size);
  if (rc != ERROR_SUCCESS || size > capacity) return false;
  *type = kind;
  data->assign(reinterpret_cast<const char*>(buffer.data()), size);
  return true;
}

bool Win32SettingsStore::EnumSubkeyName(Key key, std::uint32_t index, std::string* name) {
  char buffer[256] = {};  // a key name has at most 255 characters
  DWORD chars = sizeof(buffer);
  if (RegEnumKeyExA(ToHkey(key), index, buffer, &chars, nullptr, nullptr, nullptr, nullptr) !=
      ERROR_SUCCESS)
    return false;
  name->assign(buffer, chars);
  return true;
}

SettingsStore::Enum Win32SettingsStore::EnumValueName(Key key, std::uint32_t index,
                                                      std::uint32_t capacityChars,
                                                      std::string* name) {
  std::vector<char> buffer(static_cast<size_t>(capacityChars) + 1, '\0');
  DWORD chars = capacityChars;
  LONG rc =
      RegEnumValueA(ToHkey(key), index, buffer.data(), &chars, nullptr, nullptr, nullptr, nullptr);
  if (rc == ERROR_MORE_DATA) return Enum::kNameTooLong;
  if (rc != ERROR_SUCCESS || chars >= capacityChars) return Enum::kEnd;
  name->assign(buffer.data(), chars);
  return Enum::kOk;
}

bool Win32SettingsStore::SetValue(Key key, const std::string& name, std::uint32_t type,
                                  const std::string& data) {
  return RegSetValueExA(ToHkey(key), name.c_str(), 0, type,
                        reinterpret_cast<const BYTE*>(data.data()),
                        static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

void Win32SettingsStore::DeleteValue(Key key, const std::string& name) {
  RegDeleteValueA(ToHkey(key), name.c_str());
}

void Win32SettingsStore::DeleteKey(const std::string& path) {
  RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

void Win32SettingsStore::CloseKey(Key key) {
  RegCloseKey(ToHkey(key));
}
