#pragma once

#include <string>
#include <vector>

#include "core_types.h"
#include "rules/window_rules.h"

// What the rules dialog shows of a rule: program, class, title, where the window goes, follow.
// A rule that can never do anything (its three patterns are empty, or it names no desktop that
// exists) carries kNeverActs in front of its first text, so that it cannot pass unnoticed.
constexpr const char* kNeverActs = "(never acts) ";
constexpr const char* kEveryDesktop = "every desktop";
std::vector<std::string> RuleRowTexts(const WindowRule& rule,
                                      const std::vector<std::string>& desktopNames,
                                      const SameDesktopName& same);

// A window a rule can be made from, its texts as the window system gives them: the program and
// the title in UTF-8, the class in the 8-bit text.
struct OpenWindow {
  WindowId window = 0;
  std::string program;
  std::string windowClass;
  std::string title;
};
