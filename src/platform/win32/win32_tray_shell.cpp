#include "platform/win32/win32_tray_shell.h"

#include <cstring>

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_system.h"
#include "res/resource.h"

#ifndef _WIN64
static_assert(Win32TrayShell::kIconRecordSize == 88, "the program hands over the 88-byte record");
#endif

namespace {

constexpr UINT kTrayNotify = WM_USER + 1;
constexpr char kTip[] = "veilswitcher";

// Every number the menu carries is below 32768, so the 16-bit item id holds it unchanged.
UINT_PTR ItemId(std::uint32_t id) {
  return static_cast<UINT_PTR>(id);
}

}  // namespace

Win32TrayShell::Win32TrayShell() {
  std::memset(&record_, 0, sizeof(record_));
}

bool Win32TrayShell::AddIcon(WindowId owner) {
  record_.cbSize = kIconRecordSize;
  record_.hWnd = ToHwnd(owner);
  record_.uID = 0;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record_.uCallbackMessage = kTrayNotify;
  // The picture drawn for the size the shell asks for, not the 32-pixel one shrunk. A shared icon
  // of the module: never handed to DestroyIcon.
  record_.hIcon = static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  std::memcpy(record_.szTip, kTip, sizeof(kTip));
  return Shell_NotifyIconA(NIM_ADD, &record_) != FALSE;
}

void Win32TrayShell::RemoveIcon() {
  Shell_NotifyIconA(NIM_DELETE, &record_);
}

std::uint32_t Win32TrayShell::TaskbarCreatedMessage() {
  return RegisterWindowMessageA("TaskbarCreated");
}

void Win32TrayShell::AddIconAgain() {
  if (record_.cbSize != 0) Shell_NotifyIconA(NIM_ADD, &record_);
}

void Win32TrayShell::ReplaceIcon(HICON icon, const char* tip) {
  record_.hIcon = icon;
  lstrcpynA(record_.szTip, tip, sizeof(record_.szTip));
  if (record_.cbSize != 0) Shell_NotifyIconA(NIM_MODIFY, &record_);
}

void Win32TrayShell::TrackDesktopMenu(const DesktopMenuModel& model, WindowId owner) {
  HMENU popup = BuildMenu(model);
  POINT at = {};
  GetCursorPos(&at);
  // With its owner in the foreground the menu closes when the user clicks elsewhere.
  SetForegroundWindow(ToHwnd(owner));
  TrackPopupMenu(popup, 0, at.x, at.y, 0, ToHwnd(owner), nullptr);
}

HMENU Win32TrayShell::BuildMenu(const DesktopMenuModel& model) {
  DestroySubmenus();
  if (popup_ != nullptr) DestroyMenu(popup_);
  popup_ = CreatePopupMenu();
  for (const DesktopSubmenu& desktop : model.desktops) AppendDesktop(desktop);
  AppendMenuA(popup_, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(popup_, MF_STRING, IDM_MORE, "More options...");
  AppendMenuA(popup_, MF_STRING, IDM_ABOUT, "About");
  AppendMenuA(popup_, MF_STRING, IDM_EXIT, "Exit");
  return popup_;
}

void Win32TrayShell::AppendDesktop(const DesktopSubmenu& desktop) {
  HMENU submenu = CreatePopupMenu();
  submenus_.push_back(submenu);
  AppendMenuA(popup_, MF_STRING, ItemId(desktop.itemId), desktop.name.c_str());
  for (const MenuEntry& entry : desktop.entries) AppendEntry(submenu, entry);
  // The desktop's item was appended as a command; now it opens the submenu, checked when current.
  UINT flags = MF_BYCOMMAND | MF_POPUP | (desktop.current ? MF_CHECKED : 0u);
  ModifyMenuA(popup_, static_cast<UINT>(desktop.itemId), flags, reinterpret_cast<UINT_PTR>(submenu),
              desktop.name.c_str());
}

// Titles are Unicode; the program's own notes stay 8-bit, as its every other text.
void Win32TrayShell::AppendEntry(HMENU submenu, const MenuEntry& entry) {
  const UINT flags = entry.enabled ? MF_STRING : MF_DISABLED | MF_GRAYED;
  if (!entry.title) {
    AppendMenuA(submenu, flags, ItemId(entry.id), entry.text.c_str());
    return;
  }
  WideText text = Utf8ToWide(MenuItemText(entry.text));
  text.push_back(L'\0');
  AppendMenuW(submenu, flags, ItemId(entry.id), text.data());
}

void Win32TrayShell::DestroySubmenus() {
  for (HMENU submenu : submenus_) DestroyMenu(submenu);
  submenus_.clear();
}

void Win32TrayShell::DestroyMenus() {
  DestroySubmenus();
  if (popup_ != nullptr) DestroyMenu(popup_);
  popup_ = nullptr;
}
