#include "platform/win32/win32_window_system.h"

#include "platform/win32/win32_text.h"

namespace {

// Long enough for a busy program to answer, short enough that a switch hardly notices one that
// does not; asked once per thread.
constexpr UINT kProbeMs = 50;
// Long enough for a program to work through a thousand queued hides on a loaded machine.
constexpr UINT kSettleMs = 2000;
constexpr DWORD kDwmCloakedAttribute = 14;  // DWMWA_CLOAKED, Windows 8 and later

using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

// dwmapi is loaded at run time: where it, or the attribute, is missing no window is cloaked.
// Plain statics, looked up at the first call: the program's one thread is the only caller, and a
// guarded initialiser would bring the library's thread-safe guard along.
DwmGetWindowAttributeFn DwmAttributeReader() {
  static bool lookedUp = false;
  static DwmGetWindowAttributeFn reader = nullptr;
  if (!lookedUp) {
    lookedUp = true;
    HMODULE dwm = LoadLibraryA("dwmapi.dll");
    if (dwm != nullptr)
      reader = reinterpret_cast<DwmGetWindowAttributeFn>(
          reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute")));
  }
  return reader;
}

// Windows posts ShowWindowAsync's request even for a window of the calling thread, where it runs
// only when this thread next takes messages, after whatever it does meanwhile (a dialog of the
// program hidden by a switch and shown again would end hidden). Such windows get the direct call.
BOOL ShowSoon(HWND w, int command) {
  if (GetWindowThreadProcessId(w, nullptr) != GetCurrentThreadId())
    return ShowWindowAsync(w, command);
  ShowWindow(w, command);  // answers the old visibility, not whether it worked
  return TRUE;
}

}  // namespace

WindowId Win32WindowSystem::FirstWindow(WindowId from) {
  return ToWindowId(GetWindow(ToHwnd(from), GW_HWNDFIRST));
}

WindowId Win32WindowSystem::NextWindow(WindowId w) {
  return ToWindowId(GetWindow(ToHwnd(w), GW_HWNDNEXT));
}

// A high surrogate at the end is half of a pair the buffer cut: converted alone it would turn
// into a replacement character.
std::string Win32WindowSystem::ReadTitle(WindowId w, int bufferChars) {
  if (bufferChars <= 0) return std::string();
  WideText buffer(static_cast<size_t>(bufferChars), L'\0');
  int copied = GetWindowTextW(ToHwnd(w), buffer.data(), bufferChars);
  if (copied <= 0) return std::string();
  if (copied >= bufferChars) copied = bufferChars - 1;
  if (IS_HIGH_SURROGATE(buffer[static_cast<size_t>(copied) - 1])) --copied;
  return WideToUtf8(buffer.data(), copied);
}

int Win32WindowSystem::TitleLength(WindowId w) {
  return GetWindowTextLengthW(ToHwnd(w));
}

bool Win32WindowSystem::IsVisible(WindowId w) {
  return IsWindowVisible(ToHwnd(w)) != FALSE;
}

bool Win32WindowSystem::Exists(WindowId w) {
  return IsWindow(ToHwnd(w)) != FALSE;
}

void Win32WindowSystem::Show(WindowId w) {
  ShowWindow(ToHwnd(w), SW_SHOW);
}

void Win32WindowSystem::Hide(WindowId w) {
  ShowWindow(ToHwnd(w), SW_HIDE);
}

void Win32WindowSystem::Activate(WindowId w) {
  SetActiveWindow(ToHwnd(w));
}

std::uint32_t Win32WindowSystem::ProcessOf(WindowId w) {
  DWORD process = 0;
  GetWindowThreadProcessId(ToHwnd(w), &process);
  return process;
}

std::string Win32WindowSystem::ClassOf(WindowId w) {
  char name[257] = {};  // a class name has at most 256 characters
  int copied = GetClassNameA(ToHwnd(w), name, sizeof(name));
  return copied > 0 ? std::string(name, static_cast<size_t>(copied)) : std::string();
}

std::string Win32WindowSystem::ProgramOf(WindowId w) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessOf(w));
  if (process == nullptr) return std::string();
  wchar_t path[MAX_PATH * 4] = {};  // long paths included
  DWORD chars = MAX_PATH * 4;
  const BOOL read = QueryFullProcessImageNameW(process, 0, path, &chars);
  CloseHandle(process);
  if (!read) return std::string();
  DWORD name = chars;
  while (name > 0 && path[name - 1] != L'\\' && path[name - 1] != L'/') --name;
  return WideToUtf8(path + name, static_cast<int>(chars - name));
}

void Win32WindowSystem::BringToFront(WindowId w) {
  SetForegroundWindow(ToHwnd(w));
}

bool Win32WindowSystem::IsCloaked(WindowId w) {
  const DwmGetWindowAttributeFn read = DwmAttributeReader();
  DWORD cloaked = 0;
  return read && read(ToHwnd(w), kDwmCloakedAttribute, &cloaked, sizeof cloaked) == S_OK &&
         cloaked != 0;
}

std::uint32_t Win32WindowSystem::ThreadOf(WindowId w) {
  return GetWindowThreadProcessId(ToHwnd(w), nullptr);
}

// Without SMTO_BLOCK: while it waits, messages that other programs send to this one (activation
// handed on as windows hide) are still taken, so neither side waits on the other.
bool Win32WindowSystem::Answers(WindowId w) {
  if (IsHungAppWindow(ToHwnd(w))) return false;
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(ToHwnd(w), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kProbeMs, &result) != 0;
}

bool Win32WindowSystem::Settle(WindowId w) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(ToHwnd(w), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSettleMs, &result) != 0;
}

void Win32WindowSystem::ShowAsync(WindowId w) {
  ShowSoon(ToHwnd(w), SW_SHOW);
}

void Win32WindowSystem::ShowNoActivate(WindowId w) {
  ShowWindow(ToHwnd(w), SW_SHOWNA);
}

void Win32WindowSystem::ShowNoActivateAsync(WindowId w) {
  ShowSoon(ToHwnd(w), SW_SHOWNA);
}

// A program of lower integrity is refused the window of an elevated one (access denied).
bool Win32WindowSystem::HideAsync(WindowId w) {
  return ShowSoon(ToHwnd(w), SW_HIDE) != FALSE;
}

WindowId Win32WindowSystem::Foreground() {
  return ToWindowId(GetForegroundWindow());
}

// GetAncestor(GA_ROOTOWNER) follows GetParent, which names the owner of a WS_POPUP window only:
// an owned overlapped window would be its own root. The owners are followed one by one instead,
// a bounded number of steps.
WindowId Win32WindowSystem::RootOwner(WindowId w) {
  HWND root = ToHwnd(w);
  for (int step = 0; step < 64; ++step) {
    HWND owner = GetWindow(root, GW_OWNER);
    if (owner == nullptr) break;
    root = owner;
  }
  return ToWindowId(root);
}
