#include "platform/win32/win32_window_events.h"

#include "app/platform.h"

namespace {

// The callback has no context of its own; the program has one hidden window.
HWND g_target = nullptr;

// Only top-level windows themselves: not their parts, not child windows.
void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                         DWORD) {
  if (window == nullptr || object != OBJID_WINDOW || child != CHILDID_SELF || g_target == nullptr)
    return;
  if (GetAncestor(window, GA_PARENT) != GetDesktopWindow()) return;
  const WPARAM kind =
      event == EVENT_OBJECT_CREATE ? WindowEvents::kCreated : WindowEvents::kChanged;
  PostMessageA(g_target, msg::kWindowEvent, kind, reinterpret_cast<LPARAM>(window));
}

HWINEVENTHOOK Hook(DWORD event) {
  return SetWinEventHook(event, event, nullptr, OnWinEvent, 0, 0,
                         WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
}

void Unhook(HWINEVENTHOOK* hook) {
  if (*hook != nullptr) UnhookWinEvent(*hook);
  *hook = nullptr;
}

}  // namespace

Win32WindowEvents::~Win32WindowEvents() {
  Follow(false);
  WatchCreation(false);
}

bool Win32WindowEvents::WatchCreation(bool on) {
  if (!on) {
    Unhook(&creation_);
    return true;
  }
  g_target = host_.HiddenWindow();
  if (creation_ == nullptr) creation_ = Hook(EVENT_OBJECT_CREATE);
  return creation_ != nullptr;
}

// A window followed on a system that tells of its showing and retitling is tried at once; the
// timer catches what a system does not tell.
void Win32WindowEvents::Follow(bool on) {
  HWND hidden = host_.HiddenWindow();
  if (!on) {
    Unhook(&show_);
    Unhook(&rename_);
    if (hidden != nullptr) KillTimer(hidden, kFollowTimerId);
    return;
  }
  if (show_ == nullptr) show_ = Hook(EVENT_OBJECT_SHOW);
  if (rename_ == nullptr) rename_ = Hook(EVENT_OBJECT_NAMECHANGE);
  if (hidden != nullptr) SetTimer(hidden, kFollowTimerId, kFollowMilliseconds, nullptr);
}
