#pragma once

#include <cstdint>
#include <string>

#include "core_types.h"

// The window-system operations that capture and switching need. The Win32 side maps each one
// onto the USER32 function named beside it; results that the logic ignores are not returned.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual WindowId FirstWindow(WindowId from) = 0;  // GetWindow(from, GW_HWNDFIRST)
  virtual WindowId NextWindow(WindowId w) = 0;      // GetWindow(w, GW_HWNDNEXT); 0 ends a walk
  // Titles are Unicode and are kept as UTF-8; lengths count UTF-16 units, as the system does.
  // GetWindowTextW(w, buffer, bufferChars): at most bufferChars - 1 units, one fewer when the
  // cut would split a surrogate pair (neither half is kept).
  virtual std::string ReadTitle(WindowId w, int bufferChars) = 0;
  virtual int TitleLength(WindowId w) = 0;  // GetWindowTextLengthW
  virtual bool IsVisible(WindowId w) = 0;   // IsWindowVisible
  virtual bool Exists(WindowId w) = 0;      // IsWindow
  // DwmGetWindowAttribute(DWMWA_CLOAKED): visible to the window system, yet not on the screen.
  // False where the system does not cloak windows.
  virtual bool IsCloaked(WindowId w) = 0;
  virtual void Show(WindowId w) = 0;  // ShowWindow(w, SW_SHOW)
  virtual void Hide(WindowId w) = 0;  // ShowWindow(w, SW_HIDE)
  // ShowWindow(w, SW_SHOWNA): a hidden window comes up on top of the others and hears
  // WM_SHOWWINDOW (SetWindowPos sends none); activation stays where it is.
  virtual void ShowNoActivate(WindowId w) = 0;
  virtual void Activate(WindowId w) = 0;      // SetActiveWindow
  virtual void BringToFront(WindowId w) = 0;  // SetForegroundWindow

  // The calls above wait for the window's thread when it belongs to another program, and so do
  // Answers and Settle; while they wait, messages other threads send to this one are handled
  // (the tray's clicks among them), so a caller holds no reference into its lists across them.
  // The others below never wait: they are queued for that thread and take effect when it next
  // takes messages.
  virtual std::uint32_t ThreadOf(WindowId w) = 0;  // GetWindowThreadProcessId
  // Whether w's thread takes messages now: not IsHungAppWindow, and a WM_NULL sent with
  // SendMessageTimeout(SMTO_ABORTIFHUNG) answered within a few tens of milliseconds.
  virtual bool Answers(WindowId w) = 0;
  // The same question with a limit of seconds, asked after queueing calls: a sent message is
  // taken after what was queued before it, so the thread has then worked through them.
  virtual bool Settle(WindowId w) = 0;
  virtual void ShowAsync(WindowId w) = 0;  // ShowWindowAsync(w, SW_SHOW)
  // ShowWindowAsync(w, SW_SHOWNA): see ShowNoActivate.
  virtual void ShowNoActivateAsync(WindowId w) = 0;
  // ShowWindowAsync(w, SW_HIDE). False when the system refuses it: a program of lower integrity
  // may not hide an elevated program's window, which then stays visible.
  virtual bool HideAsync(WindowId w) = 0;
  // What recognises a window again after this process has gone and its handle may name another.
  virtual std::uint32_t ProcessOf(WindowId w) = 0;  // GetWindowThreadProcessId; 0 when none
  virtual std::string ClassOf(WindowId w) = 0;      // GetClassNameA, up to 256 characters
  // The file name of the window's program ("notepad.exe", UTF-8), from
  // QueryFullProcessImageNameW; empty when the process cannot be asked (another user's).
  virtual std::string ProgramOf(WindowId w) = 0;
  // What a send or a pin acts on: the window the user works in, and the window that owns it
  // (itself when it has no owner) with the tool windows and dialogs it owns.
  virtual WindowId Foreground() = 0;           // GetForegroundWindow; 0 when none
  virtual WindowId RootOwner(WindowId w) = 0;  // GetWindow(GW_OWNER) to the end; w when unowned
};
