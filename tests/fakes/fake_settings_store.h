#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fakes/timeline.h"
#include "settings/settings_store.h"

// The current user's registry hive, in memory: key paths and value names compare without regard
// to case (ASCII letters only), values enumerate in creation order (overwriting keeps the place),
// the empty name is the default value, data is kept byte for byte with no terminator added,
// creating a key creates its parents (volatile ones when the key is volatile), and a key with
// subkeys cannot be deleted. No test logs off, so a volatile key is otherwise a key.
class FakeSettingsStore : public SettingsStore, public TimelineSource {
 public:
  struct Value {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
    bool operator==(const Value& o) const {
      return name == o.name && type == o.type && data == o.data;
    }
  };
  enum class Op { kCreate, kOpen, kOpenPlain, kSetValue };
  using Contents = std::map<std::string, std::vector<Value>>;  // by lower-cased path

  // Test side: set up and read back without handles.
  void SeedKey(const std::string& path);
  void Seed(const std::string& path, const std::string& name, std::uint32_t type,
            const std::string& data);
  void RemoveTree(const std::string& path);
  void RemoveValue(const std::string& path, const std::string& name);
  bool HasKey(const std::string& path) const;
  const Value* Find(const std::string& path, const std::string& name) const;
  std::vector<Value> Values(const std::string& path) const;  // creation order
  std::vector<std::string> ValueNames(const std::string& path) const;
  Contents Snapshot() const;
  void CopyContentsFrom(const FakeSettingsStore& other);
  void FailOn(Op op, const std::string& path);
  void ClearFailures() { failures_.clear(); }
  std::size_t OpenHandles() const { return handles_.size(); }
  int BadCloses() const { return badCloses_; }

  bool CreateKey(const std::string& path, Key* key, bool* created) override;
  bool CreateVolatileKey(const std::string& path, Key* key) override;
  bool IsVolatile(const std::string& path) const { return volatile_.count(Lower(path)) != 0; }
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

 private:
  using Values_ = std::vector<Value>;
  static std::string Lower(const std::string& s);
  void MakeKeyWithParents(const std::string& lowerPath);
  bool Failing(Op op, const std::string& path) const;
  bool Open(Op op, const std::string& path, Key* key);
  Key Issue(const std::string& lowerPath);
  Values_* KeyOf(Key key);
  static Values_::iterator FindIn(Values_& values, const std::string& name);

  Contents keys_;
  std::map<Key, std::string> handles_;
  std::set<std::pair<Op, std::string>> failures_;
  std::set<std::string> volatile_;
  Key nextHandle_ = 0x1a0;
  int badCloses_ = 0;
};

void PrintTo(const FakeSettingsStore::Value& v, std::ostream* os);
