#include "fakes/fake_tray_and_dialogs.h"

bool FakeTrayShell::AddIcon(WindowId owner) {
  Note("tray.Add");
  if (failAdd_ || owner == 0 || area_->owners.count(owner) != 0) return false;
  area_->owners.insert(owner);
  owner_ = owner;
  return true;
}

// NIM_DELETE with this record: the shell removes whatever icon the record names, if any.
void FakeTrayShell::RemoveIcon() {
  Note("tray.Remove");
  area_->owners.erase(owner_);
}

void FakeTrayShell::TrackDesktopMenu(const DesktopMenuModel& model, WindowId owner) {
  Note("tray.Track");
  menusAlive_ = 1 + static_cast<int>(model.desktops.size());  // the popup and its submenus
  tracked_.push_back(model);
  if (pick_) host_.Post(owner, kWmCommand, *pick_, 0);
  pick_.reset();
}

void FakeTrayShell::DestroyMenus() {
  Note("tray.DestroyMenus");
  menusAlive_ = 0;
}

void FakeDialogRunner::RunAbout() {
  ++aboutRuns_;
  Note("dlg.About");
  if (onAbout) onAbout();
}

void FakeDialogRunner::RunOptions(CVirtualDeskApp& app) {
  ++optionsRuns_;
  Note("dlg.Options");
  if (onOptions) onOptions(app);
}
