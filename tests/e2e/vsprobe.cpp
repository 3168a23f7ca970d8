// vsprobe: a console helper that the end-to-end tests run beside veilswitcher.exe in the same
// Wine prefix. It plays "another program": it owns windows, presses keys through the system's
// input path, holds hotkeys, and reads back what veilswitcher left in the registry and on screen.
// Every subcommand prints plain lines on stdout and exits 0 on success, 1 when the thing it waits
// for never came, 2 on bad usage.
// clang-format off
#include <windows.h>  // first: commctrl.h and shellapi.h build on it
#include <commctrl.h>
#include <shellapi.h>
// clang-format on

#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "key_input.h"

namespace {

const char kUsage[] =
    "usage: vsprobe COMMAND ...\n"
    "  end-session 0|1                    WM_QUERYENDSESSION, then WM_ENDSESSION (1: CLOSEAPP)\n"
    "  windows PREFIX N [SECONDS [HIDE_MS [freeze]]]  open N windows PREFIX1..PREFIXN, print\n"
    "                                     ready, pump; with HIDE_MS, then heard TITLE 1|0 for\n"
    "                                     each WM_SHOWWINDOW, a hide handled in HIDE_MS; with\n"
    "                                     freeze, the hide suspends veilswitcher's thread for\n"
    "                                     HIDE_MS: frozen, then thawed (or no thread). PREFIX\n"
    "                                     u:HEX is UTF-8 in hex\n"
    "  retitle TITLE LATER                set that window's title to LATER\n"
    "  close TITLE                        post WM_CLOSE to that window\n"
    "  wait-foreground TITLE TIMEOUT_MS   poll until that window is in the foreground\n"
    "  keys COMBO...                      press combos like alt+right, alt+f2, ctrl+shift+x\n"
    "  quick-keys COMBO...                the same, 5 ms apart instead of 30\n"
    "  hang-window TITLE MS               a window whose thread says hanging, takes no\n"
    "                                     messages for MS ms, says awake and pumps again\n"
    "  answers TIMEOUT_MS                 answered or silent: the program's hidden window\n"
    "  visible TITLE...                   1, 0 or missing for each title, one per line\n"
    "  wait-visible 0|1 TIMEOUT_MS TITLE...  poll until every title has that state\n"
    "  regdump KEYPATH [VALUE]            HKCU values as NAME<tab>TYPE<tab>HEX, or missing\n"
    "  regset KEYPATH NAME TYPE HEX...    write HKCU values (TYPE: REG_SZ, REG_BINARY, ...)\n"
    "  msgbox CAPTION TIMEOUT_MS          print a message box's text and press its OK\n"
    "  close-hidden                       post WM_CLOSE to the window of class veilswitcherApp\n"
    "  copydata TAG HEX REPEAT            WM_COPYDATA of HEX repeated to that window from one\n"
    "                                     of ours: reply HEX for each answer, result N\n"
    "  wait-ready TIMEOUT_MS              wait for that window and its thread to go idle\n"
    "  hold-hotkey MODS VK MS             hold a thread hotkey for MS ms: ok or fail, then "
    "presses\n"
    "  tempfile                           exists or absent: %TEMP%\\veilswitcher.tmp\n"
    "  tooltip TIMEOUT_MS                 where another process's tooltip shows, how long\n"
    "  show-tip TEXT MS                   show a notice-like tip of our own for MS ms\n"
    "  hidden                             the handle of the veilswitcherApp window, or missing\n"
    "  tray-icon TIP TIMEOUT_MS           icon X Y: the tray icon whose tip reads TIP (found by\n"
    "                                     hovering), or guess X Y when no tip matched\n"
    "  tray-has HWND ID                   1 or 0: the shell holds the icon HWND/ID\n"
    "  mouse X Y [left|right]             move the mouse there and click that button, if given\n"
    "  menus COUNT TIMEOUT_MS             wait for COUNT open popup menus of other programs and\n"
    "                                     print menu L T R B for each, topmost first\n"
    "  show-menu X Y DOWNS MS ITEM...     a popup menu of our own at X Y, DOWNS items selected\n"
    "                                     with Down: shown L T R B. ITEM: text, -, *checked,\n"
    "                                     ~grayed, submenu>, u:HEX (UTF-8 in hex)\n"
    "  about TIMEOUT_MS                   the About box: count N, box H, text HEX, and\n"
    "                                     ok L T R B (its OK button)\n"
    "  end-program kill|crash|overflow|abort  TerminateProcess; a thread of the program that\n"
    "                                     faults; the program's own thread sent to overflow its\n"
    "                                     stack or to call abort()\n"
    "  taskbar-restart HWND               drop HWND's icon 0 (gone), post TaskbarCreated to HWND\n"
    "  no-tip TIMEOUT_MS                  wait until no tooltip of another program shows\n"
    "  start-as-logon EXE                 CreateProcess(EXE, EXE unquoted as the whole command\n"
    "                                     line), as a logon runs its Run value: started\n"
    "  bare console|none EXE ARG...       run EXE with no standard handles, this probe holding a\n"
    "                                     console of its own or none: started, exit N, and\n"
    "                                     console LINE for each line left in that console\n"
    "  bare prompt EXE ARG...             the same, EXE started as a prompt starts it: in this\n"
    "                                     probe's console, with the console's standard handles\n"
    "Dialog boxes of another process, found by TITLE; ID 0 is the dialog itself, else a control:\n"
    "  wait-gone TIMEOUT_MS TITLE...      wait until no dialog box has any of these titles\n"
    "  dialogs TITLE TIMEOUT_MS           wait for one to show: count N, then topmost first\n"
    "                                     dialog H enabled|disabled OWNER L T R B; workarea\n"
    "                                     L T R B\n"
    "  press-button TITLE ID              post BM_CLICK to button ID\n"
    "  send TITLE ID MSG WPARAM LPARAM    SendMessage with plain-number parameters: result N\n"
    "  post TITLE ID MSG WPARAM LPARAM    PostMessage, for messages that start a modal loop\n"
    "  set-text TITLE ID TEXT             WM_SETTEXT, then text TEXT as read back\n"
    "  text TITLE ID                      text TEXT: the control's text\n"
    "  list TITLE ID COUNT TIMEOUT_MS     wait for a list view to hold COUNT items (-1: any),\n"
    "                                     then items N and item DATA TEXT for each\n";

void Say(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

unsigned long ParseNumber(const char* text) {
  return std::strtoul(text, nullptr, 0);
}

// Runs the thread's message queue until `deadline` (a GetTickCount value). Thread hotkey
// presses are reported, so that the probe can check its own key presses.
void PumpUntil(DWORD deadline) {
  for (;;) {
    const DWORD now = GetTickCount();
    if (static_cast<LONG>(deadline - now) <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, deadline - now, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_HOTKEY) {
        char line[32];
        std::snprintf(line, sizeof line, "hotkey %08lx", static_cast<unsigned long>(msg.lParam));
        Say(line);
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

// ---- windows ----------------------------------------------------------------------------

bool g_hearing = false;
bool g_sayShowWindow = false;
DWORD g_hideMs = 0;
bool g_freezeCopy = false;

// The program's thread stops dead for `ms`, as a hung program's does: no message, sent or posted.
void FreezeCopy(DWORD ms) {
  const DWORD id = GetWindowThreadProcessId(FindWindowA("veilswitcherApp", nullptr), nullptr);
  HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, id);
  Say(thread && SuspendThread(thread) != static_cast<DWORD>(-1) ? "frozen" : "no thread");
  Sleep(ms);
  if (thread && ResumeThread(thread) != static_cast<DWORD>(-1)) Say("thawed");
}

// Once the windows are ready and when asked, says each WM_SHOWWINDOW; a hide then takes g_hideMs
// to handle, as in a busy program, or freezes the program that asked for it that long.
LRESULT CALLBACK HearingProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SHOWWINDOW && g_sayShowWindow) {
    char title[64] = "";
    GetWindowTextA(w, title, sizeof title);
    Say(std::string("heard ") + title + (wParam ? " 1" : " 0"));
    if (!wParam) g_freezeCopy ? FreezeCopy(g_hideMs) : Sleep(g_hideMs);
  }
  return DefWindowProcW(w, message, wParam, lParam);
}

std::wstring WideText(const std::string& text);

// A class of the Unicode calls: an 8-bit one would pass its titles through the code page.
int OpenWindows(const char* prefix, int count, DWORD seconds, DWORD hideMs) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = HearingProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"vsprobeWindow";
  if (!RegisterClassW(&wc)) return 1;
  for (int i = 1; i <= count; ++i) {
    const std::wstring title = WideText(prefix) + std::to_wstring(i);
    const int offset = 40 * i;
    if (!CreateWindowExW(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                         100 + offset, 60 + offset, 260, 140, nullptr, nullptr, wc.hInstance,
                         nullptr)) {
      Say("fail " + std::to_string(i));
      return 1;
    }
  }
  Say("ready");
  g_sayShowWindow = g_hearing;
  g_hideMs = hideMs;
  PumpUntil(GetTickCount() + seconds * 1000);
  return 0;
}

// As a program retitles its own window: a splash title made final.
int Retitle(const char* title, const char* later) {
  HWND w = FindWindowA(nullptr, title);
  DWORD_PTR result = 0;
  const bool set = w && SendMessageTimeoutA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(later),
                                            SMTO_NORMAL, 5000, &result);
  Say(set ? "ok" : "missing");
  return set ? 0 : 1;
}

