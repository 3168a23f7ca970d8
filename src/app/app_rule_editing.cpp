#include <algorithm>

#include "app/virtual_desk_app.h"
#include "settings/settings_store.h"

namespace {
// A named type rather than a lambda: the function wrapper keeps its type's name in the file.
struct SameName {
  const SettingsStore* store;
  bool operator()(const std::string& a, const std::string& b) const {
    return store->SameValueName(a, b);
  }
};
}  // namespace

std::vector<std::string> CVirtualDeskApp::RuleRow(const WindowRule& rule) const {
  std::vector<std::string> names(table_.Count());
  std::size_t i = 0;
  for (const auto& desk : table_) names[i++] = desk.second.name;
  return RuleRowTexts(rule, names, SameName{&p_.store});
}

// The current desktop's list is stale while it is current, so the walk stands for it. The walk
// skips no pinned window: a pin rule is made from a pinned window as readily as from any. Owned
// windows (dialogs, palettes) are left out: rules never match them on their own.
std::vector<OpenWindow> CVirtualDeskApp::OpenWindows() {
  DesktopInfo all;
  WalkTopLevelWindows(p_.windows, hiddenWindow_, all, pending_);
  for (const auto& desk : table_) {
    if (desk.first == current_) continue;
    std::list<WindowEntry> listed = desk.second.windows;
    all.windows.splice(all.windows.end(), listed);
  }
  std::vector<OpenWindow> found;
  for (const WindowEntry& e : all.windows) {
    const WindowId w = e.window;
    const bool again =
        std::any_of(found.begin(), found.end(), [w](const OpenWindow& o) { return o.window == w; });
    if (again || !p_.windows.Exists(w) || p_.windows.RootOwner(w) != w) continue;
    found.push_back({w, p_.windows.ProgramOf(w), p_.windows.ClassOf(w), e.title});
  }
  return found;
}
