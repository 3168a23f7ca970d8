#include "fakes/fake_settings_store.h"

#include <algorithm>
#include <cctype>

std::string FakeSettingsStore::Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

void FakeSettingsStore::MakeKeyWithParents(const std::string& lowerPath) {
  for (std::size_t pos = lowerPath.find('\\'); pos != std::string::npos;
       pos = lowerPath.find('\\', pos + 1)) {
    keys_[lowerPath.substr(0, pos)];
  }
  keys_[lowerPath];
}

void FakeSettingsStore::SeedKey(const std::string& path) {
  MakeKeyWithParents(Lower(path));
}

void FakeSettingsStore::Seed(const std::string& path, const std::string& name, std::uint32_t type,
                             const std::string& data) {
  MakeKeyWithParents(Lower(path));
  Values_& values = keys_[Lower(path)];
  auto it = FindIn(values, name);
  if (it != values.end()) {
    it->type = type;
    it->data = data;
  } else {
    values.push_back(Value{name, type, data});
  }
}

void FakeSettingsStore::RemoveTree(const std::string& path) {
  const std::string p = Lower(path);
  for (auto it = keys_.begin(); it != keys_.end();) {
    bool inTree = it->first == p || it->first.compare(0, p.size() + 1, p + "\\") == 0;
    it = inTree ? keys_.erase(it) : std::next(it);
  }
}

void FakeSettingsStore::RemoveValue(const std::string& path, const std::string& name) {
  auto key = keys_.find(Lower(path));
  if (key == keys_.end()) return;
  auto it = FindIn(key->second, name);
  if (it != key->second.end()) key->second.erase(it);
}

bool FakeSettingsStore::HasKey(const std::string& path) const {
  return keys_.count(Lower(path));
}

const FakeSettingsStore::Value* FakeSettingsStore::Find(const std::string& path,
                                                        const std::string& name) const {
  auto key = keys_.find(Lower(path));
  if (key == keys_.end()) return nullptr;
  for (const Value& v : key->second) {
    if (Lower(v.name) == Lower(name)) return &v;
  }
  return nullptr;
}

std::vector<FakeSettingsStore::Value> FakeSettingsStore::Values(const std::string& path) const {
  auto key = keys_.find(Lower(path));
  return key == keys_.end() ? Values_() : key->second;
}

std::vector<std::string> FakeSettingsStore::ValueNames(const std::string& path) const {
  std::vector<std::string> names;
  for (const Value& v : Values(path)) names.push_back(v.name);
  return names;
}

FakeSettingsStore::Contents FakeSettingsStore::Snapshot() const {
  return keys_;
}

void FakeSettingsStore::CopyContentsFrom(const FakeSettingsStore& other) {
  keys_ = other.keys_;
}

void FakeSettingsStore::FailOn(Op op, const std::string& path) {
  failures_.insert({op, Lower(path)});
}

bool FakeSettingsStore::Failing(Op op, const std::string& path) const {
  return failures_.count({op, Lower(path)}) != 0;
}

SettingsStore::Key FakeSettingsStore::Issue(const std::string& lowerPath) {
  Key key = nextHandle_;
  nextHandle_ += 4;
  handles_[key] = lowerPath;
  return key;
}

bool FakeSettingsStore::CreateKey(const std::string& path, Key* key, bool* created) {
  if (Failing(Op::kCreate, path)) return false;
  const std::string p = Lower(path);
  *created = keys_.count(p) == 0;
  if (*created) {
    MakeKeyWithParents(p);
    Note("reg.CreateNew " + path);
  }
  *key = Issue(p);
  return true;
}

// Every key the call creates, the missing parents included, is volatile.
bool FakeSettingsStore::CreateVolatileKey(const std::string& path, Key* key) {
  const std::string p = Lower(path);
  for (std::size_t pos = p.find('\\'); pos != std::string::npos; pos = p.find('\\', pos + 1)) {
    if (!keys_.count(p.substr(0, pos))) volatile_.insert(p.substr(0, pos));
  }
  if (!keys_.count(p)) volatile_.insert(p);
  bool created = false;
  return CreateKey(path, key, &created);
}

bool FakeSettingsStore::Open(Op op, const std::string& path, Key* key) {
  if (Failing(op, path) || !HasKey(path)) return false;
  *key = Issue(Lower(path));
  return true;
}