int CloseWindow(const char* title) {
  HWND w = FindWindowA(nullptr, title);
  const bool posted = w && PostMessageA(w, WM_CLOSE, 0, 0);
  Say(posted ? "posted" : "missing");
  return posted ? 0 : 1;
}

int WaitForeground(const char* title, DWORD timeout) {
  const DWORD deadline = GetTickCount() + timeout;
  char now[64] = "";
  do {
    GetWindowTextA(GetForegroundWindow(), now, sizeof now);
    if (std::strcmp(now, title) == 0) {
      Say("ok");
      return 0;
    }
    Sleep(20);
  } while (static_cast<LONG>(deadline - GetTickCount()) > 0);
  Say(std::string("timeout ") + now);
  return 1;
}

// ---- keys -------------------------------------------------------------------------------

bool PressCombo(const std::string& combo) {
  return SendEvents(PressEvents(ParseCombo(combo)));
}

int PressKeys(int argc, char** argv, DWORD gapMs = 30) {
  for (int i = 0; i < argc; ++i) {
    if (!PressCombo(argv[i])) {
      Say(std::string("fail ") + argv[i]);
      return 1;
    }
    Sleep(gapMs);
  }
  Say("ok");
  return 0;
}

// A window whose thread stops taking messages for a while, the way a busy or stuck program's
// does, then pumps again.
int HangWindow(const char* title, DWORD hangMs) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "vsprobeHung";
  if (!RegisterClassA(&wc) ||
      !CreateWindowExA(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200, 260,
                       140, nullptr, nullptr, wc.hInstance, nullptr))
    return 1;
  PumpUntil(GetTickCount() + 300);  // shown and activated
  Say("hanging");
  Sleep(hangMs);
  Say("awake");
  PumpUntil(GetTickCount() + 600 * 1000);
  return 0;
}

int Answers(DWORD timeout) {
  HWND w = FindWindowA("veilswitcherApp", nullptr);
  DWORD_PTR result = 0;
  const bool answered =
      w && SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeout, &result);
  Say(answered ? "answered" : "silent");
  return answered ? 0 : 1;
}

// ---- visibility -------------------------------------------------------------------------

std::string VisibleState(const char* title) {
  HWND w = FindWindowA(nullptr, title);
  if (!w) return "missing";
  return IsWindowVisible(w) ? "1" : "0";
}

int PrintVisible(int argc, char** argv) {
  for (int i = 0; i < argc; ++i) Say(VisibleState(argv[i]));
  return 0;
}

int WaitVisible(const std::string& wanted, DWORD timeout, int argc, char** argv) {
  const DWORD deadline = GetTickCount() + timeout;
  for (;;) {
    int matching = 0;
    for (int i = 0; i < argc; ++i) matching += VisibleState(argv[i]) == wanted;
    if (matching == argc) {
      Say("ok");
      return 0;
    }
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) break;
    Sleep(20);
  }
  for (int i = 0; i < argc; ++i)
    Say(std::string("timeout ") + argv[i] + " " + VisibleState(argv[i]));
  return 1;
}

std::vector<HWND> DialogsTitled(const char* title);

int WaitGone(DWORD timeout, int argc, char** argv) {
  const DWORD deadline = GetTickCount() + timeout;
  for (;;) {
    int left = 0;
    for (int i = 0; i < argc; ++i) left += !DialogsTitled(argv[i]).empty();
    if (left == 0) {
      Say("ok");
      return 0;
    }
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) break;
    Sleep(20);
  }
  for (int i = 0; i < argc; ++i) {
    if (!DialogsTitled(argv[i]).empty()) Say(std::string("timeout ") + argv[i]);
  }
  return 1;
}

