#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace rules {
// One subkey per rule, named by its position ("1", "2", ...); anything else in the key is left
// alone, never read and never removed.
constexpr const char* kKey = "Software\\veilswitcher\\rules";
constexpr const char* kProgram = "Program";
constexpr const char* kClass = "Class";
constexpr const char* kTitle = "Title";
constexpr const char* kDesktop = "Desktop";
constexpr const char* kPin = "Pin";
constexpr const char* kFollow = "Follow";
// Far more than any rule needs; a value past it counts as missing.
constexpr std::uint32_t kMaxText = 1024;
}  // namespace rules

// A rule as stored, its texts in the program's 8-bit text. Program, class and title are patterns.
struct WindowRule {
  std::string program;  // the file name of the window's program
  std::string windowClass;
  std::string title;
  std::string desktop;  // the name of the desktop the window goes to
  bool pin = false;     // pinned instead of sent anywhere
  bool follow = false;  // the view goes along
  bool operator==(const WindowRule& o) const {
    return program == o.program && windowClass == o.windowClass && title == o.title &&
           desktop == o.desktop && pin == o.pin && follow == o.follow;
  }
};

// Every rule in the order it is tried (by its number). Never fails and never reports: a missing
// key gives none, a value of the wrong type or form counts as missing.
std::vector<WindowRule> LoadRules(SettingsStore& store);
// Stores `rules` as rules 1..N in this order, removing the rules stored before; what is not a
// rule in the key stays. False when the store did not take all of it.
bool SaveRules(SettingsStore& store, const std::vector<WindowRule>& rules);

// `text` against `pattern` ignoring the case of ASCII letters: `*` stands for any run of
// characters (none included), `?` for one (one byte of a UTF-8 sequence counts as one only for
// ASCII; a multibyte character is one too). An empty pattern matches anything.
bool PatternMatches(const std::string& pattern, const std::string& text);

// What a rule is matched against; texts in the same encoding as the rule's patterns.
struct WindowFacts {
  std::string program;
  std::string windowClass;
  std::string title;
};
// A rule with three empty patterns matches nothing.
bool RuleMatches(const WindowRule& rule, const WindowFacts& window);
// The first rule that matches, or null.
const WindowRule* FirstMatch(const std::vector<WindowRule>& rules, const WindowFacts& window);

// Whether the rule can do anything at all: a pin, or a desktop of that name (by `same`, the
// program's rule for desktop names); and whether it can match anything.
using SameDesktopName = std::function<bool(const std::string&, const std::string&)>;
bool RuleActs(const WindowRule& rule, const std::vector<std::string>& desktopNames,
              const SameDesktopName& same);
bool RuleCanMatch(const WindowRule& rule);

// Every rule naming `from` names `to` afterwards, so that rules follow a renamed desktop. True
// when some rule was rewritten.
bool RenameDesktopInRules(SettingsStore& store, const std::string& from, const std::string& to,
                          const SameDesktopName& same);