bool FakeSettingsStore::OpenKey(const std::string& path, Key* key) {
  Note("reg.Open " + path);
  return Open(Op::kOpen, path, key);
}

bool FakeSettingsStore::OpenKeyPlain(const std::string& path, Key* key) {
  Note("reg.Open " + path);
  return Open(Op::kOpenPlain, path, key);
}

// A handle to a key deleted since it was opened no longer reaches any values.
FakeSettingsStore::Values_* FakeSettingsStore::KeyOf(Key key) {
  auto h = handles_.find(key);
  if (h == handles_.end()) return nullptr;
  auto k = keys_.find(h->second);
  return k == keys_.end() ? nullptr : &k->second;
}

FakeSettingsStore::Values_::iterator FakeSettingsStore::FindIn(Values_& values,
                                                               const std::string& name) {
  return std::find_if(values.begin(), values.end(),
                      [&](const Value& v) { return Lower(v.name) == Lower(name); });
}

bool FakeSettingsStore::SameValueName(const std::string& a, const std::string& b) const {
  return Lower(a) == Lower(b);
}

bool FakeSettingsStore::QueryValue(Key key, const std::string& name, std::uint32_t capacity,
                                   std::string* data) {
  std::uint32_t type = 0;
  return QueryTypedValue(key, name, capacity, &type, data);
}

bool FakeSettingsStore::QueryTypedValue(Key key, const std::string& name, std::uint32_t capacity,
                                        std::uint32_t* type, std::string* data) {
  Values_* values = KeyOf(key);
  if (!values) return false;
  auto it = FindIn(*values, name);
  if (it == values->end() || it->data.size() > capacity) return false;
  *type = it->type;
  *data = it->data;
  return true;
}

// The direct subkeys in name order, as the registry hands them out.
bool FakeSettingsStore::EnumSubkeyName(Key key, std::uint32_t index, std::string* name) {
  auto handle = handles_.find(key);
  if (handle == handles_.end()) return false;
  const std::string prefix = handle->second + "\\";
  std::uint32_t seen = 0;
  for (const auto& k : keys_) {
    if (k.first.compare(0, prefix.size(), prefix) != 0) continue;
    if (k.first.find('\\', prefix.size()) != std::string::npos) continue;
    if (seen++ == index) {
      *name = k.first.substr(prefix.size());
      return true;
    }
  }
  return false;
}

SettingsStore::Enum FakeSettingsStore::EnumValueName(Key key, std::uint32_t index,
                                                     std::uint32_t capacityChars,
                                                     std::string* name) {
  Values_* values = KeyOf(key);
  if (!values || index >= values->size()) return Enum::kEnd;
  const std::string& found = (*values)[index].name;
  if (found.size() + 1 > capacityChars) return Enum::kNameTooLong;
  *name = found;
  return Enum::kOk;
}

bool FakeSettingsStore::SetValue(Key key, const std::string& name, std::uint32_t type,
                                 const std::string& data) {
  Values_* values = KeyOf(key);
  if (!values || Failing(Op::kSetValue, handles_[key])) return false;
  Note("reg.Set " + name);
  auto it = FindIn(*values, name);
  if (it != values->end()) {
    it->type = type;
    it->data = data;
  } else {
    values->push_back(Value{name, type, data});
  }
  return true;
}

void FakeSettingsStore::DeleteValue(Key key, const std::string& name) {
  Values_* values = KeyOf(key);
  if (!values) return;
  Note("reg.DeleteValue " + name);
  auto it = FindIn(*values, name);
  if (it != values->end()) values->erase(it);
}

void FakeSettingsStore::DeleteKey(const std::string& path) {
  const std::string p = Lower(path);
  Note("reg.DeleteKey " + path);
  for (const auto& k : keys_) {
    if (k.first.compare(0, p.size() + 1, p + "\\") == 0) return;  // has subkeys
  }
  keys_.erase(p);
  volatile_.erase(p);
}

void FakeSettingsStore::CloseKey(Key key) {
  if (handles_.erase(key) == 0) ++badCloses_;
}

void PrintTo(const FakeSettingsStore::Value& v, std::ostream* os) {
  *os << "{\"" << v.name << "\", type " << v.type << ", \"";
  for (char c : v.data) {
    if (c == '\n') {
      *os << "\\n";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      *os << "\\x" << std::hex << static_cast<int>(c) << std::dec;
    } else {
      *os << c;
    }
  }
  *os << "\" (" << v.data.size() << " bytes)}";
}