// ---- registry ---------------------------------------------------------------------------

const struct {
  DWORD type;
  const char* name;
} kRegTypes[] = {{REG_NONE, "REG_NONE"},           {REG_SZ, "REG_SZ"},
                 {REG_EXPAND_SZ, "REG_EXPAND_SZ"}, {REG_BINARY, "REG_BINARY"},
                 {REG_DWORD, "REG_DWORD"},         {REG_MULTI_SZ, "REG_MULTI_SZ"}};

std::string TypeName(DWORD type) {
  for (const auto& t : kRegTypes) {
    if (t.type == type) return t.name;
  }
  return std::to_string(type);
}

bool TypeFromName(const std::string& name, DWORD* type) {
  for (const auto& t : kRegTypes) {
    if (name == t.name) {
      *type = t.type;
      return true;
    }
  }
  return false;
}

std::string Hex(const BYTE* data, DWORD size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (DWORD i = 0; i < size; ++i) {
    out += kDigits[data[i] >> 4];
    out += kDigits[data[i] & 15];
  }
  return out;
}

std::vector<BYTE> Unhex(const std::string& text) {
  std::vector<BYTE> out;
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    out.push_back(static_cast<BYTE>(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16)));
  }
  return out;
}

// "u:" and UTF-8 in hex is Unicode text, which the probe's 8-bit command line cannot carry;
// anything else is 8-bit text.
std::wstring WideText(const std::string& text) {
  const bool hex = text.compare(0, 2, "u:") == 0;
  std::string bytes = text;
  if (hex) {
    const std::vector<BYTE> utf8 = Unhex(text.substr(2));
    bytes.assign(utf8.begin(), utf8.end());
  }
  const UINT codePage = hex ? CP_UTF8 : CP_ACP;
  const int size = static_cast<int>(bytes.size());
  std::wstring wide(
      static_cast<size_t>(MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0)), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), size, &wide[0], static_cast<int>(wide.size()));
  return wide;
}

// One line per value: the name, its type and the exact bytes RegQueryValueExA hands back.
bool DumpValue(HKEY key, const char* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  std::vector<BYTE> data(size + 1);
  if (RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
    return false;
  }
  Say(std::string(name) + "\t" + TypeName(type) + "\t" + Hex(data.data(), size));
  return true;
}

int RegDump(const char* path, const char* only) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    Say("missing");
    return 0;
  }
  if (only) {
    if (!DumpValue(key, only)) Say("missing");
  } else {
    char name[16384];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      DumpValue(key, name);
    }
  }
  RegCloseKey(key);
  return 0;
}

int RegSet(const char* path, int argc, char** argv) {
  if (argc % 3 != 0) return 2;
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    Say("fail");
    return 1;
  }
  int status = 0;
  for (int i = 0; i < argc; i += 3) {
    DWORD type;
    const std::vector<BYTE> data = Unhex(argv[i + 2]);
    if (!TypeFromName(argv[i + 1], &type) ||
        RegSetValueExA(key, argv[i], 0, type, data.data(), static_cast<DWORD>(data.size())) !=
            ERROR_SUCCESS) {
      status = 1;
    }
  }
  RegCloseKey(key);
  Say(status ? "fail" : "ok");
  return status;
}

// ---- message boxes ----------------------------------------------------------------------

BOOL CALLBACK FindMessageText(HWND child, LPARAM out) {
  char cls[64] = "";
  GetClassNameA(child, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") != 0 || (GetWindowLongA(child, GWL_STYLE) & SS_ICON)) return TRUE;
  char text[8192] = "";  // the usage, for one, is long
  GetWindowTextA(child, text, sizeof text);
  if (!text[0]) return TRUE;
  *reinterpret_cast<std::string*>(out) = text;
  return FALSE;
}

int AnswerMessageBox(const char* caption, DWORD timeout) {
  const DWORD deadline = GetTickCount() + timeout;
  HWND box = nullptr;
  while (!(box = FindWindowA("#32770", caption)) || !IsWindowVisible(box)) {
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) {
      Say("none");
      return 1;
    }
    Sleep(20);
  }
  std::string text;
  EnumChildWindows(box, FindMessageText, reinterpret_cast<LPARAM>(&text));
  Say(text);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  return 0;
}

// ---- the program's own objects ----------------------------------------------------------

LRESULT CALLBACK PrintCopyData(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcA(w, message, wParam, lParam);
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  Say("reply " + Hex(static_cast<const BYTE*>(copy->lpData), copy->cbData));
  return TRUE;
}

// WM_COPYDATA of HEX repeated REPEAT times under TAG, sent from a window of ours.
int SendCopyData(DWORD tag, const char* hex, unsigned long repeat) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = PrintCopyData;
  wc.lpszClassName = "vsprobeCopyData";
  RegisterClassA(&wc);
  HWND own = CreateWindowExA(0, wc.lpszClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             nullptr, nullptr);
  std::vector<BYTE> data;
  const std::vector<BYTE> piece = Unhex(hex);
  for (unsigned long i = 0; i < repeat; ++i) data.insert(data.end(), piece.begin(), piece.end());
  COPYDATASTRUCT copy = {tag, static_cast<DWORD>(data.size()), data.data()};
  DWORD_PTR result = 0;
  SendMessageTimeoutA(FindWindowA("veilswitcherApp", nullptr), WM_COPYDATA,
                      reinterpret_cast<WPARAM>(own), reinterpret_cast<LPARAM>(&copy),
                      SMTO_ABORTIFHUNG, 5000, &result);
  Say("result " + std::to_string(result));  // after any reply: that came during the send
  return 0;
}

int CloseHidden() {
  HWND w = FindWindowA("veilswitcherApp", nullptr);
  if (!w) {
    Say("missing");
    return 1;
  }
  PostMessageA(w, WM_CLOSE, 0, 0);
  Say("posted");
  return 0;
}

// What the system sends at logoff, each waited for as the system waits: "query N" with the
// answer, then "answered" once WM_ENDSESSION has returned, or "gone" when the program ended in it.
int EndSession(bool closeApp) {
  HWND w = FindWindowA("veilswitcherApp", nullptr);
  const LPARAM why = closeApp ? ENDSESSION_CLOSEAPP : 0;
  DWORD_PTR answer = 0;
  if (!w || !SendMessageTimeoutA(w, WM_QUERYENDSESSION, 0, why, SMTO_NORMAL, 10000, &answer)) {
    Say("missing");
    return 1;
  }
  Say("query " + std::to_string(answer));
  const bool answered =
      SendMessageTimeoutA(w, WM_ENDSESSION, TRUE, why, SMTO_NORMAL, 10000, &answer) != 0;
  Say(answered ? "answered" : "gone");
  return 0;
}

