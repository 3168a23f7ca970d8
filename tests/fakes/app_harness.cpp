#include "fakes/app_harness.h"

AppHarness::AppHarness() {
  windows.AttachTimeline(&timeline);
  store.AttachTimeline(&timeline);
  hotkeys.AttachTimeline(&timeline);
  notice.AttachTimeline(&timeline);
  boxes.AttachTimeline(&timeline);
  process.AttachTimeline(&timeline);
  host.AttachTimeline(&timeline);
  tray.AttachTimeline(&timeline);
  dialogs.AttachTimeline(&timeline);
}

AppHarness::~AppHarness() = default;

Platform AppHarness::platform() {
  return Platform{windows, store, hotkeys, notice,     boxes, process,
                  host,    tray,  dialogs, trayNumber, events};
}

std::optional<int> AppHarness::Start() {
  if (!app_) app_ = std::make_unique<CVirtualDeskApp>(platform());
  try {
    app_->InitInstance();
  } catch (const ProcessExit& e) {
    return e.code;
  }
  return std::nullopt;
}

void AppHarness::Stop() {
  app_.reset();
}

bool AppHarness::Press(std::uint32_t modifiers, std::uint32_t key) {
  std::uint32_t lParam = 0;
  if (!hotkeys.Press(modifiers, key, &lParam)) return false;
  app_->MatchHotkey(lParam);
  return true;
}

std::vector<std::string> AppHarness::Titles(DesktopNumber n) {
  std::vector<std::string> titles;
  const DesktopInfo* desk = app_->Table().Find(n);
  if (desk) {
    for (const WindowEntry& e : desk->windows) titles.push_back(e.title);
  }
  return titles;
}

std::vector<std::string> AppHarness::Names() {
  std::vector<std::string> names;
  for (const auto& d : app_->Table()) names.push_back(d.second.name);
  return names;
}

std::vector<HotkeyCode> AppHarness::Hotkeys() {
  std::vector<HotkeyCode> codes;
  for (const auto& d : app_->Table()) codes.push_back(d.second.hotkey);
  return codes;
}

std::vector<WindowId> AppHarness::OpenWindows(const std::vector<std::string>& bottomToTop) {
  std::vector<WindowId> ids;
  for (const std::string& t : bottomToTop) ids.push_back(windows.Open(t));
  return ids;
}
