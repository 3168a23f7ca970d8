#pragma once

#include <cstdint>
#include <list>
#include <set>
#include <string>
#include <vector>

#include "app/platform.h"
#include "commands/command_messages.h"
#include "commands/desktop_list_json.h"
#include "desktops/desktop_table.h"
#include "desktops/pinned_windows.h"
#include "desktops/window_capture.h"
#include "rules/rule_engine.h"
#include "rules/rule_rows.h"
#include "rules/window_rules.h"
#include "settings/hidden_journal.h"
#include "settings/more_options.h"
#include "settings/options.h"
#include "settings/registry_settings.h"

constexpr const char* kInfoCaption = "Attention 8-|";
constexpr const char* kErrorCaption = "Error :(";
constexpr const char* kLockFileName = "veilswitcher.tmp";

// The application: owns the desktop table, the options and every platform resource the program
// takes, and gives them all back in its destructor, which runs on every orderly end.
class CVirtualDeskApp : public FailureReporter,
                        public WindowMessageHandler,
                        public HiddenWindowRescue,
                        public RuleHost {
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
  void CollectWindows(DesktopInfo& desk);
  void RestoreWindow(std::uint32_t itemId);
  void ShowAllWindows();
  // Every window hidden on another desktop is shown here and belongs to this desktop from then on.
  void GatherWindows();
  // Every window the journal holds, shown without waiting on its program: for a crash, where the
  // shutdown will not run. Reads only the published copy of that list and changes nothing.
  void ShowHiddenWindowsNow() override;

  // An operation on the windows and the desktops waits on other programs, and while it waits the
  // hidden window still receives what is sent to it (the tray's clicks above all). Every such
  // operation runs through RunOperation: what arrives meanwhile (tray notifications, commands,
  // WM_CLOSE, "TaskbarCreated", hotkeys) is kept and handled in order once the outermost one has
  // ended, so no operation ever runs inside another one's wait.
  template <typename Fn>
  void RunOperation(Fn&& operation) {
    ++operationDepth_;
    operation();
    if (--operationDepth_ == 0) HandleDeferred();
  }
  bool InOperation() const { return operationDepth_ > 0; }
  // The windows whose last show or hide is still queued for a program that has not answered.
  const PendingCalls& PendingWindows() const { return pending_; }

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

  // Beyond switching: sending and pinning the foreground window, the last desktop.
  // current +1/-1, wrapping round when WrapAround is on; 0 when there is none.
  DesktopNumber NeighbourDesktop(int step) const;
  // The desktop current before the last switch; 0 when there is none.
  DesktopNumber LastDesktop() const;
  bool SwitchToLastDesktop();  // false when there is none
  // Sends the foreground window's owner with the windows it owns to `target`, on top of its
  // list; with `follow` the view goes along. False when nothing was sent.
  bool SendForegroundWindow(DesktopNumber target, bool follow);
  bool TogglePinForeground();  // false when the foreground window cannot be pinned
  // The same for window `w` and its group, as a script names it.
  bool SendWindowAround(WindowId w, DesktopNumber target, bool follow);
  bool TogglePinOf(WindowId w);
  // The same for a given window that owns its group: false when nothing was sent or pinned.
  bool SendWindow(WindowId root, DesktopNumber target, bool follow);
  bool PinWindow(WindowId root);  // a pinned window stays pinned

  // Window rules: read again from the store, and watched for only while some rule is stored.
  void RulesChanged();
  bool Capturable(WindowId w) override;
  bool Busy() override { return UserInterfaceOpen(); }
  Outcome Apply(WindowId w, const WindowRule& rule, bool mayFollow) override;
  bool IsPinned(WindowId w) const { return pins_.Holds(w); }
  MoreOptions GetMoreOptions() const { return more_; }
  void ApplyMoreOptions(const MoreOptions& more);
  // The roles of the extras' hotkeys that are set but could not be registered, separated by
  // commas; empty when every one is active.
  std::string InactiveHotkeys() const;
  // True while a dialog, a message box or the tray menu of the program is open.
  bool UserInterfaceOpen() const { return openInterfaces_ != 0; }
  void RefreshTrayNumber();

  // The window rules as the rules dialog edits them: read afresh and stored whole at each change.
  std::vector<WindowRule> Rules() { return LoadRules(p_.store); }
  bool StoreRules(const std::vector<WindowRule>& rules) { return SaveRules(p_.store, rules); }
  std::vector<std::string> RuleRow(const WindowRule& rule) const;
  // Every unowned window of every desktop, each once: those visible now (pinned ones too)
  // top-down, then the other desktops' lists in desktop order.
  std::vector<OpenWindow> OpenWindows();

  // The tray icon and its menu.
  void AddTrayIcon();
  void ShowDesktopMenu();

  // The hidden window's procedure.
  bool OnWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                       std::intptr_t* result) override;

  // A request of the command-line client (WM_COPYDATA from `sender`): carried out like the
  // matching hotkey and answered to `sender`; gives the message's result (kRequest...).
  std::intptr_t OnCopyData(WindowId sender, const CopyData& copy);

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
  void EndSession(bool closeApp);
  struct DeferredMessage {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };
  bool Deferrable(std::uint32_t message, std::intptr_t lParam) const;
  bool HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                     std::intptr_t* result);
  void HandleDeferred();
  void KeysPressedMeanwhileFirst();
  void MatchHotkeyNow(std::uint32_t lParam);
  void SwitchNow(DesktopNumber target);
  bool CaptureAndHide(DesktopNumber leaving);
  void SettlePending();
  void NoteOutcome(const PassOutcome& outcome, const WindowIds& ids, DesktopNumber desk);
  void ShowDeletedDesktop(DesktopNumber n);
  void OnCommand(std::uint32_t command);
  void OnTrayNotify(std::intptr_t mouseMessage);
  void RunAboutBox();
  void RunOptionsDialog();
  void RecoverHiddenWindows();
  void RecoverWindow(const JournalRecord& record, ThreadProbe& probe);
  bool StillOurs(const JournalRecord& record);
  WindowEntry RecoveredEntry(const JournalRecord& record);
  void Identify(std::list<WindowEntry>& entries);
  bool Impostor(const WindowEntry& entry);
  void DropImpostors(std::list<WindowEntry>& entries);
  // Journals the windows hidden now, or with kEveryList every listed window: what an operation
  // is about to hide, written before it hides anything.
  static constexpr DesktopNumber kEveryList = 0;
  void RecordHiddenWindows() { RecordHiddenWindows(current_); }
  void RecordHiddenWindows(DesktopNumber shown);
  bool HotkeyHeldElsewhere(HotkeyCode code);
  std::string DesktopHotkeyClash(const char* which, HotkeyCode code) const;
  bool TakeQueuedHotkeys();  // true when there were any
  bool CarryOut(WindowId sender, const Command& command);
  std::intptr_t Answer(WindowId sender, const Reply& reply);  // kRequestNotTaken: not delivered
  Reply RunCommand(const Command& command, DesktopNumber* then);
  Reply SwitchCommand(const Command& command, DesktopNumber* then);
  Reply SendCommand(const Command& command, DesktopNumber* then);
  Reply ApplyRulesCommand(DesktopNumber* then);
  bool OnRulesMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  bool FindTarget(const Command& command, DesktopNumber* target, std::string* why) const;
  DesktopNumber DesktopCalled(const std::string& name) const;  // 0 when none is
  DesktopListing ListDesktops();
  ListedWindow Described(WindowId w, const std::string& title);
  // Tells every watcher; one that does not take the line at once is forgotten.
  void Tell(const char* event, const std::string& more = std::string());
  std::string DesktopNames();
  std::string LineNow(const char* event, const std::string& more);
  void RunMoreOptionsDialog();
  void RegisterExtraHotkeys();
  void UnregisterExtraHotkeys();
  bool MatchExtraHotkey(std::uint32_t mods, std::uint32_t key);
  bool HeldByExtra(HotkeyCode code) const;
  void SkipHeldWindows(DesktopInfo& desk, std::size_t before);
  std::list<WindowEntry> GroupOf(WindowId root);
  std::list<WindowEntry> GroupAround(WindowId w, WindowId* root);
  bool TakeAlone(WindowId w, DesktopInfo* alone);
  void TellPin(WindowId root, bool pinned);
  void HideOnto(std::list<WindowEntry> group, DesktopNumber target);
  bool CanSendTo(DesktopNumber target) const;
  bool SendGroup(WindowId root, std::list<WindowEntry> group, DesktopNumber target, bool follow);
  void DropFromLists(const std::set<WindowId>& windows);
  void NoteSwitch(DesktopNumber from, DesktopNumber to);
  void NoteDelete(DesktopNumber deleted);

  Platform p_;
  RegistrySettings settings_;
  HiddenJournal journal_;
  RescueList rescue_;
  PendingCalls pending_;
  int operationDepth_ = 0;
  std::vector<DeferredMessage> deferred_;  // a few at most, oldest first
  bool draining_ = false;
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
  bool moreOpen_ = false;
  int openInterfaces_ = 0;  // dialogs, boxes and menus open now, nested
  MoreOptions more_;
  PinnedWindows pins_;
  DesktopNumber last_ = 0;
  struct ExtraHotkey {
    int id;
    HotkeyCode code;
    int action;  // what MatchExtraHotkey does with it
    DesktopNumber desktop;
    bool active;
  };
  std::vector<ExtraHotkey> extraHotkeys_;
  std::vector<WindowId> watchers_;  // clients of /watch, by their windows
  std::string modulePath_;
  RuleEngine rules_;
};