// Ready means the program's hidden window exists and its thread has gone idle in its loop,
// which it first reaches once every hotkey is registered.
int WaitReady(DWORD timeout) {
  const DWORD deadline = GetTickCount() + timeout;
  HWND w;
  while (!(w = FindWindowA("veilswitcherApp", nullptr))) {
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) {
      Say("none");
      return 1;
    }
    Sleep(20);
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  const LONG left = static_cast<LONG>(deadline - GetTickCount());
  const DWORD idle = process ? WaitForInputIdle(process, left > 0 ? left : 0) : WAIT_FAILED;
  if (process) CloseHandle(process);
  Say(idle == 0 ? "ready" : "busy");
  return idle == 0 ? 0 : 1;
}

int HoldHotkey(UINT mods, UINT vk, DWORD ms) {
  if (!RegisterHotKey(nullptr, 1, mods, vk)) {
    Say("fail");
    return 1;
  }
  Say("ok");
  PumpUntil(GetTickCount() + ms);
  UnregisterHotKey(nullptr, 1);
  return 0;
}

int TempFile() {
  char dir[MAX_PATH + 1];
  if (!GetTempPathA(sizeof dir, dir)) return 1;
  const std::string path = std::string(dir) + "\\veilswitcher.tmp";
  Say(GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? "absent" : "exists");
  return 0;
}

// ---- disorderly ends and a restarted shell ----------------------------------------------

// Machine code that moves the stack pointer down half a page at a time and writes there, for
// ever: the stack overflows within a few milliseconds.
#ifdef _WIN64
const BYTE kOverflow[] = {0x48, 0x81, 0xEC, 0x00, 0x08, 0x00, 0x00,        // sub rsp, 0x800
                          0x48, 0xC7, 0x04, 0x24, 0x00, 0x00, 0x00, 0x00,  // mov qword [rsp], 0
                          0xEB, 0xEF};                                     // jmp to the start
#else
const BYTE kOverflow[] = {0x81, 0xEC, 0x00, 0x08, 0x00, 0x00,        // sub esp, 0x800
                          0xC7, 0x04, 0x24, 0x00, 0x00, 0x00, 0x00,  // mov dword [esp], 0
                          0xEB, 0xF1};                               // jmp to the start
#endif

// Where the program's abort() is: msvcrt.dll lies at the same address in every process of the
// prefix, which its first bytes there confirm.
void* RemoteAbort(HANDLE process) {
  void* local = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("msvcrt.dll"), "abort"));
  BYTE there[16] = {};
  return local && ReadProcessMemory(process, local, there, sizeof there, nullptr) &&
                 std::memcmp(there, local, sizeof there) == 0
             ? local
             : nullptr;
}

void* RemoteOverflow(HANDLE process) {
  void* code = VirtualAllocEx(process, nullptr, sizeof kOverflow, MEM_COMMIT | MEM_RESERVE,
                              PAGE_EXECUTE_READWRITE);
  return code && WriteProcessMemory(process, code, kOverflow, sizeof kOverflow, nullptr) ? code
                                                                                         : nullptr;
}

// Sends the thread of `hidden`, waiting in its message loop, to `code` with a fresh frame below
// its stack pointer; a message wakes it.
bool Divert(HWND hidden, void* code) {
  HANDLE thread = code ? OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_SET_CONTEXT,
                                    FALSE, GetWindowThreadProcessId(hidden, nullptr))
                       : nullptr;
  if (!thread) return false;
  CONTEXT context = {};
  context.ContextFlags = CONTEXT_CONTROL;
  bool done = SuspendThread(thread) != static_cast<DWORD>(-1) && GetThreadContext(thread, &context);
#ifdef _WIN64
  context.Rip = reinterpret_cast<DWORD64>(code);
  context.Rsp = ((context.Rsp - 256) & ~DWORD64{15}) - 8;
#else
  context.Eip = reinterpret_cast<DWORD>(code);
  context.Esp = ((context.Esp - 256) & ~DWORD{15}) - 4;
#endif
  done = done && SetThreadContext(thread, &context);
  ResumeThread(thread);
  CloseHandle(thread);
  return done && PostMessageA(hidden, WM_NULL, 0, 0);
}

// "kill" ends the program as a task manager's End task does; "crash" starts a thread in it at
// an address where nothing is mapped, which faults at once; "overflow" and "abort" send the
// program's own thread to overflow its stack or to call abort().
bool EndIn(HANDLE process, HWND hidden, const std::string& how) {
  if (how == "overflow" || how == "abort")
    return Divert(hidden, how == "abort" ? RemoteAbort(process) : RemoteOverflow(process));
  if (how != "crash")
    return TerminateProcess(process, 1) && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
  const auto nowhere = reinterpret_cast<LPTHREAD_START_ROUTINE>(UINT_PTR{16});
  HANDLE thread = CreateRemoteThread(process, nullptr, 0, nowhere, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
  return thread != nullptr;
}

int EndProgram(const std::string& how) {
  HWND hidden = FindWindowA("veilswitcherApp", nullptr);
  DWORD pid = 0;
  GetWindowThreadProcessId(hidden, &pid);
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
  const bool done = process && EndIn(process, hidden, how);
  if (process) CloseHandle(process);
  Say(done ? "done" : "fail");
  return done ? 0 : 1;
}

// The shell forgets every icon when its taskbar is made anew, and then broadcasts this message.
int TaskbarRestart(HWND owner) {
  NOTIFYICONDATAA record = {};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = owner;
  Shell_NotifyIconA(NIM_DELETE, &record);
  Say(Shell_NotifyIconA(NIM_MODIFY, &record) ? "still there" : "gone");
  return PostMessageA(owner, RegisterWindowMessageA("TaskbarCreated"), 0, 0) ? 0 : 1;
}

// ---- tooltips ---------------------------------------------------------------------------

// Found tip: a visible tooltip window that some other process owns.
BOOL CALLBACK FindForeignTip(HWND w, LPARAM out) {
  char cls[64] = "";
  GetClassNameA(w, cls, sizeof cls);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0 || !IsWindowVisible(w) || pid == GetCurrentProcessId()) {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(out) = w;
  return FALSE;
}

HWND ForeignTip() {
  HWND tip = nullptr;
  EnumWindows(FindForeignTip, reinterpret_cast<LPARAM>(&tip));
  return tip;
}

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
         " " + std::to_string(r.bottom);
}

