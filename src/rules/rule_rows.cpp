#include "rules/rule_rows.h"

std::vector<std::string> RuleRowTexts(const WindowRule& rule,
                                      const std::vector<std::string>& desktopNames,
                                      const SameDesktopName& same) {
  std::vector<std::string> row(5);
  if (!RuleCanMatch(rule) || !RuleActs(rule, desktopNames, same)) row[0] = kNeverActs;
  row[0] += rule.program;
  row[1] = rule.windowClass;
  row[2] = rule.title;
  row[3] = rule.pin ? kEveryDesktop : rule.desktop;
  if (rule.follow) row[4] = "yes";
  return row;
}
