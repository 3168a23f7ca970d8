#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "app/dialog_runner.h"
#include "fakes/fake_process.h"
#include "fakes/timeline.h"
#include "shell/tray_shell.h"

// The icons of the notification area, shared by every process of a session. The shell knows an
// icon by its owner window and id; the program's id is always 0, so the owner names it.
struct FakeNotificationArea {
  std::set<WindowId> owners;
};

// One process's icon record and menus: one icon at most, a menu that is tracked until the user
// picks an item (or nothing), and the pick arriving at the owner as WM_COMMAND once the menu has
// closed. Removal acts on this record only: a record never filled names no icon.
class FakeTrayShell : public TrayShell, public TimelineSource {
 public:
  static constexpr std::uint32_t kWmCommand = 0x0111;
  explicit FakeTrayShell(FakeWindowHost& host)
      : host_(host), area_(std::make_shared<FakeNotificationArea>()) {}
  void FailAddIcon() { failAdd_ = true; }
  void PickNext(std::uint32_t commandId) { pick_ = commandId; }  // for the next menu only
  // The notification area of another process, so that two copies meet in one taskbar.
  void ShareAreaWith(FakeTrayShell& other) { area_ = other.area_; }

  bool IconShown() const { return owner_ != 0 && area_->owners.count(owner_) != 0; }
  std::size_t IconsInArea() const { return area_->owners.size(); }
  WindowId IconOwner() const { return owner_; }
  int MenusAlive() const { return menusAlive_; }
  const std::vector<DesktopMenuModel>& Tracked() const { return tracked_; }

  bool AddIcon(WindowId owner) override;
  void RemoveIcon() override;
  void TrackDesktopMenu(const DesktopMenuModel& model, WindowId owner) override;
  void DestroyMenus() override;
  std::uint32_t TaskbarCreatedMessage() override { return 0xC0F3; }  // a registered message
  void AddIconAgain() override { area_->owners.insert(owner_); }

 private:
  FakeWindowHost& host_;
  std::shared_ptr<FakeNotificationArea> area_;
  bool failAdd_ = false;
  WindowId owner_ = 0;  // the record's hWnd; 0 until an icon was added
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
  void RunMoreOptions(CVirtualDeskApp&) override { Note("dlg.More"); }

 private:
  int aboutRuns_ = 0;
  int optionsRuns_ = 0;
};