std::string HandleText(HWND w) {
  char text[32];
  std::snprintf(text, sizeof text, "%#lx", static_cast<unsigned long>(HandleToUlong(w)));
  return text;
}

// The notice's text is only drawn: it is kept nowhere another process could read it while the
// program sleeps. So this reports where the tip is, for the caller to grab the screen there, and
// how long it stayed.
int WatchTooltip(DWORD timeout) {
  Say("watching");
  const DWORD deadline = GetTickCount() + timeout;
  HWND tip;
  while (!(tip = ForeignTip())) {
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) {
      Say("none");
      return 1;
    }
    Sleep(5);
  }
  const DWORD seen = GetTickCount();
  Sleep(60);  // the tip becomes visible just before it is painted
  RECT rect;
  GetWindowRect(tip, &rect);
  Say("tip " + RectText(rect));
  while (IsWindow(tip) && IsWindowVisible(tip) &&
         static_cast<LONG>(deadline - GetTickCount()) > 0) {
    Sleep(5);
  }
  Say("gone " + std::to_string(GetTickCount() - seen));
  return 0;
}

// A tip made exactly as veilswitcher makes its notice: the reference to compare its pixels with.
int ShowTip(const char* text, DWORD ms) {
  HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                             nullptr, nullptr, nullptr);
  if (!tip) {
    Say("fail");
    return 1;
  }
  TOOLINFOA tool = {};
  // The record's first form, as the program passes it.
  tool.cbSize = offsetof(TTTOOLINFOA, lParam) + sizeof(LPARAM);
  tool.uFlags = TTF_TRACK;
  tool.lpszText = const_cast<char*>(text);
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(tip, TTM_TRACKPOSITION, 0, 0);
  SendMessageA(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  PumpUntil(GetTickCount() + 100);
  RECT rect;
  GetWindowRect(tip, &rect);
  Say("shown " + RectText(rect));
  PumpUntil(GetTickCount() + ms);
  DestroyWindow(tip);
  return 0;
}

// ---- the tray icon ----------------------------------------------------------------------

int PrintHidden() {
  HWND w = FindWindowA("veilswitcherApp", nullptr);
  if (!w) {
    Say("missing");
    return 1;
  }
  Say(HandleText(w));
  return 0;
}

// The shell answers a change of an icon it does not hold with FALSE; a change with no flags
// alters nothing of one it holds.
int TrayHas(HWND owner, UINT id) {
  NOTIFYICONDATAA record = {};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = owner;
  record.uID = id;
  Say(Shell_NotifyIconA(NIM_MODIFY, &record) ? "1" : "0");
  return 0;
}

// Absolute mouse input is in 1/65536ths of the primary screen.
INPUT MouseEvent(int x, int y, DWORD flags) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = static_cast<LONG>((x * 65536LL + width / 2) / width);
  in.mi.dy = static_cast<LONG>((y * 65536LL + height / 2) / height);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return in;
}

bool Send(std::vector<INPUT> events) {
  return SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT)) == events.size();
}

bool CursorAt(int x, int y) {
  POINT at = {};
  GetCursorPos(&at);
  return at.x == x && at.y == y;
}

// Now and then Wine puts the cursor back where an earlier click left it: the move is repeated
// until it holds.
bool MoveMouse(int x, int y) {
  for (int tries = 0; tries < 5; ++tries) {
    if (!Send({MouseEvent(x, y, MOUSEEVENTF_MOVE)})) return false;
    Sleep(50);
    if (CursorAt(x, y)) return true;
  }
  return false;
}

// The mouse rests on the spot a moment before the press, as a person's would; the press and the
// release carry the spot as well.
bool Click(int x, int y, DWORD down, DWORD up) {
  if (!MoveMouse(x, y)) return false;
  Sleep(150);
  return Send({MouseEvent(x, y, MOUSEEVENTF_MOVE | down), MouseEvent(x, y, MOUSEEVENTF_MOVE | up)});
}

int Mouse(int x, int y, const char* button) {
  const std::string which = button ? button : "";
  bool done;
  if (which == "left") {
    done = Click(x, y, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  } else if (which == "right") {
    done = Click(x, y, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  } else if (which.empty()) {
    done = MoveMouse(x, y);
  } else {
    return 2;
  }
  POINT at = {};
  GetCursorPos(&at);
  Say(done ? "ok" : "at " + std::to_string(at.x) + " " + std::to_string(at.y));
  return done ? 0 : 1;
}

// The text a visible tooltip of another process shows now, or "" when none shows.
std::string ForeignTipText() {
  HWND tip = ForeignTip();
  char text[128] = "";
  if (tip) SendMessageA(tip, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

bool TipShowsWithin(const std::string& wanted, DWORD ms) {
  const DWORD deadline = GetTickCount() + ms;
  do {
    if (ForeignTipText() == wanted) return true;
    Sleep(20);
  } while (static_cast<LONG>(deadline - GetTickCount()) > 0);
  return false;
}

// The shell's tray draws its icons itself in square slots as high as the tray, from the right
// end of the taskbar, so an icon has no window to look for: this rests the mouse on one slot
// after another until the tip that shows names the icon.
int FindTrayIcon(const std::string& tip, DWORD timeout) {
  const DWORD deadline = GetTickCount() + timeout;
  HWND tray = nullptr;
  while (!(tray = FindWindowA("Shell_TrayWnd", nullptr)) || !IsWindowVisible(tray)) {
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) break;
    Sleep(20);
  }
  RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (tray && IsWindowVisible(tray)) {
    GetClientRect(tray, &area);
    MapWindowPoints(tray, nullptr, reinterpret_cast<POINT*>(&area), 2);
    const int slot = area.bottom - area.top;
    const int y = area.top + slot / 2;
    for (int x = area.right - slot / 2; x > area.left && slot > 0; x -= slot) {
      const LONG left = static_cast<LONG>(deadline - GetTickCount());
      if (left <= 0) break;
      MoveMouse(x, y);
      if (TipShowsWithin(tip, left < 1500 ? left : 1500)) {
        Say("icon " + std::to_string(x) + " " + std::to_string(y));
        return 0;
      }
    }
  }
  // Where the taskbar puts the first icon, 10 pixels in from the bottom-right corner.
  Say("guess " + std::to_string(area.right - 10) + " " + std::to_string(area.bottom - 10));
  return 1;
}

int WaitNoTip(DWORD timeout) {
  const DWORD deadline = GetTickCount() + timeout;
  while (ForeignTip()) {
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) {
      Say("shown");
      return 1;
    }
    Sleep(20);
  }
  Say("ok");
  return 0;
}

// ---- popup menus ------------------------------------------------------------------------

bool IsPopupMenu(HWND w) {
  char cls[16] = "";
  GetClassNameA(w, cls, sizeof cls);
  return std::strcmp(cls, "#32768") == 0 && IsWindowVisible(w);
}

BOOL CALLBACK CollectForeignMenu(HWND w, LPARAM out) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (IsPopupMenu(w) && pid != GetCurrentProcessId()) {
    reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
  }
  return TRUE;
}

// In z-order, so an open submenu comes before the menu it belongs to.
std::vector<HWND> ForeignMenus() {
  std::vector<HWND> menus;
  EnumWindows(CollectForeignMenu, reinterpret_cast<LPARAM>(&menus));
  return menus;
}

int WaitMenus(size_t count, DWORD timeout) {
  const DWORD deadline = GetTickCount() + timeout;
  std::vector<HWND> menus;
  while ((menus = ForeignMenus()).size() != count) {
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) {
      Say("timeout " + std::to_string(menus.size()));
      break;
    }
    Sleep(20);
  }
  Sleep(60);  // shown just before it is painted
  for (HWND menu : menus) {
    RECT rect;
    GetWindowRect(menu, &rect);
    Say("menu " + RectText(rect));
  }
  return menus.size() == count ? 0 : 1;
}

