#pragma once

#include <cstdint>
#include <string>

#include "app/platform.h"
#include "commands/command_messages.h"
#include "commands/desktop_list_json.h"
#include "desktops/desktop_table.h"
#include "settings/hidden_journal.h"
#include "settings/options.h"
#include "settings/registry_settings.h"

constexpr const char* kInfoCaption = "Attention 8-|";
constexpr const char* kErrorCaption = "Error :(";
constexpr const char* kLockFileName = "veilswitcher.tmp";

// The application: owns the desktop table, the options and every platform resource the program
// takes, and gives them all back in its destructor, which runs on every orderly end.
class CVirtualDeskApp : public FailureReporter,
                        public WindowMessageHandler,
                        public HiddenWindowRescue {
 public:
  explicit CVirtualDeskApp(const Platform& platform);
  ~CVirtualDeskApp() override;
  CVirtualDeskApp(const CVirtualDeskApp&) = delete;
  CVirtualDeskApp& operator=(const CVirtualDeskApp&) = delete;

  // Start-up, then the message loop until WM_QUIT. Always returns FALSE.
  int InitInstance();

  int ShowInfo(const char* text);
  int ShowError(const char* text) override;
  [[noreturn]] void FatalError(const char* text) override;

  // The desktop table.
  DesktopInfo& GetDesktop(DesktopNumber n) { return table_.GetDesktop(n); }
  const char* GetDesktopName(DesktopNumber n) const { return table_.GetDesktopName(n); }
  HotkeyCode GetDesktopHotkey(DesktopNumber n) const { return table_.GetDesktopHotkey(n); }
  bool SetDesktopName(DesktopNumber n, const char* name);
  bool SetDesktopHotkey(DesktopNumber n, HotkeyCode code);
  bool DeleteDesktop(DesktopNumber n);
  void ClearWindowList(DesktopNumber n) { table_.ClearWindowList(n); }

  // Capture and switching.
  void SwitchToDesktop(DesktopNumber target);
  void CaptureWindows(DesktopInfo& desk);
  void CollectWindows(DesktopInfo& desk);
  void RestoreWindow(std::uint32_t itemId);
  void ShowAllWindows();
  // Every window of every list, shown without waiting on its program: for a crash, where the
  // shutdown will not run. Reads the table and changes nothing.
  void ShowHiddenWindowsNow() override;

  // Settings.
  void WriteDefaultSettings();
  void LoadSettings();
  void SaveSettings();
  OptionsBlock GetOptions() const { return options_; }
  void ApplyOptions(const OptionsBlock& options);
  // Why these options cannot be applied (a hotkey that clashes with another of the program's or
  // is held by another program), or an empty text when they can.
  std::string OptionsRefusal(const OptionsBlock& options);

  // Hotkeys.
  void RegisterHotkeys();
  void UnregisterHotkeys();
  void MatchHotkey(std::uint32_t lParam);

  void ShowDesktopNotice();

  // The tray icon and its menu.
  void AddTrayIcon();
  void ShowDesktopMenu();

  // The hidden window's procedure.
  bool OnWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                       std::intptr_t* result) override;

  // A request of the command-line client (WM_COPYDATA from `sender`): carried out like the
  // matching hotkey and answered to `sender`; gives the message's result (kRequest...).
  std::intptr_t OnCopyData(WindowId sender, const CopyData& copy);
  // True while a dialog, a message box or the tray menu of the program is open.
  bool UserInterfaceOpen() const { return userInterfaceOpen_ > 0; }

  DesktopNumber CurrentDesktop() const { return current_; }
  const DesktopTable& Table() const { return table_; }
  bool IsDirty() const { return dirty_; }
  WindowId HiddenWindow() const { return hiddenWindow_; }
  const std::string& ModulePath() const { return modulePath_; }

 private:
  void InitEnvironment();
  void TakeInstanceLock();
  void CreateHiddenWindow();
  void RunMessageLoop();
  void Shutdown();
  void OnCommand(std::uint32_t command);
  void OnTrayNotify(std::intptr_t mouseMessage);
  void RunAboutBox();
  void RunOptionsDialog();
  void RecoverHiddenWindows();
  bool StillHiddenAsRecorded(const JournalRecord& record);
  void RecordHiddenWindows();
  bool HotkeyHeldElsewhere(HotkeyCode code);
  std::string DesktopHotkeyClash(const char* which, HotkeyCode code) const;
  Reply RunCommand(const Command& command);
  Reply SwitchCommand(const Command& command);
  void RunAfterAnswer(const Command& command);
  bool FindTarget(const Command& command, DesktopNumber* target, std::string* why) const;
  DesktopListing ListDesktops();

  Platform p_;
  RegistrySettings settings_;
  HiddenJournal journal_;
  KnownIdentities identities_;  // of the windows in the lists, for the journal
  DesktopNumber current_ = 0;
  OptionsBlock options_;
  WindowId hiddenWindow_ = 0;
  DesktopTable table_;
  bool lockTaken_ = false;
  bool dirty_ = false;
  bool settingsLoaded_ = false;
  bool shutDown_ = false;
  // Only a copy that has read the journal may write it: a refused second copy must leave the
  // running copy's journal alone.
  bool journalRead_ = false;
  std::uint32_t taskbarCreated_ = 0;  // the shell's registered message, once the icon is added
  // Nested loops of dialogs and menus still dispatch to the hidden window: each dialog opens once.
  bool aboutOpen_ = false;
  bool optionsOpen_ = false;
  int userInterfaceOpen_ = 0;  // dialogs, boxes and menus open now, nested ones counted
  std::string modulePath_;
};
