#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "app/dialog_runner.h"
#include "fakes/fake_process.h"
#include "fakes/timeline.h"
#include "shell/tray_shell.h"

// The notification area: one icon at most, a menu that is tracked until the user picks an item
// (or nothing), and the pick arriving at the owner as WM_COMMAND once the menu has closed.
class FakeTrayShell : public TrayShell, public TimelineSource {
 public:
  static constexpr std::uint32_t kWmCommand = 0x0111;
  explicit FakeTrayShell(FakeWindowHost& host) : host_(host) {}
  void FailAddIcon() { failAdd_ = true; }
  void PickNext(std::uint32_t commandId) { pick_ = commandId; }  // for the next menu only

  bool IconShown() const { return iconShown_; }
  WindowId IconOwner() const { return owner_; }
  int MenusAlive() const { return menusAlive_; }
  const std::vector<DesktopMenuModel>& Tracked() const { return tracked_; }

  bool AddIcon(WindowId owner) override;
  void RemoveIcon() override;
  void TrackDesktopMenu(const DesktopMenuModel& model, WindowId owner) override;
  void DestroyMenus() override;

 private:
  FakeWindowHost& host_;
  bool failAdd_ = false;
  bool iconShown_ = false;
  WindowId owner_ = 0;
  int menusAlive_ = 0;
  std::optional<std::uint32_t> pick_;
  std::vector<DesktopMenuModel> tracked_;
};

// Modal dialogs as a test scripts them: each run calls the scripted action (which may act on the
// application, or re-enter it as a nested message loop would) and then ends.
class FakeDialogRunner : public DialogRunner, public TimelineSource {
 public:
  std::function<void()> onAbout;
  std::function<void(CVirtualDeskApp&)> onOptions;
  int AboutRuns() const { return aboutRuns_; }
  int OptionsRuns() const { return optionsRuns_; }

  void RunAbout() override;
  void RunOptions(CVirtualDeskApp& app) override;

 private:
  int aboutRuns_ = 0;
  int optionsRuns_ = 0;
};