// What the reference menu does while it is open: its steps run from a timer inside the menu's
// own loop, which also takes the key presses posted to the menu's owner.
struct MenuShow {
  HWND owner = nullptr;
  int downs = 0;
  DWORD ms = 0;
  int ticks = 0;
} g_menuShow;

BOOL CALLBACK FindOwnMenu(HWND w, LPARAM out) {
  if (!IsPopupMenu(w)) return TRUE;
  *reinterpret_cast<HWND*>(out) = w;
  return FALSE;
}

void CALLBACK MenuStep(HWND, UINT, UINT_PTR, DWORD) {
  MenuShow& show = g_menuShow;
  const int tick = show.ticks++;
  if (tick < show.downs) {
    PostMessageA(show.owner, WM_KEYDOWN, VK_DOWN, 0);
  } else if (tick == show.downs + 2) {  // a few ticks for the last selection to be painted
    HWND menu = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindOwnMenu, reinterpret_cast<LPARAM>(&menu));
    RECT rect = {};
    if (menu) GetWindowRect(menu, &rect);
    Say("shown " + RectText(rect));
  } else if (tick > show.downs + 2 && static_cast<DWORD>(tick - show.downs - 2) * 50 >= show.ms) {
    EndMenu();
  }
}

HMENU ReferenceMenu(int argc, char** argv) {
  HMENU popup = CreatePopupMenu();
  for (int i = 0; i < argc; ++i) {
    std::string text = argv[i];
    if (text == "-") {
      AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    if (text.compare(0, 2, "u:") == 0) {
      AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(i + 1), WideText(text).c_str());
      continue;
    }
    UINT flags = MF_STRING;
    if (text[0] == '*') {
      flags |= MF_CHECKED;
      text.erase(0, 1);
    } else if (text[0] == '~') {
      flags |= MF_DISABLED | MF_GRAYED;
      text.erase(0, 1);
    }
    UINT_PTR id = static_cast<UINT_PTR>(i + 1);
    if (!text.empty() && text.back() == '>') {
      text.pop_back();
      HMENU submenu = CreatePopupMenu();
      AppendMenuA(submenu, MF_STRING, 1000 + i, "-");
      flags |= MF_POPUP;
      id = reinterpret_cast<UINT_PTR>(submenu);
    }
    AppendMenuA(popup, flags, id, text.c_str());
  }
  return popup;
}

int ShowMenu(int x, int y, int downs, DWORD ms, int argc, char** argv) {
  g_menuShow.owner =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  g_menuShow.downs = downs;
  g_menuShow.ms = ms;
  HMENU popup = ReferenceMenu(argc, argv);
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, MenuStep);
  TrackPopupMenu(popup, 0, x, y, 0, g_menuShow.owner, nullptr);
  KillTimer(nullptr, timer);
  DestroyMenu(popup);
  DestroyWindow(g_menuShow.owner);
  return g_menuShow.ticks > downs + 2 ? 0 : 1;
}

// ---- the program's dialogs --------------------------------------------------------------

struct DialogSearch {
  const char* title;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND w, LPARAM out) {
  auto* search = reinterpret_cast<DialogSearch*>(out);
  char cls[16] = "";
  char title[64] = "";
  GetClassNameA(w, cls, sizeof cls);
  GetWindowTextA(w, title, sizeof title);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (std::strcmp(cls, "#32770") == 0 && std::strcmp(title, search->title) == 0 &&
      pid != GetCurrentProcessId()) {
    search->found.push_back(w);
  }
  return TRUE;
}

// Every dialog box of another process with this title, shown or not, topmost first.
std::vector<HWND> DialogsTitled(const char* title) {
  DialogSearch search = {title, {}};
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Waits until the topmost such dialog shows; the list is empty when none did in time.
std::vector<HWND> WaitDialogs(const char* title, DWORD timeout) {
  const DWORD deadline = GetTickCount() + timeout;
  std::vector<HWND> dialogs;
  while ((dialogs = DialogsTitled(title)).empty() || !IsWindowVisible(dialogs[0])) {
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) return {};
    Sleep(20);
  }
  // Shown just before its first paint, which may still fill its controls.
  while (GetUpdateRect(dialogs[0], nullptr, FALSE) &&
         static_cast<LONG>(deadline - GetTickCount()) > 0) {
    Sleep(20);
  }
  Sleep(100);
  return dialogs;
}

// The dialog itself for id 0, else its control with that id.
HWND DialogPart(const char* title, int id) {
  const std::vector<HWND> dialogs = DialogsTitled(title);
  if (dialogs.empty()) return nullptr;
  return id == 0 ? dialogs[0] : GetDlgItem(dialogs[0], id);
}

int DescribeDialogs(const char* title, DWORD timeout) {
  const std::vector<HWND> dialogs = WaitDialogs(title, timeout);
  Say("count " + std::to_string(dialogs.size()));
  for (HWND w : dialogs) {
    RECT rect = {};
    GetWindowRect(w, &rect);
    Say("dialog " + HandleText(w) + (IsWindowEnabled(w) ? " enabled " : " disabled ") +
        HandleText(GetWindow(w, GW_OWNER)) + " " + RectText(rect));
  }
  RECT work = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  Say("workarea " + RectText(work));
  return dialogs.empty() ? 1 : 0;
}

