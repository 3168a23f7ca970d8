#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/virtual_desk_app.h"
#include "fakes/fake_hotkey_registrar.h"
#include "fakes/fake_process.h"
#include "fakes/fake_settings_store.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_tray_and_dialogs.h"
#include "fakes/fake_window_events.h"
#include "fakes/fake_window_system.h"
#include "fakes/timeline.h"

// Every fake of the platform, sharing one timeline, and the application object built over them.
class AppHarness {
 public:
  AppHarness();
  ~AppHarness();

  // Builds the application object (when there is none) and runs InitInstance; the empty queue
  // ends the message loop at once. Gives the exit code when the process ended through Exit.
  std::optional<int> Start();
  // Destroys the application object, which is the shutdown of a process that exits.
  void Stop();
  CVirtualDeskApp& app() { return *app_; }
  Platform platform();

  // A key press: reaches MatchHotkey only for a combination this thread registered.
  bool Press(std::uint32_t modifiers, std::uint32_t key);
  std::vector<std::string> Titles(DesktopNumber n);  // titles of a desktop's list, in order
  std::vector<std::string> Names();                  // desktop names in number order
  std::vector<HotkeyCode> Hotkeys();
  std::vector<WindowId> OpenWindows(const std::vector<std::string>& bottomToTop);

  Timeline timeline;
  FakeWindowSystem windows;
  FakeSettingsStore store;
  FakeHotkeyRegistrar hotkeys;
  FakeNoticeTip notice;
  FakeMessageBoxes boxes;
  FakeProcess process;
  FakeWindowHost host{windows};
  FakeTrayShell tray{host};
  FakeDialogRunner dialogs;
  FakeTrayNumber trayNumber;
  FakeWindowEvents events{windows, host};

 private:
  std::unique_ptr<CVirtualDeskApp> app_;
};
