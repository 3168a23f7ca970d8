#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core_types.h"

class WindowSystem;
class SettingsStore;
class HotkeyRegistrar;
class NoticeTip;
class TrayShell;
class DialogRunner;
class TrayNumber;
class WindowEvents;

// Message numbers the program's logic handles, with their Win32 values.
namespace msg {
constexpr std::uint32_t kCreate = 0x0001;    // WM_CREATE
constexpr std::uint32_t kClose = 0x0010;     // WM_CLOSE
constexpr std::uint32_t kCopyData = 0x004A;  // WM_COPYDATA: wParam the sender, lParam a CopyData
constexpr std::uint32_t kSettingChange = 0x001A;    // WM_SETTINGCHANGE
constexpr std::uint32_t kNcCreate = 0x0081;         // WM_NCCREATE
constexpr std::uint32_t kQueryEndSession = 0x0011;  // WM_QUERYENDSESSION
constexpr std::uint32_t kEndSession = 0x0016;       // WM_ENDSESSION: wParam TRUE when it ends
constexpr std::intptr_t kEndSessionCloseApp = 0x1;  // ENDSESSION_CLOSEAPP in its lParam
constexpr std::uint32_t kCommand = 0x0111;          // WM_COMMAND
constexpr std::uint32_t kHotkey = 0x0312;           // WM_HOTKEY
constexpr std::uint32_t kTrayNotify = 0x0401;       // WM_USER + 1
constexpr std::uint32_t kWindowEvent = 0x0402;      // WM_USER + 2: see WindowEvents
constexpr std::uint32_t kTimer = 0x0113;            // WM_TIMER: wParam the timer's id
constexpr std::intptr_t kLButtonDown = 0x0201;      // WM_LBUTTONDOWN, as the tray reports it
constexpr std::intptr_t kRButtonDown = 0x0204;      // WM_RBUTTONDOWN
}  // namespace msg

// What a WM_COPYDATA carried, as the window host hands it on: `size` bytes at `data`, nothing past
// them, and only for the time of the call.
struct CopyData {
  std::uintptr_t tag = 0;  // dwData
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
};

// MessageBoxA with no owner window.
class MessageBoxes {
 public:
  static constexpr unsigned kOk = 0x0;          // MB_OK
  static constexpr unsigned kIconError = 0x10;  // MB_ICONERROR
  virtual ~MessageBoxes() = default;
  virtual int ShowBox(const char* text, const char* caption, unsigned style) = 0;
};

// What the program needs of its own process.
class ProcessServices {
 public:
  virtual ~ProcessServices() = default;
  virtual std::string ModulePath() = 0;  // GetModuleFileNameA(NULL, buffer, 275)
  // GetTempPathA: the whole path however long it is, or false when the call fails.
  virtual bool TempDirectory(std::string* dir) = 0;
  // CreateFileA(path, GENERIC_READ, no sharing, OPEN_ALWAYS, delete-on-close | temporary);
  // the handle is held until CloseLockFile.
  virtual bool OpenLockFile(const std::string& path) = 0;
  virtual void CloseLockFile() = 0;
  // A named mutex of this user in the session's own namespace: the lock file lives in %TEMP%,
  // which differs between shells of one session, while the journal is the user's. False when
  // another copy of this session holds it. Held until ReleaseSessionLock.
  virtual bool TakeSessionLock() = 0;
  virtual void ReleaseSessionLock() = 0;
  virtual std::uint32_t SessionId() = 0;          // ProcessIdToSessionId of this process
  virtual void Pause(unsigned milliseconds) = 0;  // Sleep
  [[noreturn]] virtual void Exit(int code) = 0;   // the C runtime's exit: static destructors run
  // The process's 8-bit text (its ANSI code page) as UTF-8: MultiByteToWideChar(CP_ACP) and
  // WideCharToMultiByte(CP_UTF8).
  virtual std::string ToUtf8(const std::string& text) = 0;
};

// Receives the hidden window's messages; false passes a message to the default procedure.
class WindowMessageHandler {
 public:
  virtual ~WindowMessageHandler() = default;
  virtual bool OnWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                               std::intptr_t* result) = 0;
};

// What a crash of the program may still do: run by the platform's last-chance handler while the
// program's own state may be broken, so it only reads and waits for nothing.
class HiddenWindowRescue {
 public:
  virtual ~HiddenWindowRescue() = default;
  virtual void ShowHiddenWindowsNow() = 0;
};

// The hidden window and the thread's message loop.
class WindowHost {
 public:
  virtual ~WindowHost() = default;
  // RegisterClassA for "veilswitcherApp" with a procedure that forwards to `handler`.
  virtual bool RegisterHiddenClass(WindowMessageHandler* handler) = 0;
  virtual WindowId CreateHiddenWindow() = 0;  // CreateWindowExA; 0 on failure
  // GetMessageA(&m, NULL, 0, 0); false once WM_QUIT arrives.
  virtual bool NextMessage(std::uint32_t* message, std::uint32_t* lParam) = 0;
  virtual void DispatchCurrent() = 0;  // TranslateMessage and DispatchMessageA of that message
  virtual void PostQuit() = 0;         // PostQuitMessage(0)
  // WM_COPYDATA of `bytes` under `tag` to window `to`, with SendMessageTimeout: a client that
  // has stopped taking messages holds the program up for a second at most. True when the
  // window took the data (its procedure answered non-zero in time).
  virtual bool SendData(WindowId to, std::uintptr_t tag, const std::string& bytes) = 0;
  // The same for a watcher's line, bounded far tighter: a watcher that does not take it at once
  // (gone, hung, slow) is told nothing and the program goes on. SMTO_BLOCK as above.
  virtual bool Notify(WindowId to, std::uintptr_t tag, const std::string& bytes) = 0;
  // ReplyMessage(result): the thread that sent the message being handled goes on now, as if the
  // handler had returned `result`; what the handler does afterwards no longer holds it up. Only
  // the first release of a message counts: later ones, and the handler's result, go nowhere.
  virtual void ReleaseSender(std::intptr_t result) = 0;
  // PeekMessageA(&m, NULL, WM_HOTKEY, WM_HOTKEY, PM_REMOVE): the oldest hotkey press still
  // queued, taken out of the queue; false when there is none.
  virtual bool TakeQueuedHotkey(std::uint32_t* lParam) = 0;
};

struct Platform {
  WindowSystem& windows;
  SettingsStore& store;
  HotkeyRegistrar& hotkeys;
  NoticeTip& notice;
  MessageBoxes& boxes;
  ProcessServices& process;
  WindowHost& host;
  TrayShell& tray;
  DialogRunner& dialogs;
  TrayNumber& trayNumber;
  WindowEvents& events;
};