// Only messages whose parameters are plain numbers cross into the other process this way.
int SendToDialog(const char* title, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND target = DialogPart(title, id);
  DWORD_PTR result = 0;
  if (!target) {
    Say("missing");
    return 1;
  }
  if (!SendMessageTimeoutA(target, message, wParam, lParam, SMTO_NORMAL, 5000, &result)) {
    Say("timeout");
    return 1;
  }
  Say("result " + std::to_string(static_cast<long>(result)));
  return 0;
}

// For messages that start a modal loop in the other process (a button that opens a dialog).
int PostToDialog(const char* title, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND target = DialogPart(title, id);
  if (!target) {
    Say("missing");
    return 1;
  }
  PostMessageA(target, message, wParam, lParam);
  Say("posted");
  return 0;
}

// The control's text lives in the other process: WM_GETTEXT brings it over, GetWindowText
// would not.
std::string ControlText(HWND control) {
  std::vector<char> text(static_cast<size_t>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)) + 1,
                         '\0');
  SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

// WM_SETTEXT is one of the messages the system copies into the other process.
int SetControlText(const char* title, int id, const char* text) {
  HWND control = DialogPart(title, id);
  DWORD_PTR result = 0;
  if (!control || !SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text),
                                       SMTO_NORMAL, 5000, &result)) {
    Say("missing");
    return 1;
  }
  Say("text " + ControlText(control));
  return 0;
}

int PrintControlText(const char* title, int id) {
  HWND control = DialogPart(title, id);
  if (!control) {
    Say("missing");
    return 1;
  }
  Say("text " + ControlText(control));
  return 0;
}

// ---- list views of another process ------------------------------------------------------

// Memory in another process, for messages whose parameters point to a record there.
class RemoteMemory {
 public:
  RemoteMemory(HWND owner, SIZE_T size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) {
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
  }
  ~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool Ok() const { return address_ != nullptr; }
  char* At(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(const void* data, SIZE_T size) {
    return WriteProcessMemory(process_, address_, data, size, nullptr);
  }
  bool Read(const void* from, void* to, SIZE_T size) const {
    return ReadProcessMemory(process_, from, to, size, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

struct ListItem {
  LPARAM data;
  std::string text;
};

// The record and the text buffer both live in the list's process (built for the same word size
// as this one, so the record's layout is the same); the list may answer with a pointer to text of
// its own, so the text is read from wherever the record points afterwards.
bool ReadListItem(HWND list, RemoteMemory& remote, int index, ListItem* out) {
  struct Record {
    LVITEMA item;
    char text[256];
  } local = {};
  local.item.mask = LVIF_TEXT | LVIF_PARAM;
  local.item.iItem = index;
  local.item.pszText = remote.At(offsetof(Record, text));
  local.item.cchTextMax = sizeof local.text;
  DWORD_PTR done = 0;
  if (!remote.Write(&local, sizeof local) ||
      !SendMessageTimeoutA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.At(0)),
                           SMTO_NORMAL, 5000, &done) ||
      !done || !remote.Read(remote.At(0), &local, sizeof local.item) ||
      !remote.Read(local.item.pszText, local.text, sizeof local.text)) {
    return false;
  }
  local.text[sizeof local.text - 1] = '\0';
  *out = {local.item.lParam, local.text};
  return true;
}

int ItemCount(HWND list) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &count)) return -1;
  return static_cast<int>(count);
}

// Waits for `wanted` items (any number when negative), then prints items N and one line
// item DATA TEXT per item, in list order.
int PrintListItems(const char* title, int id, int wanted, DWORD timeout) {
  const DWORD deadline = GetTickCount() + timeout;
  HWND list;
  int count;
  while (!(list = DialogPart(title, id)) || (count = ItemCount(list)) < 0 ||
         (wanted >= 0 && count != wanted)) {
    if (static_cast<LONG>(deadline - GetTickCount()) <= 0) {
      Say(list ? "timeout " + std::to_string(ItemCount(list)) : "missing");
      return 1;
    }
    Sleep(20);
  }
  RemoteMemory remote(list, 4096);
  Say("items " + std::to_string(count));
  for (int i = 0; i < count; ++i) {
    ListItem item;
    if (!remote.Ok() || !ReadListItem(list, remote, i, &item)) {
      Say("unreadable " + std::to_string(i));
      return 1;
    }
    Say("item " + std::to_string(static_cast<long>(item.data)) + " " + item.text);
  }
  return 0;
}

// ---- the About box ----------------------------------------------------------------------

const char kAboutTitle[] = "About veilswitcher";

int DescribeAbout(DWORD timeout) {
  const std::vector<HWND> boxes = WaitDialogs(kAboutTitle, timeout);
  Say("count " + std::to_string(boxes.size()));
  if (boxes.empty()) return 1;
  Say("box " + HandleText(boxes[0]));
  const std::string text = ControlText(GetDlgItem(boxes[0], 1019));
  Say("text " + Hex(reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size())));
  RECT ok = {};
  GetWindowRect(GetDlgItem(boxes[0], IDOK), &ok);
  Say("ok " + RectText(ok));
  return 0;
}

// ---- a program started from a console window or from a shortcut ---------------------------

// Wide enough that no line of the program's wraps.
constexpr COORD kConsoleSize = {400, 100};

HANDLE OpenConsoleOutput() {
  return CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, 0, nullptr);
}

bool OwnConsole() {
  if (!AllocConsole()) return false;
  HANDLE out = OpenConsoleOutput();
  const bool sized = SetConsoleScreenBufferSize(out, kConsoleSize);
  CloseHandle(out);
  return sized;
}

void SayConsoleLines() {
  HANDLE out = OpenConsoleOutput();
  CONSOLE_SCREEN_BUFFER_INFO info = {};
  GetConsoleScreenBufferInfo(out, &info);
  std::vector<char> row(info.dwSize.X);
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
    DWORD read = 0;
    ReadConsoleOutputCharacterA(out, row.data(), info.dwSize.X, COORD{0, y}, &read);
    std::string line(row.data(), read);
    line.erase(line.find_last_not_of(' ') + 1);
    if (!line.empty()) Say("console " + line);
  }
  CloseHandle(out);
}

