#include "rules/window_rules.h"

#include <algorithm>
#include <cstddef>
#include <map>

#include "settings/more_options.h"

namespace {

// Bytes of the character starting at `at`: a UTF-8 sequence is one character for `?`.
std::size_t CharLength(const std::string& s, std::size_t at) {
  std::size_t n = 1;
  while (at + n < s.size() && (static_cast<unsigned char>(s[at + n]) & 0xC0) == 0x80) ++n;
  return n;
}

char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameChar(const std::string& a, std::size_t i, std::size_t n, const std::string& b,
              std::size_t j) {
  if (CharLength(b, j) != n) return false;
  for (std::size_t k = 0; k < n; ++k) {
    if (Fold(a[i + k]) != Fold(b[j + k])) return false;
  }
  return true;
}

// The canonical decimal form of a positive number that fits: "1", "2", ... (no sign, no zeros
// in front), so that each rule has exactly one name.
bool RuleNumber(const std::string& name, std::uint32_t* number) {
  if (name.empty() || name.size() > 9 || name[0] == '0') return false;
  std::uint32_t n = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<std::uint32_t>(c - '0');
  }
  *number = n;
  return true;
}

void ReadText(SettingsStore& store, SettingsStore::Key key, const char* name, std::string* out) {
  std::uint32_t type = 0;
  std::string data;
  if (!store.QueryTypedValue(key, name, rules::kMaxText, &type, &data) ||
      type != SettingsStore::kString)
    return;
  *out = data.substr(0, data.find('\0'));
}

void ReadSwitch(SettingsStore& store, SettingsStore::Key key, const char* name, bool* out) {
  std::uint32_t type = 0;
  std::string data;
  if (store.QueryTypedValue(key, name, 4, &type, &data) && type == SettingsStore::kDword)
    ParseStoredSwitch(data, out);
}

WindowRule ReadRule(SettingsStore& store, const std::string& path) {
  WindowRule rule;
  SettingsStore::Key key = 0;
  if (!store.OpenKey(path, &key)) return rule;
  ReadText(store, key, rules::kProgram, &rule.program);
  ReadText(store, key, rules::kClass, &rule.windowClass);
  ReadText(store, key, rules::kTitle, &rule.title);
  ReadText(store, key, rules::kDesktop, &rule.desktop);
  ReadSwitch(store, key, rules::kPin, &rule.pin);
  ReadSwitch(store, key, rules::kFollow, &rule.follow);
  store.CloseKey(key);
  return rule;
}

// The rules' subkeys by number.
std::map<std::uint32_t, std::string> RuleKeys(SettingsStore& store) {
  std::map<std::uint32_t, std::string> found;
  SettingsStore::Key key = 0;
  if (!store.OpenKey(rules::kKey, &key)) return found;
  std::string name;
  for (std::uint32_t i = 0; store.EnumSubkeyName(key, i, &name); ++i) {
    std::uint32_t number = 0;
    if (RuleNumber(name, &number)) found.emplace(number, name);
  }
  store.CloseKey(key);
  return found;
}

bool WriteRule(SettingsStore& store, std::size_t number, const WindowRule& rule) {
  SettingsStore::Key key = 0;
  bool created = false;
  if (!store.CreateKey(std::string(rules::kKey) + "\\" + std::to_string(number), &key, &created))
    return false;
  const bool written =
      store.SetValue(key, rules::kProgram, SettingsStore::kString, rule.program) &&
      store.SetValue(key, rules::kClass, SettingsStore::kString, rule.windowClass) &&
      store.SetValue(key, rules::kTitle, SettingsStore::kString, rule.title) &&
      store.SetValue(key, rules::kDesktop, SettingsStore::kString, rule.desktop) &&
      store.SetValue(key, rules::kPin, SettingsStore::kDword, StoredSwitch(rule.pin)) &&
      store.SetValue(key, rules::kFollow, SettingsStore::kDword, StoredSwitch(rule.follow));
  store.CloseKey(key);
  return written;
}

}  // namespace

std::vector<WindowRule> LoadRules(SettingsStore& store) {
  std::vector<WindowRule> loaded;
  for (const auto& [number, name] : RuleKeys(store))
    loaded.push_back(ReadRule(store, std::string(rules::kKey) + "\\" + name));
  return loaded;
}

// A rule's values are all rewritten, so whatever else a stored rule's key held goes with it. A
// rule's key that holds keys of its own cannot be deleted: it would come back as a rule, so the
// save counts as failed.
bool SaveRules(SettingsStore& store, const std::vector<WindowRule>& rules) {
  for (const auto& entry : RuleKeys(store))
    store.DeleteKey(std::string(rules::kKey) + "\\" + entry.second);
  bool saved = true;
  for (std::size_t i = 0; i < rules.size(); ++i) saved = WriteRule(store, i + 1, rules[i]) && saved;
  return saved && RuleKeys(store).size() == rules.size();
}

// Backtracks to the last star only: every earlier star's choice is as good as any other then.
bool PatternMatches(const std::string& pattern, const std::string& text) {
  if (pattern.empty()) return true;
  std::size_t p = 0, t = 0, star = std::string::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
      continue;
    }
    const std::size_t n = p < pattern.size() ? CharLength(pattern, p) : 0;
    if (n != 0 && ((n == 1 && pattern[p] == '?') || SameChar(pattern, p, n, text, t))) {
      p += n;
      t += CharLength(text, t);
    } else if (star != std::string::npos) {
      p = star + 1;
      resume += CharLength(text, resume);
      t = resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool RuleCanMatch(const WindowRule& rule) {
  return !rule.program.empty() || !rule.windowClass.empty() || !rule.title.empty();
}

bool RuleMatches(const WindowRule& rule, const WindowFacts& window) {
  return RuleCanMatch(rule) && PatternMatches(rule.program, window.program) &&
         PatternMatches(rule.windowClass, window.windowClass) &&
         PatternMatches(rule.title, window.title);
}

const WindowRule* FirstMatch(const std::vector<WindowRule>& rules, const WindowFacts& window) {
  for (const WindowRule& rule : rules) {
    if (RuleMatches(rule, window)) return &rule;
  }
  return nullptr;
}

bool RuleActs(const WindowRule& rule, const std::vector<std::string>& desktopNames,
              const SameDesktopName& same) {
  if (rule.pin) return true;
  return !rule.desktop.empty() &&
         std::any_of(desktopNames.begin(), desktopNames.end(),
                     [&](const std::string& name) { return same(name, rule.desktop); });
}

// Only the Desktop value of the rules that name the desktop is written: whatever else a rule
// holds stays as it was.
bool RenameDesktopInRules(SettingsStore& store, const std::string& from, const std::string& to,
                          const SameDesktopName& same) {
  bool renamed = false;
  for (const auto& entry : RuleKeys(store)) {
    SettingsStore::Key key = 0;
    if (!store.OpenKey(std::string(rules::kKey) + "\\" + entry.second, &key)) continue;
    std::string desktop;
    ReadText(store, key, rules::kDesktop, &desktop);
    if (!desktop.empty() && same(desktop, from))
      renamed = store.SetValue(key, rules::kDesktop, SettingsStore::kString, to) || renamed;
    store.CloseKey(key);
  }
  return renamed;
}