// A windowed program started from cmd.exe or from a shortcut has no standard handles and no
// console of its own; only its parent's console, if any, is there to attach to. A console
// program started at a prompt shares the prompt's console and has its handles.
int RunBare(const std::string& how, int argc, char** argv) {
  FreeConsole();  // our stdout stays the pipe or file the C runtime opened it on
  const bool prompt = how == "prompt";
  if ((how == "console" || prompt) && !OwnConsole()) {
    Say("no console");
    return 1;
  }
  std::string line;
  for (int i = 0; i < argc; ++i) line += std::string(i ? " \"" : "\"") + argv[i] + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (!prompt) si.dwFlags = STARTF_USESTDHANDLES;  // and every one of them null
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, prompt ? 0 : DETACHED_PROCESS,
                      nullptr, nullptr, &si, &pi)) {
    Say("not started");
    return 1;
  }
  Say("started");
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  Say("exit " + std::to_string(code));
  if (how != "none") SayConsoleLines();
  return 0;
}

// A logon runs each Run value as the command line exactly as it is stored.
int StartAsLogon(const char* path) {
  std::string line = path;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  const bool started =
      CreateProcessA(path, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  Say(started ? "started" : "not started");
  return started ? 0 : 1;
}

// ---- dispatch ---------------------------------------------------------------------------

int Run(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string cmd = argv[1];
  const int rest = argc - 2;
  char** args = argv + 2;
  if (cmd == "windows" && rest >= 2) {
    g_hearing = rest > 3;
    g_freezeCopy = rest > 4 && std::strcmp(args[4], "freeze") == 0;
    return OpenWindows(args[0], std::atoi(args[1]), rest > 2 ? ParseNumber(args[2]) : 600,
                       g_hearing ? ParseNumber(args[3]) : 0);
  }
  if (cmd == "close" && rest == 1) return CloseWindow(args[0]);
  if (cmd == "retitle" && rest == 2) return Retitle(args[0], args[1]);
  if (cmd == "wait-foreground" && rest == 2) return WaitForeground(args[0], ParseNumber(args[1]));
  if (cmd == "keys" && rest >= 1) return PressKeys(rest, args);
  if (cmd == "quick-keys" && rest >= 1) return PressKeys(rest, args, 5);
  if (cmd == "hang-window" && rest == 2) return HangWindow(args[0], ParseNumber(args[1]));
  if (cmd == "answers" && rest == 1) return Answers(ParseNumber(args[0]));
  if (cmd == "visible" && rest >= 1) return PrintVisible(rest, args);
  if (cmd == "wait-visible" && rest >= 3) {
    return WaitVisible(args[0], ParseNumber(args[1]), rest - 2, args + 2);
  }
  if (cmd == "regdump" && rest >= 1) return RegDump(args[0], rest > 1 ? args[1] : nullptr);
  if (cmd == "regset" && rest >= 4) return RegSet(args[0], rest - 1, args + 1);
  if (cmd == "msgbox" && rest == 2) return AnswerMessageBox(args[0], ParseNumber(args[1]));
  if (cmd == "close-hidden") return CloseHidden();
  if (cmd == "end-session" && rest == 1) return EndSession(std::atoi(args[0]) != 0);
  if (cmd == "copydata" && rest == 3)
    return SendCopyData(ParseNumber(args[0]), args[1], ParseNumber(args[2]));
  if (cmd == "wait-ready" && rest == 1) return WaitReady(ParseNumber(args[0]));
  if (cmd == "hold-hotkey" && rest == 3) {
    return HoldHotkey(ParseNumber(args[0]), ParseNumber(args[1]), ParseNumber(args[2]));
  }
  if (cmd == "tempfile") return TempFile();
  if (cmd == "tooltip" && rest == 1) return WatchTooltip(ParseNumber(args[0]));
  if (cmd == "show-tip" && rest == 2) return ShowTip(args[0], ParseNumber(args[1]));
  if (cmd == "hidden") return PrintHidden();
  if (cmd == "tray-icon" && rest == 2) return FindTrayIcon(args[0], ParseNumber(args[1]));
  if (cmd == "tray-has" && rest == 2) {
    return TrayHas(reinterpret_cast<HWND>(ParseNumber(args[0])), ParseNumber(args[1]));
  }
  if (cmd == "mouse" && (rest == 2 || rest == 3)) {
    return Mouse(std::atoi(args[0]), std::atoi(args[1]), rest == 3 ? args[2] : nullptr);
  }
  if (cmd == "menus" && rest == 2) return WaitMenus(ParseNumber(args[0]), ParseNumber(args[1]));
  if (cmd == "show-menu" && rest >= 5) {
    return ShowMenu(std::atoi(args[0]), std::atoi(args[1]), std::atoi(args[2]),
                    ParseNumber(args[3]), rest - 4, args + 4);
  }
  if (cmd == "about" && rest == 1) return DescribeAbout(ParseNumber(args[0]));
  if (cmd == "press-button" && rest == 2) {
    return PostToDialog(args[0], std::atoi(args[1]), BM_CLICK, 0, 0);
  }
  if (cmd == "end-program" && rest == 1) return EndProgram(args[0]);
  if (cmd == "taskbar-restart" && rest == 1) {
    return TaskbarRestart(reinterpret_cast<HWND>(ParseNumber(args[0])));
  }
  if (cmd == "no-tip" && rest == 1) return WaitNoTip(ParseNumber(args[0]));
  if (cmd == "bare" && rest >= 2) return RunBare(args[0], rest - 1, args + 1);
  if (cmd == "start-as-logon" && rest == 1) return StartAsLogon(args[0]);
  if (cmd == "wait-gone" && rest >= 2) return WaitGone(ParseNumber(args[0]), rest - 1, args + 1);
  if (cmd == "dialogs" && rest == 2) return DescribeDialogs(args[0], ParseNumber(args[1]));
  if ((cmd == "send" || cmd == "post") && rest == 5) {
    return (cmd == "send" ? SendToDialog : PostToDialog)(args[0], std::atoi(args[1]),
                                                         ParseNumber(args[2]), ParseNumber(args[3]),
                                                         ParseNumber(args[4]));
  }
  if (cmd == "set-text" && rest == 3) return SetControlText(args[0], std::atoi(args[1]), args[2]);
  if (cmd == "text" && rest == 2) return PrintControlText(args[0], std::atoi(args[1]));
  if (cmd == "list" && rest == 4) {
    return PrintListItems(args[0], std::atoi(args[1]), std::atoi(args[2]), ParseNumber(args[3]));
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  const int status = Run(argc, argv);
  if (status == 2) std::fputs(kUsage, stderr);
  return status;
}
